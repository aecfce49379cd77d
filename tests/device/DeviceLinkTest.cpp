// The device link: who owns the pedometer's and the logged-in records, what an arrival and a
// removal change, and its one-shot timers.
#include "accounts/AccountRules.h"
#include "core/Globals.h"
#include "device/DeviceLink.h"
#include "external/userdb/UserDb.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/TestDialogs.h"

#include <gtest/gtest.h>

#include <QTest>

namespace {

class DeviceLinkTest : public ProgramFolderTest {
protected:
    void SetUp() override
    {
        ProgramFolderTest::SetUp();
        std::string error;
        ASSERT_EQ(USER_Init("Data Source=" + Dir().toStdString() + "User.mdb;", "KX300_User", "KX300_Data", error), 0)
            << error;
        UserRecord lily{};
        lily.number = 10002;
        SetRecordName(lily, "Lily");
        lily.weight = 55;
        ASSERT_EQ(USER_CreateUser(lily), 1);
        m_dialogs.runDialog = [](QDialog&) { return 2; };
    }
    void TearDown() override
    {
        USER_Term(0, "508317");
        ProgramFolderTest::TearDown();
    }
    TestDialogService m_dialogs;
};

TEST_F(DeviceLinkTest, APedometerLoginGetsItsOwnRecordThatOutlivesThePedometer)
{
    CDeviceLink link;
    link.OnDeviceArrived(10001);
    ASSERT_NE(g_pDeviceUser, nullptr);
    EXPECT_EQ(link.DeviceNumber(), 10001);
    ASSERT_EQ(link.LoginAsDeviceUser(), 1);
    ASSERT_NE(g_pLoginUser, nullptr);
    EXPECT_NE(g_pLoginUser, g_pDeviceUser);
    EXPECT_EQ(g_pLoginUser->number, 10001);

    // The next pedometer does not become the logged-in user.
    link.OnDeviceArrived(10002);
    EXPECT_EQ(g_pDeviceUser->number, 10002);
    EXPECT_EQ(g_pLoginUser->number, 10001);

    // Pulled out: the pedometer's record is gone, the logged-in one stays whole.
    link.OnDeviceRemoved();
    EXPECT_EQ(g_pDeviceUser, nullptr);
    EXPECT_EQ(link.DeviceNumber(), 0);
    ASSERT_NE(g_pLoginUser, nullptr);
    EXPECT_EQ(RecordName(*g_pLoginUser), "Admin");

    // A failed attempt afterwards releases the logged-in record (and only that one).
    EXPECT_NE(LoginAttempt("nobody", ""), 1);
    EXPECT_EQ(g_pLoginUser, nullptr);
}

TEST_F(DeviceLinkTest, UnknownAndBlankPedometersAndTheirRemoval)
{
    CDeviceLink link;
    link.OnDeviceArrived(424242);
    ASSERT_NE(g_pDeviceUser, nullptr);
    EXPECT_EQ(g_pDeviceUser->number, 424242);
    EXPECT_TRUE(link.NewUserPending());
    link.OnBalloonClicked();
    EXPECT_FALSE(link.NewUserPending());
    EXPECT_EQ(link.LoginAsDeviceUser(), USER_ERR_NO_USER);  // nobody to log in as
    EXPECT_EQ(g_pLoginUser, nullptr);

    link.OnDeviceBlank();
    EXPECT_EQ(g_pDeviceUser->number, kBlankDeviceId);
    EXPECT_EQ(link.DeviceNumber(), 424242);  // a blank pedometer does not change the number
    link.OnDeviceRemoved();
    EXPECT_EQ(g_pDeviceUser, nullptr);
    EXPECT_FALSE(link.NewUserPending());
}

// Counts the timers that fire.
class CountingLink : public CDeviceLink {
public:
    std::vector<int> fired;

protected:
    void OnTimer(int id) override
    {
        fired.push_back(id);
        CDeviceLink::OnTimer(id);
    }
};

TEST_F(DeviceLinkTest, TimersAreRestartedNeverStackedAndFireOnce)
{
    CountingLink link;
    link.RestartTimer(kTimerDeviceFound, 40);
    link.RestartTimer(kTimerDeviceFound, 40);
    link.RestartTimer(kTimerCreateUserForDevice, 10);
    link.RestartTimer(kTimerHideBalloon, 10);
    ASSERT_TRUE(QTest::qWaitFor([&] { return link.fired.size() == 3; }, 2000));
    QTest::qWait(120);
    EXPECT_FALSE(link.IsTimerActive(kTimerDeviceFound));
    EXPECT_FALSE(link.IsTimerActive(kTimerHideBalloon));
    ASSERT_EQ(link.fired.size(), 3u);
    EXPECT_EQ(link.fired.back(), kTimerDeviceFound);
}

}  // namespace
