#pragma once
// What pages ask of the connected pedometer, without depending on the device link.

struct UserRecord;

class IDeviceLink {
public:
    virtual ~IDeviceLink() = default;
    // Writes ID, body profile (male flag, height, weight, age, 1), calorie target and alarm time
    // into the connected pedometer, in this order. True when the profile, target and alarm
    // writes each succeeded (the ID write reports nothing).
    virtual bool WriteProfile(const UserRecord& user) = 0;
    // An account was just created for the connected pedometer: it becomes the pedometer's user.
    virtual void DeviceUserCreated(const UserRecord& user) = 0;
};

// The running device link, or null (tests, start-up).
extern IDeviceLink* g_pDeviceLink;
