#include "res/BuiltinStrings.h"

const BuiltinString kBuiltinStrings[] = {
    {101, "关于 Travimo..."},
    {102, "Travimo"},
    {155, "未登录"},
    {156, "已登录"},
};
const size_t kBuiltinStringCount = sizeof kBuiltinStrings / sizeof kBuiltinStrings[0];

const BuiltinDialogText kBuiltinDialogTexts[] = {
    {100, 0, "关于 Travimo"},
    {100, 1, "确定"},
    {100, 1000, "Travimo v2.0 版"},
};
const size_t kBuiltinDialogTextCount = sizeof kBuiltinDialogTexts / sizeof kBuiltinDialogTexts[0];
