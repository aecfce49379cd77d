// travimo-pedometer end to end: the tool is run as a separate process, as a
// person would, while the device library watches the port folder.

#include "external/records/WndMessage.h"
#include "external/usb/PedometerFile.h"
#include "external/usb/Usb.h"
#include "external/userdb/UserDb.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/ToolRun.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

namespace {

class PortWatcher : public QObject {
public:
    std::vector<std::pair<int, uintptr_t>> messages;
    bool event(QEvent* e) override
    {
        const int t = static_cast<int>(e->type());
        if (t == WM_DEVICE_ARRIVED || t == WM_DEVICE_REMOVED || t == WM_DEVICE_BLANK) {
            messages.emplace_back(t, static_cast<CWndMessage*>(e)->wParam());
            return true;
        }
        return QObject::event(e);
    }
};

class PedometerToolTest : public ProgramFolderTest {
protected:
    void TearDown() override
    {
        USB_Term();
        ProgramFolderTest::TearDown();
    }

    ToolRun Tool(const QStringList& args)
    {
        return RunTool(QStringLiteral(TRAVIMO_PEDOMETER_TOOL), args, Dir());
    }

    QString Port() const { return PathOf(QStringLiteral("USB/")); }
};

}  // namespace

TEST_F(PedometerToolTest, CreateAndShow)
{
    const ToolRun c = Tool({QStringLiteral("create"), QStringLiteral("mine.ped"), QStringLiteral("--id"), QStringLiteral("12345"),
                        QStringLiteral("--sex"), QStringLiteral("female"), QStringLiteral("--height"), QStringLiteral("163"),
                        QStringLiteral("--weight"), QStringLiteral("57"), QStringLiteral("--age"), QStringLiteral("29"),
                        QStringLiteral("--target"), QStringLiteral("380"), QStringLiteral("--alarm"), QStringLiteral("6:45:30"),
                        QStringLiteral("--days"), QStringLiteral("3"), QStringLiteral("--first"), QStringLiteral("2024-02-28"),
                        QStringLiteral("--seed"), QStringLiteral("4")});
    ASSERT_EQ(c.status, 0) << c.err.toStdString();

    PedometerFile f;
    ASSERT_TRUE(LoadPedometerFile(PathOf(QStringLiteral("mine.ped")), f));
    EXPECT_EQ(f.profile, (PedometerProfile{12345, 0, 163, 57, 29, 380, 6, 45, 30}));
    ASSERT_EQ(f.days.size(), 3u);
    EXPECT_EQ(OleDateToYmd(f.days[2].date.dt), (Ymd{2024, 3, 1}));  // leap year

    const ToolRun s = Tool({QStringLiteral("show"), QStringLiteral("mine.ped")});
    ASSERT_EQ(s.status, 0) << s.err.toStdString();
    EXPECT_TRUE(s.out.contains(QStringLiteral("12345")));
    EXPECT_TRUE(s.out.contains(QStringLiteral("female")));
    EXPECT_TRUE(s.out.contains(QStringLiteral("06:45:30")));
    EXPECT_TRUE(s.out.contains(QStringLiteral("2024-02-29")));
    EXPECT_TRUE(s.out.contains(QString::number(f.days[1].steps)));
    EXPECT_TRUE(s.out.contains(QString::number(f.days[1].calories, 'f', 1)));

    // The same seed gives the same file.
    ASSERT_EQ(Tool({QStringLiteral("create"), QStringLiteral("again.ped"), QStringLiteral("--id"), QStringLiteral("12345"),
                    QStringLiteral("--sex"), QStringLiteral("female"), QStringLiteral("--height"), QStringLiteral("163"),
                    QStringLiteral("--weight"), QStringLiteral("57"), QStringLiteral("--age"), QStringLiteral("29"),
                    QStringLiteral("--target"), QStringLiteral("380"), QStringLiteral("--alarm"), QStringLiteral("6:45:30"),
                    QStringLiteral("--days"), QStringLiteral("3"), QStringLiteral("--first"), QStringLiteral("2024-02-28"),
                    QStringLiteral("--seed"), QStringLiteral("4")})
                  .status,
              0);
    EXPECT_EQ(ReadFile(QStringLiteral("mine.ped")), ReadFile(QStringLiteral("again.ped")));
}

