#include "external/usb/Usb.h"

#include "external/records/WndMessage.h"
#include "external/usb/UsbPort.h"
#include "external/usb/VirtualPort.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QObject>
#include <QThread>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

namespace {

// What the program sees of the connected pedometer.
struct Published {
    bool present = false;
    PedometerProfile profile;
    std::vector<DeviceStepRecord> days;
};

class CUsbLibrary final : public CPedometerPort::Listener {
public:
    static CUsbLibrary& Instance()
    {
        static CUsbLibrary library;
        return library;
    }

    void SetPortFolder(const QString& folder)
    {
        std::lock_guard lock(m_mutex);
        m_portFolder = folder;
    }

    QString PortFolder()
    {
        std::lock_guard lock(m_mutex);
        if (!m_portFolder.isEmpty())
            return m_portFolder.endsWith(QLatin1Char('/')) ? m_portFolder : m_portFolder + QLatin1Char('/');
        const QString base = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
        return base + QStringLiteral("/USB/");
    }

    void SetPort(std::unique_ptr<CPedometerPort> port) { m_nextPort = std::move(port); }
    void SetPace(int ms) { m_paceMs = ms < 0 ? 0 : ms; }

    int Init(QObject* notify, USB_Callback callback)
    {
        if (m_thread)
            Term();
        m_notify = notify;
        m_callback = callback;
        m_stopping = false;
        m_arrivalPosted = false;
        m_port = m_nextPort ? std::move(m_nextPort) : std::make_unique<CVirtualPedometerPort>(PortFolder());
        if (notify) {
            // Queued calls to the relay run on the notify object's thread, in order with the messages.
            m_relay = std::make_unique<QObject>();
            if (notify->thread() != m_relay->thread())
                m_relay->moveToThread(notify->thread());
        }
        m_thread.reset(QThread::create([this] { Run(); }));
        m_thread->setObjectName(QStringLiteral("pedometer port"));
        m_thread->start();
        return 1;
    }

    int Term()
    {
        if (!m_thread)
            return 0;
        {
            std::lock_guard lock(m_mutex);
            m_stopping = true;
            if (m_loop)
                QMetaObject::invokeMethod(m_loop, &QEventLoop::quit, Qt::QueuedConnection);
        }
        {
            std::lock_guard lock(m_paceMutex);
        }
        m_paceWake.notify_all();
        m_thread->wait();
        m_thread.reset();
        // Progress and data not yet delivered are dropped with the relay.
        if (m_relay && m_relay->thread() != QThread::currentThread())
            m_relay.release()->deleteLater();
        m_relay.reset();
        std::lock_guard lock(m_mutex);
        m_port.reset();
        m_pub = Published{};
        m_notify = nullptr;
        m_callback = nullptr;
        return 1;
    }

    int DataCount()
    {
        std::lock_guard lock(m_mutex);
        return static_cast<int>(m_pub.days.size());
    }

    const DeviceStepRecord* Data(int index)
    {
        std::lock_guard lock(m_mutex);
        if (index < 0 || index >= static_cast<int>(m_pub.days.size()))
            return nullptr;
        return &m_pub.days[static_cast<size_t>(index)];
    }

    int DeleteAll()
    {
        std::lock_guard lock(m_mutex);
        if (!m_pub.present || !m_port || !m_port->EraseDays())
            return 0;
        std::vector<DeviceStepRecord>().swap(m_pub.days);
        return 1;
    }

    int Present()
    {
        std::lock_guard lock(m_mutex);
        return m_pub.present ? 1 : 0;
    }

    bool Profile(PedometerProfile& out)
    {
        std::lock_guard lock(m_mutex);
        if (!m_pub.present)
            return false;
        out = m_pub.profile;
        return true;
    }

    template <typename Change>
    int WriteProfile(Change change)
    {
        std::lock_guard lock(m_mutex);
        if (!m_pub.present || !m_port)
            return 0;
        PedometerProfile p = m_pub.profile;
        change(p);
        if (!IsValidProfile(p) || !m_port->WriteProfile(p))
            return 0;
        m_pub.profile = p;
        return 1;
    }

    // ---- on the library's thread ----

    void PortConnected() override
    {
        PedometerProfile profile;
        const int total = m_port->ReadDayCount();
        if (total < 0 || !m_port->ReadProfile(profile))
            return;
        auto data = std::make_shared<Published>();
        data->present = true;
        data->profile = profile;
        // Read in place: a full pedometer holds 14 MB of days, worth not copying twice.
        data->days.resize(static_cast<size_t>(total));
        const int extra = profile.id;
        const bool paced = m_paceMs > 0;
        for (int i = 0; i < total; ++i) {
            Progress(total, i, extra);
            if (i > 0 && !Pace())
                return;
            // Asking the port whether it is still there costs a look at it: at every
            // record of a slow transfer, every 64 records of a fast one, and at the end.
            const bool look = paced || i % 64 == 0;
            if (m_stopping || (look && !m_port->IsConnected()) || !m_port->ReadDay(i, data->days[static_cast<size_t>(i)]))
                return;  // pulled out (or stopped) during the transfer: nothing to announce
        }
        if (total > 0 && !m_port->IsConnected())
            return;
        // The vector is handed over whole; this thread does not touch it any more.
        OnCallerSide([this, data] {
            std::lock_guard lock(m_mutex);
            m_pub = std::move(*data);
        });
        Progress(total, total, extra);
        if (IsBlankPedometerId(profile.id))
            PostMessage(m_notify, WM_DEVICE_BLANK, 0);
        else
            PostMessage(m_notify, WM_DEVICE_ARRIVED, static_cast<uintptr_t>(profile.id));
        m_arrivalPosted = true;
    }

