// The synchronisation dialog both ways, the progress window, the import's counts and texts, and
// how every device dialog looks in both languages.
#include "accounts/AccountRules.h"
#include "core/DlgItem.h"
#include "core/Globals.h"
#include "core/StringTable.h"
#include "device/DeviceFoundDlg.h"
#include "device/DeviceImport.h"
#include "device/DeviceProgress.h"
#include "device/ReadDataDlg.h"
#include "device/ReadProgressDlg.h"
#include "device/SyncDlg.h"
#include "external/usb/Generator.h"
#include "external/userdb/UserDb.h"
#include "res/resource.h"
#include "tests/device/DeviceFixture.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

namespace {

QString Text(QWidget* dlg, int id)
{
    return GetWindowText(GetDlgItem(dlg, id));
}

int ComboIndex(QWidget* dlg, int id)
{
    return GetDlgItemAs<QComboBox>(dlg, id)->currentIndex();
}

}  // namespace

TEST(SyncRules, AlarmTextRoundTripAndTheSharedStrideRule)
{
    EXPECT_EQ(AlarmText(7, 5, 9), QStringLiteral("07:05:09"));
    EXPECT_EQ(AlarmText(23, 59, 0), QStringLiteral("23:59:00"));
    EXPECT_EQ(AlarmText(123, 0, 0), QStringLiteral("23:00:00"));  // each part cut to two characters
    EXPECT_EQ(AlarmFromText(QStringLiteral("07:05:09")), MakeAlarmTime(7, 5, 9));

    UserRecord r{};
    r.number = 20002;
    r.rights = 1;
    for (int height : {150, 160, 170, 200}) {
        for (int sexIndex : {0, 1}) {
            const UserRecord s = SyncedFromPedometer(r, PedometerSide{sexIndex, height, 50, 30, 200, "06:00:00"});
            EXPECT_EQ(s.stride, SuggestStride(height, sexIndex)) << height << " " << sexIndex;
            EXPECT_EQ(s.sex, sexIndex == 0 ? 1 : 0);
            EXPECT_EQ(s.rights, 1);  // what the pedometer does not hold is kept
        }
    }
    EXPECT_EQ(SyncedFromPedometer(r, PedometerSide{1, 160, 50, 30, 200, "06:00:00"}).stride, 66);
    EXPECT_EQ(SyncedFromPedometer(r, PedometerSide{0, 170, 50, 30, 200, "06:00:00"}).stride, 70);
    EXPECT_EQ(SyncedFromPedometer(r, PedometerSide{0, 200, 50, 30, 200, "06:00:00"}).stride, 83);  // male 0.415
    EXPECT_EQ(SyncedFromPedometer(r, PedometerSide{1, 200, 50, 30, 200, "06:00:00"}).stride, 82);  // female 0.413
}

TEST_F(DeviceTest, SyncFromThePedometerStoresItsProfileOnTheComputer)
{
    AddUser(20002, "Lily", 2, 150, 48);
    StartDevices();
    Plug(Pedometer(20002, 1));  // female, 160 cm, 55 kg, 28 years, 320 kcal, alarm 07:05:09
    ASSERT_TRUE(WaitForArrival());
    m_link->KillTimer(kTimerDeviceFound);
    OnDialog<CSyncDlg>([&](CSyncDlg& dlg) {
        return ExecWith(dlg, [&] {
            EXPECT_EQ(Text(&dlg, IDC_PC_ALARM), QStringLiteral("19:30:00"));
            EXPECT_EQ(Text(&dlg, IDC_DEV_ALARM), QStringLiteral("07:05:09"));
            EXPECT_EQ(Text(&dlg, IDC_DEV_NUMBER), QStringLiteral("20002"));
            EXPECT_EQ(Text(&dlg, IDC_DEV_HEIGHT), QStringLiteral("160"));
            EXPECT_EQ(ComboIndex(&dlg, IDC_DEV_SEX), 1);
            EXPECT_FALSE(GetDlgItem(&dlg, IDC_DEV_SEX)->isEnabled());
            ClickItem(&dlg, IDC_SYNC_TO_COMPUTER);
            ClickItem(&dlg, IDOK);
            EXPECT_EQ(dlg.Direction(), 1);
            EXPECT_EQ(Text(&dlg, IDC_PC_ALARM), QStringLiteral("07:05:09"));
            EXPECT_EQ(Text(&dlg, IDC_PC_HEIGHT), QStringLiteral("160"));
            EXPECT_EQ(Text(&dlg, IDC_PC_WEIGHT), QStringLiteral("55"));
            EXPECT_TRUE(GetDlgItem(&dlg, IDOK)->isEnabled());
            dlg.reject();
        });
    });
    EXPECT_TRUE(m_link->CarryOut(kFoundSync, true, nullptr));
    EXPECT_EQ(m_dialogs.messages, QStringList{"同步资料成功."});
    UserRecord stored{};
    ASSERT_EQ(USER_GetUser(20002, stored), 1);
    EXPECT_EQ(stored.alarm, MakeAlarmTime(7, 5, 9));
    EXPECT_EQ(stored.stride, 66);
    EXPECT_EQ(stored.sex, 0);
    EXPECT_EQ(stored.age, 28);
    EXPECT_EQ(stored.targetCalories, 320);
    EXPECT_EQ(g_pDeviceUser->stride, 66);  // the pedometer's record agrees with the store
}

