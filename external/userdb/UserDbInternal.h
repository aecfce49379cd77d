#pragma once
// Pieces of the user store that the tests and benchmarks reach directly.

#include "external/records/Records.h"

#include <cstdint>
#include <string>

// Whether a day record may be stored today (FindDayRefusal): USER_OK, or
// USER_ERR_BAD_DAY with the reason in error.
int CheckDayRecord(const DeviceStepRecord& day, std::string& error);

// The built-in text of a store text number (kUserDbFirstTextId..kUserDbLastTextId,
// kUserDbFileFirstTextId..kUserDbFileLastTextId), "<r>" not replaced; empty for any other number.
const char* UserDbBuiltinText(int id);

// The store's clock for copies (their names, the daily copy, pruning): seconds since 1970, or 0
// for the real clock. Lets a test live through weeks of copies at once.
void SetClockForTests(int64_t now);
// Waits for the daily copy USER_Init started: USER_OK (path gets it), its failure, or 0 when none
// was started since the last call.
int WaitForDailyBackup(std::string& path);
