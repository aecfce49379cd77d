#pragma once
// The built-in Simplified Chinese texts: the string table and the dialogs' control texts.

#include <cstddef>

struct BuiltinString {
    int id;
    const char* text;  // UTF-8
};

struct BuiltinDialogText {
    int dialog;   // dialog resource number
    int control;  // control number; 0 = the dialog's caption
    const char* text;
};

extern const BuiltinString kBuiltinStrings[];
extern const size_t kBuiltinStringCount;
extern const BuiltinDialogText kBuiltinDialogTexts[];  // grouped by dialog
extern const size_t kBuiltinDialogTextCount;