TEST_F(DeviceTest, SyncToThePedometerWritesAllButTheNumberAndAFailedWriteChangesNothing)
{
    AddUser(20002, "Lily", 2, 150, 48);
    StartDevices();
    Plug(Pedometer(20002, 1));
    ASSERT_TRUE(WaitForArrival());
    m_link->KillTimer(kTimerDeviceFound);
    OnDialog<CSyncDlg>([&](CSyncDlg& dlg) {
        return ExecWith(dlg, [&] {
            // The pedometer does not take a weight of 600 kg: no message, nothing shown changes.
            g_pDeviceUser->weight = 600;
            ClickItem(&dlg, IDOK);
            EXPECT_TRUE(m_dialogs.messages.isEmpty());
            EXPECT_EQ(Text(&dlg, IDC_DEV_WEIGHT), QStringLiteral("55"));
            EXPECT_EQ(Text(&dlg, IDC_DEV_ALARM), QStringLiteral("07:05:09"));
            EXPECT_TRUE(GetDlgItem(&dlg, IDOK)->isEnabled());

            g_pDeviceUser->weight = 48;
            ClickItem(&dlg, IDOK);
            EXPECT_EQ(m_dialogs.messages, QStringList{"同步资料成功."});
            EXPECT_EQ(Text(&dlg, IDC_DEV_WEIGHT), QStringLiteral("48"));
            EXPECT_EQ(Text(&dlg, IDC_DEV_HEIGHT), QStringLiteral("150"));
            EXPECT_EQ(Text(&dlg, IDC_DEV_ALARM), QStringLiteral("19:30:00"));
            EXPECT_EQ(ComboIndex(&dlg, IDC_DEV_SEX), 1);
            dlg.reject();
        });
    });
    m_link->CarryOut(kFoundSync, true, nullptr);
    const PedometerProfile p = OnDisk().profile;
    EXPECT_EQ(p.id, 20002);
    EXPECT_EQ(p.sex, 0);  // sex 2 goes into the pedometer as 0
    EXPECT_EQ(p.height, 150);
    EXPECT_EQ(p.weight, 48);
    EXPECT_EQ(p.targetCalories, 250);
    EXPECT_EQ(std::tuple(p.alarmHour, p.alarmMinute, p.alarmSecond), std::tuple(19, 30, 0));
}

TEST_F(DeviceTest, ImportCountsTellNewUpdatedUnchangedAndRefusedDays)
{
    AddUser(20002, "Lily");
    UserRecord lily{};
    ASSERT_EQ(USER_GetUser(20002, lily), 1);
    std::vector<DeviceStepRecord> days = GenerateDays(2024, 5, 1, 3, 60, 9);
    DeviceStepRecord partial = days[0];
    partial.steps /= 2;
    partial.calories /= 2;
    std::string error;
    ASSERT_EQ(USER_InsertData(20002, 60, 70, partial, error), 1);
    ASSERT_EQ(USER_InsertData(20002, 60, 70, days[1], error), 1);
    DeviceStepRecord bad = days[2];
    bad.date.dt = OleDateFromYmd(1990, 1, 1);
    const ImportCounts counts = ImportDays(lily, {&days[0], &days[1], &days[2], &bad, &partial});
    EXPECT_EQ(counts, (ImportCounts{1, 1, 2, 1}));  // new, updated, unchanged (same and stale), refused

    EXPECT_EQ(DaysLostByErasing(&lily, {&days[0], &bad}), 1);
    EXPECT_EQ(DaysLostByErasing(nullptr, {&days[0], &days[1]}), 2);
    UserRecord blank{};
    blank.number = kBlankDeviceId;
    EXPECT_EQ(DaysLostByErasing(&blank, {&days[0]}), 1);
}

