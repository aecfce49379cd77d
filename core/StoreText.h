#pragma once
// The user store's messages in the user's language: the store names a string-table text and
// the detail that fills its "<r>".

#include <QString>

// The text for a store result code (after a failed USER_Init: for its result).
QString StoreErrorText(int code);
