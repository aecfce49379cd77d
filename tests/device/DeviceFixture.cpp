#include "tests/device/DeviceFixture.h"

#include "core/DlgItem.h"
#include "core/Globals.h"
#include "core/Timings.h"
#include "device/DeviceProgress.h"
#include "external/records/WndMessage.h"
#include "external/usb/Generator.h"
#include "external/usb/Usb.h"
#include "external/userdb/UserDb.h"

#include <QAbstractButton>
#include <QFile>
#include <QTest>
#include <QTimer>

namespace {

class Window : public QObject {
public:
    explicit Window(CDeviceLink& link) : m_link(link) {}
    bool event(QEvent* e) override
    {
        switch (static_cast<int>(e->type())) {
        case WM_DEVICE_ARRIVED: m_link.OnDeviceArrived(static_cast<int>(static_cast<CWndMessage*>(e)->wParam())); return true;
        case WM_DEVICE_REMOVED: m_link.OnDeviceRemoved(); return true;
        case WM_DEVICE_BLANK: m_link.OnDeviceBlank(); return true;
        default: return QObject::event(e);
        }
    }

private:
    CDeviceLink& m_link;
};

}  // namespace

void DeviceTest::SetUp()
{
    ProgramFolderTest::SetUp();
    CopyStandardFiles();
    std::string error;
    ASSERT_EQ(USER_Init("Data Source=" + Dir().toStdString() + "User.mdb;", "KX300_User", "KX300_Data", error), 0)
        << error;
    Timings().deviceFound = 60;
    Timings().createUserForDevice = 60;
    Timings().hideBalloon = 60;
    m_dialogs.boxAnswer = QMessageBox::Yes;
    m_dialogs.runDialog = [this](QDialog& d) {
        const std::string name = d.metaObject()->className();
        m_opened << QString::fromStdString(name);
        const auto it = m_scripts.find(name);
        return it == m_scripts.end() ? -1 : it->second(d);
    };
    g_pMainWindow = &m_shell;
    m_link = std::make_unique<CDeviceLink>();
    QObject::connect(m_link.get(), &CDeviceLink::DeviceArrived, [this] { ++m_arrivals; });
    QObject::connect(m_link.get(), &CDeviceLink::DeviceRemoved, [this] { ++m_removals; });
    QObject::connect(m_link.get(), &CDeviceLink::BlankDeviceArrived, [this] { ++m_blanks; });
}

void DeviceTest::TearDown()
{
    USB_Term();
    m_window.reset();
    m_link.reset();
    ClearDeviceProgress();
    g_pMainWindow = nullptr;
    Timings() = ProgramTimings{};
    USER_Term(0, "508317");
    ProgramFolderTest::TearDown();
}

void DeviceTest::StartDevices()
{
    m_window = std::make_unique<Window>(*m_link);
    USB_SetPortFolder(Port());
    ASSERT_EQ(USB_Init(m_window.get(), &UsbProgressCallback), 1);
}

PedometerFile DeviceTest::Pedometer(int32_t id, int days, uint32_t seed)
{
    PedometerFile f;
    f.profile = PedometerProfile{id, 0, 160, 55, 28, 320, 7, 5, 9};
    f.days = GenerateDays(2024, 3, 1, days, f.profile.weight, seed);
    return f;
}

void DeviceTest::Plug(const PedometerFile& f, const QString& name)
{
    ASSERT_TRUE(SavePedometerFile(Port() + name, f));
}

void DeviceTest::Unplug(const QString& name)
{
    ASSERT_TRUE(QFile::remove(Port() + name));
}

PedometerFile DeviceTest::OnDisk(const QString& name)
{
    PedometerFile f;
    EXPECT_TRUE(LoadPedometerFile(Port() + name, f));
    return f;
}

bool DeviceTest::WaitForArrival()
{
    const int before = m_arrivals + m_blanks;
    return QTest::qWaitFor([&] { return m_arrivals + m_blanks > before; }, 30000);
}

bool DeviceTest::WaitForRemoval()
{
    const int before = m_removals;
    return QTest::qWaitFor([&] { return m_removals > before; }, 30000);
}

bool DeviceTest::Replug(const PedometerFile& f)
{
    if (!QFile::remove(Port() + QStringLiteral("p.ped")) || !WaitForRemoval())
        return false;
    m_opened.clear();
    return SavePedometerFile(Port() + QStringLiteral("p.ped"), f) && WaitForArrival();
}

bool DeviceTest::WaitForDialog()
{
    return QTest::qWaitFor([&] { return !m_opened.isEmpty(); }, 5000);
}

void DeviceTest::AddUser(int number, const std::string& name, int sex, int height, int weight, int rights)
{
    UserRecord r{};
    r.number = number;
    SetRecordName(r, name);
    r.sex = sex;
    r.age = 30;
    r.height = height;
    r.weight = weight;
    r.stride = 70;
    r.rights = rights;
    r.targetCalories = 250;
    r.alarm = MakeAlarmTime(19, 30, 0);
    ASSERT_EQ(USER_CreateUser(r), 1);
}

int DeviceTest::StoredDays(int number, const PedometerFile& f)
{
    int n = 0;
    auto day = std::make_unique<StepRecord>();
    for (const DeviceStepRecord& d : f.days) {
        std::string error;
        day->Clear();
        n += USER_GetData2(number, d.date.dt, *day, error) == 1 ? 1 : 0;
    }
    return n;
}

int DeviceTest::ExecWith(QDialog& dialog, const std::function<void()>& script)
{
    QTimer::singleShot(0, &dialog, [&dialog, script] {
        script();
        // A script that failed half-way must not leave the test waiting for a person.
        QTimer::singleShot(15000, &dialog, [&dialog] {
            if (dialog.isVisible()) {
                ADD_FAILURE() << "the dialog stayed open: " << dialog.metaObject()->className();
                dialog.done(-1);
            }
        });
    });
    return dialog.exec();
}

void ClickItem(QWidget* dialog, int id)
{
    auto* b = qobject_cast<QAbstractButton*>(GetDlgItem(dialog, id));
    ASSERT_NE(b, nullptr) << id;
    ASSERT_TRUE(b->isEnabled()) << id;
    b->click();
}
