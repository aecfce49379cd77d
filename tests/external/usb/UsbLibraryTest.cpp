// The device library over the virtual pedometer port: messages, transfer and
// its order against the messages, writes, and files it must not choke on.

#include "external/records/WndMessage.h"
#include "external/usb/Generator.h"
#include "external/usb/PedometerFile.h"
#include "external/usb/Usb.h"
#include "external/usb/UsbPort.h"
#include "external/usb/VirtualPort.h"
#include "tests/support/ProgramFolder.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QThread>

#include <cstring>
#include <string>
#include <vector>

namespace {

// Progress as the program keeps it, plus a log shared with the messages.
struct Progress {
    int total = -1, current = -1, extra = -1, calls = 0;
    bool complete = false;
    bool offThread = false;  // a call arrived on another thread than the receiver's
};
Progress g_progress;
std::vector<std::string> g_events;

int OnProgress(int total, int current, int extra)
{
    if (QThread::currentThread() != QCoreApplication::instance()->thread())
        g_progress.offThread = true;
    g_progress.total = total;
    g_progress.current = current;
    g_progress.extra = extra;
    ++g_progress.calls;
    if (current == total)
        g_progress.complete = true;
    g_events.push_back("progress " + std::to_string(current) + "/" + std::to_string(total) + " " + std::to_string(extra));
    return 0;
}

// Stands in for the main window: records each device message and what the library shows at that moment.
class Receiver : public QObject {
public:
    struct Message {
        int message;
        uintptr_t wParam;
        int dataCount;
        bool progressComplete;
    };
    std::vector<Message> messages;

    int Count(int message) const
    {
        int n = 0;
        for (const Message& m : messages)
            n += m.message == message ? 1 : 0;
        return n;
    }

    bool event(QEvent* e) override
    {
        const int t = static_cast<int>(e->type());
        if (t == WM_DEVICE_ARRIVED || t == WM_DEVICE_REMOVED || t == WM_DEVICE_BLANK) {
            const auto* m = static_cast<CWndMessage*>(e);
            messages.push_back({t, m->wParam(), USB_GetDataCount(), g_progress.complete});
            g_events.push_back("message " + std::to_string(t) + " " + std::to_string(m->wParam()));
            if (t == WM_DEVICE_REMOVED)
                g_progress = Progress{};  // as the main window does
            return true;
        }
        return QObject::event(e);
    }
};

class UsbLibraryTest : public ProgramFolderTest {
protected:
    void SetUp() override
    {
        ProgramFolderTest::SetUp();
        g_progress = Progress{};
        g_events.clear();
        USB_SetTransferPace(0);
        USB_SetPortFolder(Port());
    }

    void TearDown() override
    {
        USB_Term();
        USB_SetTransferPace(0);
        ProgramFolderTest::TearDown();
    }

    QString Port() const { return PathOf(QStringLiteral("USB/")); }

    PedometerFile Make(int32_t id, int days, uint32_t seed = 5)
    {
        PedometerFile f;
        f.profile = PedometerProfile{id, 1, 175, 80, 35, 350, 7, 15, 0};
        f.days = GenerateDays(2024, 3, 1, days, f.profile.weight, seed);
        return f;
    }

    // Plugs a pedometer in (written atomically, as the tool does).
    void Plug(const QString& name, const PedometerFile& f)
    {
        ASSERT_TRUE(SavePedometerFile(Port() + name, f));
    }

    void Start() { ASSERT_EQ(USB_Init(&m_receiver, &OnProgress), 1); }

    // Generous: a passing wait ends as soon as the message is in, and a loaded
    // machine running sanitised builds may take long to deliver it.
    bool WaitFor(int message, int count = 1, int ms = 30000)
    {
        return QTest::qWaitFor([&] { return m_receiver.Count(message) >= count; }, ms);
    }

    // Gives the poll timer several rounds to (wrongly) report something.
    void Settle() { QTest::qWait(4 * 300); }

    PedometerFile OnDisk(const QString& name)
    {
        PedometerFile f;
        EXPECT_TRUE(LoadPedometerFile(Port() + name, f));
        return f;
    }

    Receiver m_receiver;
};

}  // namespace

