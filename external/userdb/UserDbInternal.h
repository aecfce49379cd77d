#pragma once
// Pieces of the user store that the tests and benchmarks reach directly.

#include "external/records/Records.h"

#include <string>

// The store's file for a connection string: the "Data Source=" path with its
// extension replaced by ".db" ("<folder>/User.mdb" -> "<folder>/User.db").
// Empty when the string names no file.
std::string UserDbPathFromConnection(const std::string& connection);

// Whether a day record may be stored today (FindDayRefusal): USER_OK, or
// USER_ERR_BAD_DAY with the reason in error.
int CheckDayRecord(const DeviceStepRecord& day, std::string& error);

// The built-in text of a store text number (kUserDbFirstTextId..kUserDbLastTextId),
// "<r>" not replaced; empty for any other number.
const char* UserDbBuiltinText(int id);
