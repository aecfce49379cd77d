#include "tests/userpage/UserPageFixture.h"

#include "core/Globals.h"
#include "external/records/WndMessage.h"
#include "external/userdb/UserDb.h"
#include "tests/support/SampleUser.h"

#include <QDate>
#include <QMessageBox>

bool RecordingMainWindow::event(QEvent* e)
{
    if (auto* msg = dynamic_cast<CWndMessage*>(e)) {
        messages.emplace_back(msg->message(), msg->wParam());
        return true;
    }
    return QObject::event(e);
}

void UserPageTest::SetUp()
{
    ProgramFolderTest::SetUp();
    CopyStandardFiles();
    CopyFromBuild(QStringLiteral("Graph.ini"));
    CopyFromBuild(QStringLiteral("Travimo.ini"));  // HomePage=about:blank
    const std::string connection = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + g_strAppPath.toStdString() +
                                   "User.mdb;Persist Security Info=False";
    std::string error;
    ASSERT_EQ(USER_Init(connection, "KX300_User", "KX300_Data", error), 0) << error;
    m_dialogs.boxAnswer = QMessageBox::Ok;
    g_pMainWindow = &m_main;
}

void UserPageTest::TearDown()
{
    // Pages deleted later (a logout) go while the store is still open.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    g_pMainWindow = nullptr;
    USER_Term(0, "508317");
    ProgramFolderTest::TearDown();
}

UserRecord UserPageTest::MakeUser(int number, const char* name, int rights)
{
    UserRecord r = SampleUser(number, name, rights);
    r.targetSteps = 8000;
    r.targetDistance = 5600;
    r.targetCalories = 300;
    return r;
}

void UserPageTest::AddUser(const UserRecord& user)
{
    ASSERT_EQ(USER_CreateUser(user), 1);
}

void UserPageTest::StoreDay(int number, const QDate& date, int steps, double kcal)
{
    DeviceStepRecord r{};
    r.date.dt = OleDateFromYmd(date.year(), date.month(), date.day());
    for (int s = 0; s < kSlotsPerDay; ++s)
        r.slotKcal[s] = kcal / kSlotsPerDay;
    r.calories = kcal;
    r.steps = steps;
    std::string error;
    ASSERT_EQ(USER_InsertData(number, 60, 70, r, error), 1) << error;
}