TEST_F(UsbLibraryTest, ArrivalComesAfterTheWholeTransfer)
{
    Start();
    const PedometerFile f = Make(12345, 4);
    Plug(QStringLiteral("a.ped"), f);
    ASSERT_TRUE(WaitFor(WM_DEVICE_ARRIVED));

    ASSERT_EQ(m_receiver.messages.size(), 1u);
    const auto& m = m_receiver.messages[0];
    EXPECT_EQ(m.wParam, 12345u);
    // The handler of the arrival can import every day at once.
    EXPECT_EQ(m.dataCount, 4);
    EXPECT_TRUE(m.progressComplete);

    ASSERT_EQ(USB_GetDataCount(), 4);
    for (int i = 0; i < 4; ++i) {
        const DeviceStepRecord* r = USB_GetData(i);
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(std::memcmp(r, &f.days[static_cast<size_t>(i)], sizeof *r), 0);
    }
    EXPECT_EQ(USB_GetData(4), nullptr);
    EXPECT_EQ(USB_GetData(-1), nullptr);

    EXPECT_EQ(g_events, (std::vector<std::string>{"progress 0/4 12345", "progress 1/4 12345", "progress 2/4 12345",
                                                  "progress 3/4 12345", "progress 4/4 12345", "message 1813 12345"}));
    EXPECT_FALSE(g_progress.offThread);
    EXPECT_EQ(USB_ExportAllData(), 1);
}

TEST_F(UsbLibraryTest, PedometerWithoutRecordsCompletesAtOnce)
{
    Start();
    Plug(QStringLiteral("a.ped"), Make(20001, 0));
    ASSERT_TRUE(WaitFor(WM_DEVICE_ARRIVED));
    EXPECT_EQ(g_events, (std::vector<std::string>{"progress 0/0 20001", "message 1813 20001"}));
    EXPECT_EQ(USB_GetDataCount(), 0);
    EXPECT_EQ(USB_GetData(0), nullptr);
}

TEST_F(UsbLibraryTest, UninitialisedPedometersPostBlank)
{
    Start();
    int expected = 0;
    for (int32_t id : {kBlankDeviceId, 0, -7}) {
        SCOPED_TRACE(id);
        Plug(QStringLiteral("blank.ped"), Make(id, 2));
        ASSERT_TRUE(WaitFor(WM_DEVICE_BLANK, ++expected));
        EXPECT_EQ(m_receiver.messages.back().wParam, 0u);
        // Its settings can be read (the program builds a record from them) and written.
        int32_t sex = -1, height = -1, weight = -1, age = -1;
        EXPECT_EQ(USB_GetSHW(sex, height, weight, age, 1), 1);
        EXPECT_EQ(height, 175);
        ASSERT_TRUE(QFile::remove(Port() + QStringLiteral("blank.ped")));
        ASSERT_TRUE(WaitFor(WM_DEVICE_REMOVED, expected));
    }
    EXPECT_EQ(m_receiver.Count(WM_DEVICE_ARRIVED), 0);
}

TEST_F(UsbLibraryTest, RemovalWithdrawsEverythingBeforeItIsHandled)
{
    Start();
    Plug(QStringLiteral("a.ped"), Make(12345, 3));
    ASSERT_TRUE(WaitFor(WM_DEVICE_ARRIVED));
    ASSERT_TRUE(QFile::remove(Port() + QStringLiteral("a.ped")));
    ASSERT_TRUE(WaitFor(WM_DEVICE_REMOVED));
    EXPECT_EQ(m_receiver.messages.back().dataCount, 0);
    EXPECT_EQ(USB_GetDataCount(), 0);
    EXPECT_EQ(USB_GetData(0), nullptr);

    int32_t kcal = 777, h = 1, m = 2, s = 3;
    EXPECT_EQ(USB_GetDayTargetCalorie(kcal), 0);
    EXPECT_EQ(kcal, 777);  // untouched
    EXPECT_EQ(USB_GetAlarmClock(h, m, s), 0);
    EXPECT_EQ(h, 1);
    EXPECT_EQ(USB_SetID(22222), 0);
    EXPECT_EQ(USB_SetSHW(1, 170, 70, 30, 1), 0);
    EXPECT_EQ(USB_SetDayTargetCalorie(300), 0);
    EXPECT_EQ(USB_SetAlarmClock(7, 0, 0), 0);
    EXPECT_EQ(USB_DeleteAllData(), 0);
    EXPECT_EQ(USB_ExportAllData(), 0);
    // A failed write does not bring the pedometer back.
    EXPECT_FALSE(QFile::exists(Port() + QStringLiteral("a.ped")));
    Settle();
    EXPECT_EQ(m_receiver.messages.size(), 2u);
}