TEST_F(PedometerToolTest, TheWholeRoadOfAPedometer)
{
    ASSERT_EQ(Tool({QStringLiteral("create"), QStringLiteral("p.ped"), QStringLiteral("--days"), QStringLiteral("5"),
                    QStringLiteral("--first"), QStringLiteral("2024-06-01")})
                  .status,
              0);
    USB_SetPortFolder(Port());
    PortWatcher w;
    ASSERT_EQ(USB_Init(&w, nullptr), 1);

    // A blank pedometer arrives; the program writes a profile into it.
    ASSERT_EQ(Tool({QStringLiteral("plug"), QStringLiteral("p.ped"), QStringLiteral("--port"), Port()}).status, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.messages.size() == 1; }, 30000));
    EXPECT_EQ(w.messages[0].first, WM_DEVICE_BLANK);
    EXPECT_EQ(USB_GetDataCount(), 5);
    EXPECT_EQ(USB_SetID(10002), 1);
    EXPECT_EQ(USB_SetSHW(1, 181, 84, 52, 1), 1);

    const ToolRun list = Tool({QStringLiteral("list"), QStringLiteral("--port"), Port()});
    EXPECT_TRUE(list.out.contains(QStringLiteral("p.ped: ID 10002, 5 days"))) << list.out.toStdString();
    // Plugging the same pedometer twice is refused.
    EXPECT_EQ(Tool({QStringLiteral("plug"), QStringLiteral("p.ped"), QStringLiteral("--port"), Port()}).status, 1);

    // Pulled out: the program hears of it, and the file keeps what the program wrote.
    const ToolRun u = Tool({QStringLiteral("unplug"), QStringLiteral("p.ped"), QStringLiteral("--port"), Port()});
    ASSERT_EQ(u.status, 0) << u.err.toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.messages.size() == 2; }, 30000));
    EXPECT_EQ(w.messages[1].first, WM_DEVICE_REMOVED);
    EXPECT_FALSE(QFile::exists(Port() + QStringLiteral("p.ped")));
    PedometerFile f;
    ASSERT_TRUE(LoadPedometerFile(PathOf(QStringLiteral("p.ped")), f));
    EXPECT_EQ(f.profile.id, 10002);
    EXPECT_EQ(f.profile.height, 181);

    // Plugged in again, it now belongs to a user.
    ASSERT_EQ(Tool({QStringLiteral("clear"), QStringLiteral("p.ped")}).status, 0);
    ASSERT_EQ(Tool({QStringLiteral("set"), QStringLiteral("p.ped"), QStringLiteral("--target"), QStringLiteral("640")}).status, 0);
    ASSERT_EQ(Tool({QStringLiteral("plug"), QStringLiteral("p.ped"), QStringLiteral("--port"), Port()}).status, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.messages.size() == 3; }, 30000));
    EXPECT_EQ(w.messages[2], std::make_pair(WM_DEVICE_ARRIVED, uintptr_t{10002}));
    EXPECT_EQ(USB_GetDataCount(), 0);
    int32_t kcal = 0;
    EXPECT_EQ(USB_GetDayTargetCalorie(kcal), 1);
    EXPECT_EQ(kcal, 640);

    // Discarding leaves the original as it was.
    ASSERT_EQ(USB_SetDayTargetCalorie(100), 1);
    ASSERT_EQ(Tool({QStringLiteral("unplug"), QStringLiteral("p.ped"), QStringLiteral("--port"), Port(), QStringLiteral("--discard")}).status, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.messages.size() == 4; }, 30000));
    ASSERT_TRUE(LoadPedometerFile(PathOf(QStringLiteral("p.ped")), f));
    EXPECT_EQ(f.profile.targetCalories, 640);
}

