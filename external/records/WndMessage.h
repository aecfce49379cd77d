#pragma once
// Window messages between the program's windows and its libraries: a Qt event
// whose type is the message number, carrying wParam and lParam. Post from any
// thread; the receiver handles it in event().

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <cstdint>

class CWndMessage : public QEvent {
public:
    CWndMessage(int message, uintptr_t wParam = 0, intptr_t lParam = 0)
        : QEvent(static_cast<QEvent::Type>(message)), m_wParam(wParam), m_lParam(lParam) {}

    int message() const { return static_cast<int>(type()); }
    uintptr_t wParam() const { return m_wParam; }
    intptr_t lParam() const { return m_lParam; }

    // The result a receiver hands back to SendMessage.
    void setResult(intptr_t r) { m_result = r; }
    intptr_t result() const { return m_result; }

private:
    uintptr_t m_wParam;
    intptr_t m_lParam;
    intptr_t m_result = 0;
};

// The event type of a message number, for comparisons in event().
inline QEvent::Type MessageType(int message) { return static_cast<QEvent::Type>(message); }

// Delivers the message at once on the receiver's thread (the caller's) and returns the receiver's result.
inline intptr_t SendMessage(QObject* receiver, int message, uintptr_t wParam = 0, intptr_t lParam = 0)
{
    if (!receiver)
        return 0;
    CWndMessage m(message, wParam, lParam);
    QCoreApplication::sendEvent(receiver, &m);
    return m.result();
}

// Queues the message for the receiver's thread; safe from any thread.
inline void PostMessage(QObject* receiver, int message, uintptr_t wParam = 0, intptr_t lParam = 0)
{
    if (receiver)
        QCoreApplication::postEvent(receiver, new CWndMessage(message, wParam, lParam));
}

// Message numbers shared by the program and its libraries.
constexpr int WM_TRAY_NOTIFY = 0x472;
constexpr int WM_DEVICE_ARRIVED = 0x715;
constexpr int WM_DEVICE_REMOVED = 0x716;
constexpr int WM_DEVICE_BLANK = 0x717;
constexpr int WM_SHOW_USER_DATA = 1245;
constexpr int WM_PICTURE_CLICKED = 1625;
constexpr int WM_CHART_FLAGSCHANGED = 1705;
constexpr int WM_CHART_SERIESCHANGED = 1706;
constexpr int WM_CHART_RBUTTONUP = 1707;
constexpr int WM_CHART_CURSORMOVED = 1708;