TEST_F(UsbLibraryTest, PedometerPresentAtInitArrivesThen)
{
    Plug(QStringLiteral("early.ped"), Make(54321, 2));
    Start();
    ASSERT_TRUE(WaitFor(WM_DEVICE_ARRIVED));
    EXPECT_EQ(m_receiver.messages[0].wParam, 54321u);
    EXPECT_EQ(m_receiver.messages[0].dataCount, 2);
}

TEST_F(UsbLibraryTest, SecondPedometerWaitsForTheFirstToGo)
{
    Plug(QStringLiteral("a.ped"), Make(11111, 2));
    Plug(QStringLiteral("b.ped"), Make(22222, 3, 9));
    Start();
    ASSERT_TRUE(WaitFor(WM_DEVICE_ARRIVED));
    Settle();
    ASSERT_EQ(m_receiver.messages.size(), 1u);
    EXPECT_EQ(m_receiver.messages[0].wParam, 11111u);

    ASSERT_TRUE(QFile::remove(Port() + QStringLiteral("a.ped")));
    ASSERT_TRUE(WaitFor(WM_DEVICE_ARRIVED, 2));
    ASSERT_EQ(m_receiver.messages.size(), 3u);
    EXPECT_EQ(m_receiver.messages[1].message, WM_DEVICE_REMOVED);
    EXPECT_EQ(m_receiver.messages[2].wParam, 22222u);
    // The removal cleared the progress; the second pedometer's transfer came after it, complete.
    EXPECT_TRUE(m_receiver.messages[2].progressComplete);
    EXPECT_EQ(m_receiver.messages[2].dataCount, 3);
    const auto removal = std::find(g_events.begin(), g_events.end(), "message 1814 0");
    ASSERT_NE(removal, g_events.end());
    EXPECT_EQ(*(removal + 1), "progress 0/3 22222");
}

TEST_F(UsbLibraryTest, WritesPersistInThePedometerFile)
{
    Start();
    const PedometerFile f = Make(12345, 3);
    Plug(QStringLiteral("a.ped"), f);
    ASSERT_TRUE(WaitFor(WM_DEVICE_ARRIVED));
    const DeviceStepRecord* first = USB_GetData(0);

    EXPECT_EQ(USB_SetID(54321), 1);
    EXPECT_EQ(USB_SetSHW(2, 160, 55, 40, 1), 1);  // any sex but 1 is female
    EXPECT_EQ(USB_SetDayTargetCalorie(450), 1);
    EXPECT_EQ(USB_SetAlarmClock(6, 30, 15), 1);

    int32_t sex = -1, height = 0, weight = 0, age = 0, kcal = 0, h = 0, m = 0, s = 0;
    EXPECT_EQ(USB_GetSHW(sex, height, weight, age, 1), 1);
    EXPECT_EQ(sex, 0);
    EXPECT_EQ(height, 160);
    EXPECT_EQ(weight, 55);
    EXPECT_EQ(age, 40);
    EXPECT_EQ(USB_GetDayTargetCalorie(kcal), 1);
    EXPECT_EQ(kcal, 450);
    EXPECT_EQ(USB_GetAlarmClock(h, m, s), 1);
    EXPECT_EQ(h, 6);
    EXPECT_EQ(m, 30);
    EXPECT_EQ(s, 15);

    const PedometerFile disk = OnDisk(QStringLiteral("a.ped"));
    EXPECT_EQ(disk.profile, (PedometerProfile{54321, 0, 160, 55, 40, 450, 6, 30, 15}));
    EXPECT_EQ(disk.days.size(), 3u);

    // Values the pedometer does not take change nothing.
    EXPECT_EQ(USB_SetAlarmClock(24, 0, 0), 0);
    EXPECT_EQ(USB_SetAlarmClock(7, 60, 0), 0);
    EXPECT_EQ(USB_SetSHW(1, -1, 70, 30, 1), 0);
    EXPECT_EQ(USB_SetSHW(1, 170, 501, 30, 1), 0);
    EXPECT_EQ(USB_SetDayTargetCalorie(-5), 0);
    EXPECT_EQ(OnDisk(QStringLiteral("a.ped")).profile, disk.profile);

    // Our own writes neither re-plug the pedometer nor move its records.
    Settle();
    EXPECT_EQ(m_receiver.messages.size(), 1u);
    EXPECT_EQ(USB_GetData(0), first);
    EXPECT_EQ(std::memcmp(first, &f.days[0], sizeof *first), 0);
}