TEST_F(PedometerToolTest, FillAddsDaysAfterTheLast)
{
    ASSERT_EQ(Tool({QStringLiteral("create"), QStringLiteral("p.ped"), QStringLiteral("--days"), QStringLiteral("2"),
                    QStringLiteral("--first"), QStringLiteral("2024-12-30")})
                  .status,
              0);
    ASSERT_EQ(Tool({QStringLiteral("fill"), QStringLiteral("p.ped"), QStringLiteral("--days"), QStringLiteral("3")}).status, 0);
    PedometerFile f;
    ASSERT_TRUE(LoadPedometerFile(PathOf(QStringLiteral("p.ped")), f));
    ASSERT_EQ(f.days.size(), 5u);
    EXPECT_EQ(OleDateToYmd(f.days[4].date.dt), (Ymd{2025, 1, 3}));
    // Refilling dates it holds replaces them instead of doubling them.
    ASSERT_EQ(Tool({QStringLiteral("fill"), QStringLiteral("p.ped"), QStringLiteral("--days"), QStringLiteral("2"),
                    QStringLiteral("--first"), QStringLiteral("2025-01-02")})
                  .status,
              0);
    ASSERT_TRUE(LoadPedometerFile(PathOf(QStringLiteral("p.ped")), f));
    EXPECT_EQ(f.days.size(), 5u);
}

TEST_F(PedometerToolTest, RefusesBadInputWithoutHarm)
{
    WriteFile(QStringLiteral("junk.ped"), QByteArray("not a pedometer"));
    EXPECT_EQ(Tool({QStringLiteral("show"), QStringLiteral("junk.ped")}).status, 1);
    EXPECT_EQ(Tool({QStringLiteral("plug"), QStringLiteral("junk.ped"), QStringLiteral("--port"), Port()}).status, 1);
    EXPECT_FALSE(QFile::exists(Port() + QStringLiteral("junk.ped")));
    EXPECT_EQ(Tool({QStringLiteral("set"), QStringLiteral("junk.ped"), QStringLiteral("--id"), QStringLiteral("5")}).status, 1);
    EXPECT_EQ(ReadFile(QStringLiteral("junk.ped")), QByteArray("not a pedometer"));

    ASSERT_EQ(Tool({QStringLiteral("create"), QStringLiteral("p.ped"), QStringLiteral("--days"), QStringLiteral("1")}).status, 0);
    const QByteArray before = ReadFile(QStringLiteral("p.ped"));
    EXPECT_EQ(Tool({QStringLiteral("create"), QStringLiteral("p.ped")}).status, 1);  // exists
    EXPECT_EQ(Tool({QStringLiteral("set"), QStringLiteral("p.ped"), QStringLiteral("--alarm"), QStringLiteral("25:00")}).status, 1);
    EXPECT_EQ(Tool({QStringLiteral("set"), QStringLiteral("p.ped"), QStringLiteral("--height"), QStringLiteral("tall")}).status, 2);
    EXPECT_EQ(Tool({QStringLiteral("create"), QStringLiteral("q.ped"), QStringLiteral("--days"), QStringLiteral("1001")}).status, 2);
    EXPECT_EQ(Tool({QStringLiteral("show")}).status, 2);
    EXPECT_EQ(Tool({QStringLiteral("show"), QStringLiteral("p.ped"), QStringLiteral("--bogus")}).status, 2);
    EXPECT_EQ(Tool({QStringLiteral("explode")}).status, 2);
    EXPECT_EQ(Tool({QStringLiteral("unplug"), QStringLiteral("p.ped"), QStringLiteral("--port"), Port()}).status, 1);  // not plugged
    EXPECT_EQ(ReadFile(QStringLiteral("p.ped")), before);
    EXPECT_FALSE(QFile::exists(PathOf(QStringLiteral("q.ped"))));
}