    void PortDisconnected() override
    {
        if (!m_arrivalPosted)
            return;
        m_arrivalPosted = false;
        OnCallerSide([this] {
            std::lock_guard lock(m_mutex);
            m_pub = Published{};
        });
        PostMessage(m_notify, WM_DEVICE_REMOVED, 0);
    }

private:
    CUsbLibrary() = default;
    // A program that never called USB_Term still must not leave a running thread behind.
    ~CUsbLibrary() override { Term(); }

    void Run()
    {
        m_port->Open(this);
        QEventLoop loop;
        {
            std::lock_guard lock(m_mutex);
            if (m_stopping) {
                m_port->Close();
                return;
            }
            m_loop = &loop;
        }
        loop.exec();
        {
            std::lock_guard lock(m_mutex);
            m_loop = nullptr;
        }
        m_port->Close();
    }

    // Runs f on the notify object's thread after everything posted before, or here without one.
    void OnCallerSide(std::function<void()> f)
    {
        if (m_relay)
            QMetaObject::invokeMethod(m_relay.get(), std::move(f), Qt::QueuedConnection);
        else
            f();
    }

    void Progress(int total, int current, int extra)
    {
        OnCallerSide([this, total, current, extra] {
            if (m_callback)
                m_callback(total, current, extra);
        });
    }

    // Waits the transfer pace; false when the library is stopping.
    bool Pace()
    {
        const int ms = m_paceMs;
        std::unique_lock lock(m_paceMutex);
        if (ms > 0)
            m_paceWake.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_stopping.load(); });
        return !m_stopping;
    }

    // Set while stopped only (before the thread starts, after it is joined).
    QObject* m_notify = nullptr;
    USB_Callback m_callback = nullptr;
    std::unique_ptr<CPedometerPort> m_port;
    std::unique_ptr<CPedometerPort> m_nextPort;
    std::unique_ptr<QObject> m_relay;
    std::unique_ptr<QThread> m_thread;

    std::atomic<bool> m_stopping{false};
    std::atomic<int> m_paceMs{0};
    std::mutex m_paceMutex;
    std::condition_variable m_paceWake;
    bool m_arrivalPosted = false;  // library thread only

    std::mutex m_mutex;  // guards what follows
    QString m_portFolder;
    QEventLoop* m_loop = nullptr;
    Published m_pub;
};

CUsbLibrary& Lib() { return CUsbLibrary::Instance(); }

// Hands the connected pedometer's settings to read; 0 without a pedometer (read is not called).
template <typename Read>
int ReadProfile(Read read)
{
    PedometerProfile p;
    if (!Lib().Profile(p))
        return 0;
    read(p);
    return 1;
}

bool ValidTimeOfDay(int32_t h, int32_t m, int32_t s)
{
    return h >= 0 && h <= 23 && m >= 0 && m <= 59 && s >= 0 && s <= 59;
}

}  // namespace

void USB_SetPort(std::unique_ptr<CPedometerPort> port) { Lib().SetPort(std::move(port)); }

int USB_Init(QObject* notifyWindow, USB_Callback callback) { return Lib().Init(notifyWindow, callback); }
int USB_Term() { return Lib().Term(); }
void USB_SetPortFolder(const QString& folder) { Lib().SetPortFolder(folder); }
QString USB_GetPortFolder() { return Lib().PortFolder(); }
void USB_SetTransferPace(int msPerRecord) { Lib().SetPace(msPerRecord); }

int USB_GetDataCount() { return Lib().DataCount(); }
const DeviceStepRecord* USB_GetData(int index) { return Lib().Data(index); }
int USB_DeleteAllData() { return Lib().DeleteAll(); }
int USB_ExportAllData() { return Lib().Present(); }

int USB_SetID(int32_t number)
{
    return Lib().WriteProfile([&](PedometerProfile& p) { p.id = number; });
}

int USB_GetSHW(int32_t& sex, int32_t& height, int32_t& weight, int32_t& age, int /*flag*/)
{
    return ReadProfile([&](const PedometerProfile& p) {
        sex = p.sex;
        height = p.height;
        weight = p.weight;
        age = p.age;
    });
}

int USB_SetSHW(int32_t sex, int32_t height, int32_t weight, int32_t age, int /*flag*/)
{
    return Lib().WriteProfile([&](PedometerProfile& p) {
        p.sex = sex == 1 ? 1 : 0;
        p.height = height;
        p.weight = weight;
        p.age = age;
    });
}

int USB_GetDayTargetCalorie(int32_t& kcal)
{
    return ReadProfile([&](const PedometerProfile& p) { kcal = p.targetCalories; });
}

int USB_SetDayTargetCalorie(int32_t kcal)
{
    return Lib().WriteProfile([&](PedometerProfile& p) { p.targetCalories = kcal; });
}

int USB_GetAlarmClock(int32_t& hour, int32_t& minute, int32_t& second)
{
    return ReadProfile([&](const PedometerProfile& p) {
        hour = p.alarmHour;
        minute = p.alarmMinute;
        second = p.alarmSecond;
    });
}

int USB_SetAlarmClock(int32_t hour, int32_t minute, int32_t second)
{
    if (!ValidTimeOfDay(hour, minute, second))
        return 0;
    return Lib().WriteProfile([&](PedometerProfile& p) {
        p.alarmHour = hour;
        p.alarmMinute = minute;
        p.alarmSecond = second;
    });
}