TEST_F(DeviceTest, ImportSummaryInBothLanguages)
{
    EXPECT_EQ(ImportSummary({3, 1, 0, 0}), QStringLiteral("新增 3 天，更新 1 天"));
    EXPECT_EQ(ImportSummary({0, 0, 5, 0}), QStringLiteral("没有新数据"));
    EXPECT_EQ(ImportSummary({1, 0, 0, 2}), QStringLiteral("新增 1 天，更新 0 天，2 天未能保存"));
    const auto english = CLanguagePack::Load(PathOf(QStringLiteral("Language/English.lng")));
    ASSERT_NE(english, nullptr);
    g_hLangRes = english.get();
    EXPECT_EQ(ImportSummary({3, 1, 0, 0}), QStringLiteral("3 new day(s), 1 updated"));
    EXPECT_EQ(ImportSummary({0, 0, 0, 0}), QStringLiteral("No new data"));
    EXPECT_EQ(ImportSummary({0, 2, 1, 4}), QStringLiteral("0 new day(s), 2 updated, 4 not stored"));
    g_hLangRes = nullptr;
}

TEST_F(DeviceTest, ProgressWindowFollowsTheTransferAndHidesWhenComplete)
{
    EXPECT_EQ(ProgressPercent(0, 0), 0);
    EXPECT_EQ(ProgressPercent(1, 3), 33);
    EXPECT_EQ(ProgressPercent(999, 1000), 99);

    ClearDeviceProgress();
    UsbProgressCallback(10, 3, 20002);
    CReadDataDlg read;
    read.show();
    CReadProgressDlg* p = read.ProgressWindow();
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(p->IsTimerActive());
    EXPECT_FALSE(p->isVisible());
    p->OnTimer();
    EXPECT_TRUE(p->isVisible());
    EXPECT_TRUE(p->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(p->windowTitle(), QStringLiteral("正在读取数据(3/10)..."));
    EXPECT_EQ(Text(p, IDC_PROGRESS_TEXT), QStringLiteral("正在读取数据(20002, 3/10)..."));
    EXPECT_EQ(GetDlgItemAs<QProgressBar>(p, IDC_PROGRESS_BAR)->value(), 30);
    UsbProgressCallback(10, 10, 20002);
    p->OnTimer();
    EXPECT_FALSE(p->isVisible());
    EXPECT_FALSE(p->IsTimerActive());
    EXPECT_EQ(UsbProgressCallback(10, 4, 1), 0);
    EXPECT_TRUE(g_bUsbComplete.load());  // the callback never clears completion
}

// Every text fits its control and every control a person can reach has a name, in both languages.
TEST_F(DeviceTest, DialogsLookFinishedInBothLanguages)
{
    AddUser(20002, "<b>Li</b>");
    StartDevices();
    Plug(Pedometer(20002, 4));
    ASSERT_TRUE(WaitForArrival());
    m_link->KillTimer(kTimerDeviceFound);
    const auto english = CLanguagePack::Load(PathOf(QStringLiteral("Language/English.lng")));
    ASSERT_NE(english, nullptr);
    for (const CLanguagePack* pack : std::initializer_list<const CLanguagePack*>{nullptr, english.get()}) {
        g_hLangRes = pack;
        CDeviceFoundDlg found;
        found.SetFromArrival(1);
        CReadDataDlg read;
        CSyncDlg sync;
        sync.SetRecord(g_pDeviceUser);
        CReadProgressDlg progress;
        for (QDialog* dlg : std::initializer_list<QDialog*>{&found, &read, &sync, &progress}) {
            SCOPED_TRACE(std::string(dlg->metaObject()->className()) + (pack ? " English" : " Chinese"));
            dlg->show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(dlg));
            if (dlg == &read) {
                ASSERT_TRUE(QTest::qWaitFor([&] { return read.List()->topLevelItemCount() == 4; }, 5000));
            }
            for (QWidget* w : dlg->findChildren<QWidget*>()) {
                if (!w->isVisible())
                    continue;
                if (qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w)) {
                    EXPECT_GE(w->width(), w->sizeHint().width()) << GetWindowText(w).toStdString();
                }
                if (w->focusPolicy() != Qt::NoFocus && !qobject_cast<QAbstractButton*>(w) && w->parentWidget() == dlg) {
                    EXPECT_FALSE(w->accessibleName().isEmpty()) << w->metaObject()->className() << CtrlId(w);
                }
            }
            QHeaderView* header = read.List()->header();
            for (int c = 0; c < read.List()->columnCount() && dlg == &read; ++c) {
                if (kReadColumns[c].width > 0) {
                    EXPECT_GE(header->sectionSize(c), header->sectionSizeHint(c)) << c;
                }
            }
            dlg->hide();
        }
        // A user's name is shown as typed, never as markup.
        auto* name = GetDlgItemAs<QLabel>(&found, IDC_DEVICE_NAME);
        EXPECT_EQ(name->textFormat(), Qt::PlainText);
        EXPECT_TRUE(name->text().endsWith(QStringLiteral("<b>Li</b>")));
        EXPECT_EQ(read.List()->topLevelItem(0)->text(2), QStringLiteral("<b>Li</b>"));
    }
    g_hLangRes = nullptr;
}
