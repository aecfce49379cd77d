#pragma once
// The chart page over a real user store in a test's own program folder: a user 10002 "小明"
// of 60 kg, days stored through the store, the page opened at 868 × 500.
#include "charts/DayDetailDlg.h"
#include "tests/charts/ChartTestHost.h"
#include "tests/support/ProgramFolder.h"

#include "core/Globals.h"
#include "controls/SkinListCtrl.h"
#include "external/usb/Generator.h"
#include "external/userdb/UserDb.h"

#include <gtest/gtest.h>

#include <QDateEdit>
#include <QTest>

#include <memory>

inline constexpr int kUser = 10002;
inline constexpr int kWeight = 60;

// A quiet day (resting energy only) with one effective exercise of the given slots.
inline DeviceStepRecord QuietDay(int y, int m, int d, int firstSlot = -1, int slotCount = 0, double kcal = 9.0)
{
    DeviceStepRecord r{};
    r.date.dt = OleDateFromYmd(y, m, d);
    double total = 0;
    for (int s = 0; s < kSlotsPerDay; ++s) {
        r.slotKcal[s] = (s >= firstSlot && s < firstSlot + slotCount) ? kcal : 2.0;
        total += r.slotKcal[s];
    }
    r.calories = total;
    r.steps = 1000;
    return r;
}

class DayDetailTest : public ProgramFolderTest {
protected:
    void SetUp() override
    {
        ProgramFolderTest::SetUp();
        const std::string connection = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + g_strAppPath.toStdString() +
                                       "User.mdb;Persist Security Info=False";
        std::string error;
        ASSERT_EQ(USER_Init(connection, "KX300_User", "KX300_Data", error), 0) << error;
        user = MakeUser(kUser, "小明", kWeight);
        ASSERT_EQ(USER_CreateUser(user), 1);
    }

    void TearDown() override
    {
        page.reset();
        USER_Term(0, "508317");
        ProgramFolderTest::TearDown();
    }

    static UserRecord MakeUser(int number, const std::string& name, int weight)
    {
        UserRecord r{};
        r.number = number;
        SetRecordName(r, name);
        r.sex = 1;
        r.age = 30;
        r.weight = weight;
        r.height = 170;
        r.stride = 70;
        return r;
    }

    void Store(const DeviceStepRecord& day, int number = kUser)
    {
        std::string error;
        ASSERT_EQ(USER_InsertData(number, kWeight, 70, day, error), 1) << error;
    }

    void StoreGenerated(int y, int m, int d, int count)
    {
        for (const auto& day : GenerateDays(y, m, d, count, kWeight, 7))
            Store(day);
    }

    void OpenPage(int w = 868, int h = 500)
    {
        page = std::make_unique<CDayDetailDlg>();
        page->SetUser(user);
        page->resize(w, h);
        page->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(page.get()));
        ASSERT_TRUE(page->IsCreated());
    }

    // A date as the user picks it in the picker.
    void Pick(const QDate& d) { page->GetDatePicker()->setDate(d); }

    QStringList RowDates() const
    {
        QStringList out;
        for (int r = 0; r < page->GetDayList()->GetItemCount(); ++r)
            out << page->GetDayList()->GetItemText(r, 0);
        return out;
    }

    QDate SelectedDate() const
    {
        const StepRecord* s = page->GetSelectedDay();
        if (!s)
            return {};
        const Ymd d = OleDateToYmd(s->day.date.dt);
        return QDate(d.year, d.month, d.day);
    }

    UserRecord user{};
    std::unique_ptr<CDayDetailDlg> page;
};