TEST_F(PedometerToolTest, RefusesToGenerateDaysTheProgramWouldNotStore)
{
    const QString tomorrow = QDate::currentDate().addDays(1).toString(Qt::ISODate);
    const ToolRun early = Tool({QStringLiteral("create"), QStringLiteral("p.ped"), QStringLiteral("--first"),
                                QStringLiteral("1999-12-25"), QStringLiteral("--days"), QStringLiteral("10")});
    EXPECT_EQ(early.status, 1);
    EXPECT_TRUE(early.err.contains(QStringLiteral("1999-12-25"))) << early.err.toStdString();
    EXPECT_TRUE(early.err.contains(QStringLiteral("before 2000-01-01"))) << early.err.toStdString();
    const ToolRun future = Tool({QStringLiteral("create"), QStringLiteral("p.ped"), QStringLiteral("--first"), tomorrow});
    EXPECT_EQ(future.status, 1);
    EXPECT_TRUE(future.err.contains(QStringLiteral("future"))) << future.err.toStdString();
    EXPECT_FALSE(QFile::exists(PathOf(QStringLiteral("p.ped"))));

    // Days up to yesterday, then a fill that would run past today: refused, the file unchanged.
    ASSERT_EQ(Tool({QStringLiteral("create"), QStringLiteral("p.ped"), QStringLiteral("--days"), QStringLiteral("3")}).status, 0);
    const QByteArray before = ReadFile(QStringLiteral("p.ped"));
    const ToolRun fill = Tool({QStringLiteral("fill"), QStringLiteral("p.ped"), QStringLiteral("--days"), QStringLiteral("2")});
    EXPECT_EQ(fill.status, 1);
    EXPECT_TRUE(fill.err.contains(tomorrow)) << fill.err.toStdString();
    EXPECT_EQ(ReadFile(QStringLiteral("p.ped")), before);
    // Up to today is fine.
    EXPECT_EQ(Tool({QStringLiteral("fill"), QStringLiteral("p.ped"), QStringLiteral("--days"), QStringLiteral("1")}).status, 0);
}

TEST_F(PedometerToolTest, ShowCountsExerciseAsTheStoreAndMarksDaysItWouldNotStore)
{
    PedometerFile f;
    f.profile.weight = 60;
    DeviceStepRecord day{};
    day.date.dt = OleDateFromYmd(2024, 6, 1);
    for (int s = 0; s < kSlotsPerDay; ++s)
        day.slotKcal[s] = 1.0;
    // Four slots of effort are no exercise; ten are twenty minutes of it.
    for (int s : {100, 101, 102, 103})
        day.slotKcal[s] = 9.0;
    for (int s = 200; s < 210; ++s)
        day.slotKcal[s] = 9.0;
    f.days.push_back(day);
    DeviceStepRecord early = day;
    early.date.dt = OleDateFromYmd(1999, 6, 1);
    DeviceStepRecord tomorrow = day;
    tomorrow.date.dt = TodayOleDate() + 1;
    f.days.push_back(early);
    f.days.push_back(tomorrow);
    ASSERT_TRUE(SavePedometerFile(PathOf(QStringLiteral("p.ped")), f));

    const ToolRun s = Tool({QStringLiteral("show"), QStringLiteral("p.ped")});
    ASSERT_EQ(s.status, 0) << s.err.toStdString();
    StepRecord analysis;
    AnalyseExercise(day, 60, analysis);
    ASSERT_EQ(analysis.effectiveMinutes, 20);
    QStringList lines = s.out.split(QLatin1Char('\n'));
    auto line = [&](const QString& date) {
        for (const QString& l : lines) {
            if (l.trimmed().startsWith(date))
                return l;
        }
        return QString();
    };
    EXPECT_EQ(line(QStringLiteral("2024-06-01")).split(QLatin1Char(' '), Qt::SkipEmptyParts).last(), QStringLiteral("20"));
    EXPECT_TRUE(line(QStringLiteral("1999-06-01")).contains(QStringLiteral("not stored by the program"))) << s.out.toStdString();
    const QString future = line(QString::fromStdString(OleDateText(tomorrow.date.dt)));
    EXPECT_TRUE(future.contains(QStringLiteral("future"))) << s.out.toStdString();
}

TEST_F(PedometerToolTest, HelpExplainsEveryCommand)
{
    const ToolRun h = Tool({QStringLiteral("--help")});
    EXPECT_EQ(h.status, 0);
    for (const char* c : {"create", "fill", "show", "set", "clear", "plug", "unplug", "list", "--seed", "--alarm"})
        EXPECT_TRUE(h.out.contains(QLatin1String(c))) << c;
    const ToolRun one = Tool({QStringLiteral("help"), QStringLiteral("set")});
    EXPECT_EQ(one.status, 0);
    EXPECT_TRUE(one.out.contains(QStringLiteral("--weight")));
    EXPECT_FALSE(one.out.contains(QStringLiteral("unplug")));
}
