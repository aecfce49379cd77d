#pragma once
// The program's deferred-work delays in one place (ms). Tests shorten them; the code paths stay the same.

struct ProgramTimings {
    int startupPicture = 1500;     // main window timer 1: how long the start-up picture shows
    int fade = 750;                // window fade in and out
    int deviceFound = 3000;        // timer 51: arrival of a known pedometer to its dialog
    int createUserForDevice = 3000;  // timer 52: blank pedometer to the create dialog
    int hideBalloon = 5000;        // timer 91
    int userListFirstLoad = 300;   // the user list's timer 1: its first page
};

inline ProgramTimings& Timings()
{
    static ProgramTimings timings;
    return timings;
}
