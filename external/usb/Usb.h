#pragma once
// The device library: one pedometer at a time, over a pluggable port.
//
// After USB_Init the library posts to the notify object (any thread):
//   WM_DEVICE_ARRIVED (0x715), wParam = the pedometer's user number, when a pedometer holding an ID arrives;
//   WM_DEVICE_BLANK   (0x717) when an uninitialised pedometer (ID 999999 or <= 0) arrives;
//   WM_DEVICE_REMOVED (0x716) when it is removed.
// Day records are transferred on a thread of the library's own; the callback gets
// (total, current, extra) as they come and returns 0.

#include "external/records/Records.h"

#include <QString>

#include <cstdint>

class QObject;

using USB_Callback = int (*)(int total, int current, int extra);

// Watches the given port folder (empty = "<program folder>USB/", see USB_SetPortFolder).
int USB_Init(QObject* notifyWindow, USB_Callback callback);
int USB_Term();
// The folder the virtual pedometer port watches; call before USB_Init (defaults to the current directory's USB/).
void USB_SetPortFolder(const QString& folder);

int USB_GetDataCount();
const DeviceStepRecord* USB_GetData(int index);
int USB_DeleteAllData();
int USB_ExportAllData();
int USB_SetID(int32_t number);
int USB_GetSHW(int32_t& sex, int32_t& height, int32_t& weight, int32_t& age, int flag);
int USB_SetSHW(int32_t sex, int32_t height, int32_t weight, int32_t age, int flag);
int USB_GetDayTargetCalorie(int32_t& kcal);
int USB_SetDayTargetCalorie(int32_t kcal);
int USB_GetAlarmClock(int32_t& hour, int32_t& minute, int32_t& second);
int USB_SetAlarmClock(int32_t hour, int32_t minute, int32_t second);
