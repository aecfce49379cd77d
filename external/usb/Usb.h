#pragma once
// The device library: one pedometer at a time, over a pluggable port
// (UsbPort.h; the shipped port is the virtual pedometer of a port folder,
// VirtualPort.h). Results: 1 = success, 0 = failure.
//
// Messages. After USB_Init the library posts (PostMessage, from its own thread)
// to the notify object:
//   WM_DEVICE_ARRIVED (0x715), wParam = the pedometer's ID, when a pedometer holding an ID arrives;
//   WM_DEVICE_BLANK   (0x717), wParam = 0, when an uninitialised pedometer (ID 999999 or <= 0) arrives;
//   WM_DEVICE_REMOVED (0x716) when a pedometer announced by one of the two is removed.
// A pedometer already plugged in when USB_Init runs arrives then.
//
// Order of an arrival. The day records are transferred FIRST, on the library's
// thread, and the arrival message is posted only when they are all in: the
// handler of 0x715 may call USB_GetDataCount/USB_GetData at once and sees
// every day. In detail, on the notify object's thread, in this order:
//   callback(total, 0, id) ... callback(total, total-1, id)   while the transfer runs
//   the records and settings become visible to USB_Get*
//   callback(total, total, id)                               (so "complete" implies the data is there)
//   0x715 (or 0x717)
// A pedometer without records gives the one call callback(0, 0, id). extra is
// the pedometer's ID. A pedometer pulled out during the transfer is dropped
// silently (nothing was announced, so no 0x716 either).
// Removal: the records and settings are withdrawn just before 0x716 is
// delivered, so a 0x716 handler already sees USB_GetDataCount() == 0.
//
// Threads. The callback is called on the notify object's thread, queued in
// order with the messages (so a callback that stores plain integers needs no
// lock, and a removal's 0x716 can never be overtaken by the next pedometer's
// progress). Without a notify object it is called on the library's thread.
// Every other USB_* function is meant for the program's (notify object's)
// thread; the state they see changes only between two delivered events.
// The library's thread lives from USB_Init to USB_Term, which stops and joins
// it; the notify object must outlive USB_Term.
//
// Pointers from USB_GetData stay valid until the removal is delivered, until
// USB_DeleteAllData succeeds, or until USB_Term.

#include "external/records/Records.h"

#include <QString>

#include <cstdint>

class QObject;

using USB_Callback = int (*)(int total, int current, int extra);

// Starts the library: watches the port and reports to notifyWindow (may be null). Always 1.
// A second call restarts the library (as USB_Term followed by USB_Init).
int USB_Init(QObject* notifyWindow, USB_Callback callback);
// Stops watching, joins the library's thread and forgets the pedometer. 1, or 0 when not started.
int USB_Term();
// The folder the virtual pedometer port watches; takes effect at the next USB_Init.
// Default: "USB/" in the folder of the running executable.
void USB_SetPortFolder(const QString& folder);
QString USB_GetPortFolder();
// Slows the transfer down to msPerRecord per day record (default 0), so its progress can be seen.
void USB_SetTransferPace(int msPerRecord);

// Number of day records transferred from the connected pedometer (0 when none).
int USB_GetDataCount();
// The index-th record, or null when index is out of range or no pedometer is connected.
const DeviceStepRecord* USB_GetData(int index);
// Erases the pedometer's records (in the pedometer and here); 1 on success, 0 without a pedometer.
int USB_DeleteAllData();
// Acknowledges that the program has stored the records; 1 with a pedometer connected, else 0.
// The records stay in the pedometer until USB_DeleteAllData.
int USB_ExportAllData();
// The writes store into the pedometer at once and return 1, or 0 without a pedometer, when the
// write fails, or for a value the pedometer does not take (sex 0/1 - any other sex is stored
// as female -, height 0..300, weight 0..500, age 0..150, kcal 0..100000, a valid time of day).
int USB_SetID(int32_t number);
// The getters fill their arguments and return 1, or return 0 and leave them untouched without a pedometer.
// flag is always 1.
int USB_GetSHW(int32_t& sex, int32_t& height, int32_t& weight, int32_t& age, int flag);
int USB_SetSHW(int32_t sex, int32_t height, int32_t weight, int32_t age, int flag);
int USB_GetDayTargetCalorie(int32_t& kcal);
int USB_SetDayTargetCalorie(int32_t kcal);
int USB_GetAlarmClock(int32_t& hour, int32_t& minute, int32_t& second);
int USB_SetAlarmClock(int32_t hour, int32_t minute, int32_t second);