TEST_F(UsbLibraryTest, DeleteAllDataErasesRecordsAndKeepsTheProfile)
{
    Start();
    Plug(QStringLiteral("a.ped"), Make(12345, 5));
    ASSERT_TRUE(WaitFor(WM_DEVICE_ARRIVED));
    EXPECT_EQ(USB_DeleteAllData(), 1);
    EXPECT_EQ(USB_GetDataCount(), 0);
    EXPECT_EQ(USB_GetData(0), nullptr);
    const PedometerFile disk = OnDisk(QStringLiteral("a.ped"));
    EXPECT_TRUE(disk.days.empty());
    EXPECT_EQ(disk.profile.id, 12345);
    // Writes after erasing keep the file empty of records.
    EXPECT_EQ(USB_SetDayTargetCalorie(600), 1);
    EXPECT_TRUE(OnDisk(QStringLiteral("a.ped")).days.empty());
}

TEST_F(UsbLibraryTest, WritesFailWhenTheFileWasPulledButRemovalNotYetHandled)
{
    Start();
    const PedometerFile f = Make(12345, 1);
    Plug(QStringLiteral("a.ped"), f);
    ASSERT_TRUE(WaitFor(WM_DEVICE_ARRIVED));
    const DeviceStepRecord* kept = USB_GetData(0);
    ASSERT_TRUE(QFile::remove(Port() + QStringLiteral("a.ped")));
    // No event processed yet: the library cannot have told us, but must not write.
    EXPECT_EQ(USB_SetID(22222), 0);
    EXPECT_EQ(USB_DeleteAllData(), 0);
    EXPECT_FALSE(QFile::exists(Port() + QStringLiteral("a.ped")));
    // Records stay readable until the removal is delivered.
    EXPECT_EQ(USB_GetData(0), kept);
    EXPECT_EQ(std::memcmp(kept, &f.days[0], sizeof *kept), 0);
    ASSERT_TRUE(WaitFor(WM_DEVICE_REMOVED));
    EXPECT_EQ(USB_GetData(0), nullptr);
}

TEST_F(UsbLibraryTest, DamagedFilesNeverArriveAndDoNotBlockTheNext)
{
    Start();
    const QByteArray good = EncodePedometerFile(Make(12345, 2));
    QByteArray version = good;
    version[8] = 9;
    QByteArray huge = good;
    const uint32_t many = 5000;
    std::memcpy(huge.data() + 52, &many, 4);
    WriteFile(QStringLiteral("USB/1-truncated.ped"), good.left(good.size() - 100));
    WriteFile(QStringLiteral("USB/2-garbage.ped"), QByteArray(3000, '\x5a'));
    WriteFile(QStringLiteral("USB/3-version.ped"), version);
    WriteFile(QStringLiteral("USB/4-count.ped"), huge);
    WriteFile(QStringLiteral("USB/5-empty.ped"), QByteArray());
    {
        QFile big(Port() + QStringLiteral("6-oversized.ped"));
        ASSERT_TRUE(big.open(QIODevice::WriteOnly));
        ASSERT_TRUE(big.resize(kPedometerMaxFileSize + 14440));
    }
    // Not pedometer files at all: other names are ignored.
    WriteFile(QStringLiteral("USB/notes.txt"), good);
    WriteFile(QStringLiteral("USB/a.ped.Xy12Ab"), good);
    Settle();
    EXPECT_TRUE(m_receiver.messages.empty());
    EXPECT_EQ(g_progress.calls, 0);
    EXPECT_EQ(USB_GetDataCount(), 0);

    WriteFile(QStringLiteral("USB/9-good.ped"), good);
    ASSERT_TRUE(WaitFor(WM_DEVICE_ARRIVED));
    EXPECT_EQ(m_receiver.messages.size(), 1u);
    EXPECT_EQ(m_receiver.messages[0].wParam, 12345u);
}

