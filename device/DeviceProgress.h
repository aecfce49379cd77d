#pragma once
// Transfer progress reported by the device library's callback. The library may
// call it from its own thread, so the values are atomics; the read dialog polls them.

#include <atomic>

inline std::atomic<int> g_nUsbTotal{0};
inline std::atomic<int> g_nUsbCurrent{0};
inline std::atomic<int> g_nUsbExtra{0};
inline std::atomic<bool> g_bUsbComplete{false};

// The callback registered with USB_Init: stores the three values; a call whose
// current equals its total completes the transfer. Returns 0.
inline int UsbProgressCallback(int total, int current, int extra)
{
    g_nUsbTotal.store(total);
    g_nUsbCurrent.store(current);
    g_nUsbExtra.store(extra);
    if (current == total)
        g_bUsbComplete.store(true);
    return 0;
}

// Clears the transfer progress (the pedometer was removed).
inline void ClearDeviceProgress()
{
    g_bUsbComplete.store(false);
    g_nUsbTotal.store(0);
    g_nUsbCurrent.store(0);
    g_nUsbExtra.store(0);
}
