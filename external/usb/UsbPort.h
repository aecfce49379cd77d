#pragma once
// A pedometer port: how the device library reaches a pedometer. The library
// (Usb.cpp) owns one port; a real USB transport is another subclass installed
// with USB_SetPort, the USB_* operations and their callers stay as they are.
//
// Threads: Open, Close and every Listener call happen on the library's own
// thread (which runs an event loop, so a port may use timers and notifiers
// there). The device operations may be called from that thread and from the
// program's thread at the same time; a port serialises them itself.

#include "external/records/Records.h"
#include "external/usb/PedometerFile.h"

#include <memory>

class CPedometerPort {
public:
    class Listener {
    public:
        virtual ~Listener() = default;
        // A pedometer was plugged in and identified; its profile and days can be read now.
        virtual void PortConnected() = 0;
        // The connected pedometer went away.
        virtual void PortDisconnected() = 0;
    };

    CPedometerPort() = default;
    CPedometerPort(const CPedometerPort&) = delete;
    CPedometerPort& operator=(const CPedometerPort&) = delete;
    virtual ~CPedometerPort() = default;

    // Starts watching; a pedometer already present is reported (PortConnected) from here.
    virtual void Open(Listener* listener) = 0;
    // Stops watching and forgets the connected pedometer; no Listener call after this.
    virtual void Close() = 0;

    // Whether the pedometer is still there (a transfer stops when it is not).
    virtual bool IsConnected() const = 0;
    virtual bool ReadProfile(PedometerProfile& out) = 0;
    // Number of day records the pedometer holds, -1 when it cannot be reached.
    virtual int ReadDayCount() = 0;
    virtual bool ReadDay(int index, DeviceStepRecord& out) = 0;
    // Stores all settings at once (the library keeps the rest of the profile unchanged).
    virtual bool WriteProfile(const PedometerProfile& profile) = 0;
    virtual bool EraseDays() = 0;
};

// Installs the port the next USB_Init uses (null = the virtual pedometer of the port folder).
// Call only while the library is not running (before USB_Init or after USB_Term).
void USB_SetPort(std::unique_ptr<CPedometerPort> port);