TEST_F(UsbLibraryTest, HalfWrittenFileIsReadAgainWhenItChanges)
{
    Start();
    const QByteArray good = EncodePedometerFile(Make(12345, 3));
    // A writer that does not rename: first only part of the file is there.
    QFile f(Port() + QStringLiteral("slow.ped"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(good.left(20000)), 20000);
    ASSERT_TRUE(f.flush());
    Settle();
    EXPECT_TRUE(m_receiver.messages.empty());
    ASSERT_EQ(f.write(good.mid(20000)), good.size() - 20000);
    f.close();
    ASSERT_TRUE(WaitFor(WM_DEVICE_ARRIVED));
    EXPECT_EQ(m_receiver.messages[0].dataCount, 3);
}

TEST_F(UsbLibraryTest, FreshFileIsReadAgainEvenWhenItLooksUnchanged)
{
    Start();
    const QByteArray good = EncodePedometerFile(Make(12345, 2));
    QByteArray broken = good;
    broken[60] = static_cast<char>(broken[60] ^ 1);  // checksum off, same size
    const QString path = Port() + QStringLiteral("same.ped");
    // A time stamp that stays "fresh" however slow this machine is.
    const QDateTime stamp = QDateTime::currentDateTime().addSecs(30);
    auto writeInPlace = [&](const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_EQ(f.write(bytes), bytes.size());
        f.close();
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(stamp, QFileDevice::FileModificationTime));
    };
    writeInPlace(broken);
    Settle();
    EXPECT_TRUE(m_receiver.messages.empty());
    // Same size, same time stamp: only its content tells it apart.
    writeInPlace(good);
    ASSERT_TRUE(WaitFor(WM_DEVICE_ARRIVED));
}

// The port on its own, looked at by hand: the look after the rewrite comes
// long after the stamp has settled, as on a machine too busy to poll in time.
TEST_F(UsbLibraryTest, RewriteWithinTheStampIsSeenHoweverLateTheNextLook)
{
    const QByteArray good = EncodePedometerFile(Make(12345, 2));
    QByteArray broken = good;
    broken[60] = static_cast<char>(broken[60] ^ 1);
    const QString path = Port() + QStringLiteral("late.ped");
    const QDateTime stamp = QDateTime::fromMSecsSinceEpoch(QDateTime::currentMSecsSinceEpoch());
    auto writeInPlace = [&](const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_EQ(f.write(bytes), bytes.size());
        ASSERT_TRUE(f.setFileTime(stamp, QFileDevice::FileModificationTime));
    };
    CVirtualPedometerPort port(Port());
    writeInPlace(broken);
    port.Scan();  // reads the broken content while the stamp is fresh
    ASSERT_TRUE(port.ConnectedFile().isEmpty());
    writeInPlace(good);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return QDateTime::currentMSecsSinceEpoch() - stamp.toMSecsSinceEpoch() >
                   CVirtualPedometerPort::kSettleMs + 100;
        },
        60000));
    port.Scan();
    EXPECT_EQ(port.ConnectedFile(), QFileInfo(path).absoluteFilePath());

    // Once a read after the settling time has failed too, an unchanged file is left alone,
    // and a change to it is still noticed.
    CVirtualPedometerPort other(Port());
    writeInPlace(broken);
    other.Scan();
    other.Scan();
    EXPECT_TRUE(other.ConnectedFile().isEmpty());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_EQ(f.write(good), good.size());
    f.close();
    other.Scan();
    EXPECT_FALSE(other.ConnectedFile().isEmpty());
}

TEST_F(UsbLibraryTest, PortFolderCreatedLaterIsWatched)
{
    ASSERT_TRUE(QDir(Port()).removeRecursively());
    Start();
    Settle();
    ASSERT_TRUE(QDir().mkpath(Port()));
    Plug(QStringLiteral("a.ped"), Make(12345, 1));
    ASSERT_TRUE(WaitFor(WM_DEVICE_ARRIVED));
}

TEST_F(UsbLibraryTest, PulledOutDuringTheTransferAnnouncesNothing)
{
    USB_SetTransferPace(40);
    Start();
    Plug(QStringLiteral("a.ped"), Make(12345, 200));
    ASSERT_TRUE(QTest::qWaitFor([] { return g_progress.calls >= 2; }, 30000));
    ASSERT_TRUE(QFile::remove(Port() + QStringLiteral("a.ped")));
    Settle();
    EXPECT_TRUE(m_receiver.messages.empty());
    EXPECT_FALSE(g_progress.complete);
    EXPECT_EQ(USB_GetDataCount(), 0);

    // The port is free again.
    USB_SetTransferPace(0);
    Plug(QStringLiteral("b.ped"), Make(22222, 2));
    ASSERT_TRUE(WaitFor(WM_DEVICE_ARRIVED));
    EXPECT_EQ(m_receiver.messages[0].wParam, 22222u);
}

