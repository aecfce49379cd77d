#pragma once
// What a user chose, once and for all, to happen when their pedometer is plugged in (the
// device-found dialog's "remember my choice" box), kept in the user's own folder beside Graph.ini.
// The values are the device-found dialog's results: 2 log in, 1 nothing, 3 read new data.

// The remembered result for a user number, or 0 when the dialog should ask.
int RememberedDeviceChoice(int number);
// Keeps a result (2, 1 or 3) for the user; false when it could not be kept (or is not one of those).
bool RememberDeviceChoice(int number, int result);
// Forgets the user's choice: the dialog asks again. False when the file could not be written.
bool ForgetDeviceChoice(int number);