TEST_F(UsbLibraryTest, ProgressCanBeWatchedDuringASlowTransfer)
{
    // Slow enough that a test thread held up for a while still sees the transfer running.
    USB_SetTransferPace(100);
    Start();
    Plug(QStringLiteral("a.ped"), Make(12345, 30));
    ASSERT_TRUE(QTest::qWaitFor([] { return g_progress.calls >= 3; }, 30000));
    EXPECT_FALSE(g_progress.complete);
    EXPECT_EQ(g_progress.total, 30);
    EXPECT_EQ(USB_GetDataCount(), 0);  // nothing is half-published
    ASSERT_TRUE(WaitFor(WM_DEVICE_ARRIVED));
    EXPECT_TRUE(g_progress.complete);
    EXPECT_EQ(g_progress.current, 30);
    EXPECT_EQ(USB_GetDataCount(), 30);
}

TEST_F(UsbLibraryTest, TermStopsATransferAndInitStartsAfresh)
{
    USB_SetTransferPace(50);
    Start();
    Plug(QStringLiteral("a.ped"), Make(12345, 500));
    ASSERT_TRUE(QTest::qWaitFor([] { return g_progress.calls >= 1; }, 30000));
    EXPECT_EQ(USB_Term(), 1);
    EXPECT_EQ(USB_Term(), 0);
    const int callsAtTerm = g_progress.calls;
    Settle();
    EXPECT_EQ(g_progress.calls, callsAtTerm);  // nothing delivered after USB_Term
    EXPECT_TRUE(m_receiver.messages.empty());

    USB_SetTransferPace(0);
    Start();
    ASSERT_TRUE(WaitFor(WM_DEVICE_ARRIVED));
    EXPECT_EQ(USB_GetDataCount(), 500);
    // Calling USB_Init again restarts: the pedometer arrives once more.
    Start();
    ASSERT_TRUE(WaitFor(WM_DEVICE_ARRIVED, 2));
}

TEST_F(UsbLibraryTest, WorksWithoutANotifyObject)
{
    Plug(QStringLiteral("a.ped"), Make(12345, 2));
    ASSERT_EQ(USB_Init(nullptr, &OnProgress), 1);
    // Without a notify object the callback runs on the library's thread; wait for the data instead.
    ASSERT_TRUE(QTest::qWaitFor([] { return USB_GetDataCount() == 2; }, 30000));
    EXPECT_EQ(USB_SetDayTargetCalorie(123), 1);
    USB_Term();
    EXPECT_EQ(OnDisk(QStringLiteral("a.ped")).profile.targetCalories, 123);
    EXPECT_EQ(g_progress.complete, true);
}

// A port of another kind plugs in without any change to the callers.
namespace {
class CMemoryPort : public CPedometerPort {
public:
    explicit CMemoryPort(PedometerFile content) : m_content(std::move(content)) {}
    void Open(Listener* l) override { l->PortConnected(); }
    void Close() override {}
    bool IsConnected() const override { return true; }
    bool ReadProfile(PedometerProfile& out) override
    {
        out = m_content.profile;
        return true;
    }
    int ReadDayCount() override { return static_cast<int>(m_content.days.size()); }
    bool ReadDay(int i, DeviceStepRecord& out) override
    {
        out = m_content.days[static_cast<size_t>(i)];
        return true;
    }
    bool WriteProfile(const PedometerProfile& p) override
    {
        m_content.profile = p;
        return true;
    }
    bool EraseDays() override
    {
        m_content.days.clear();
        return true;
    }

private:
    PedometerFile m_content;
};
}  // namespace

TEST_F(UsbLibraryTest, AnotherPortKindServesTheSameOperations)
{
    USB_SetPort(std::make_unique<CMemoryPort>(Make(33333, 2)));
    Start();
    ASSERT_TRUE(WaitFor(WM_DEVICE_ARRIVED));
    EXPECT_EQ(m_receiver.messages[0].wParam, 33333u);
    EXPECT_EQ(USB_GetDataCount(), 2);
    EXPECT_EQ(USB_SetAlarmClock(5, 4, 3), 1);
    int32_t h = 0, m = 0, s = 0;
    EXPECT_EQ(USB_GetAlarmClock(h, m, s), 1);
    EXPECT_EQ(h * 10000 + m * 100 + s, 50403);
}
