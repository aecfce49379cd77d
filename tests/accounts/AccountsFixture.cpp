#include "tests/accounts/AccountsFixture.h"

#include "core/DlgItem.h"
#include "core/Globals.h"
#include "controls/BalloonTip.h"
#include "external/userdb/UserDb.h"
#include "tests/support/SampleUser.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

void FakeMainWindow::ShowUserPages(const UserRecord& user, const QString& pw)
{
    ++calls;
    password = pw;
    number = user.number;
}

void RecordingDeviceLink::DeviceUserCreated(const UserRecord& user)
{
    if (g_pDeviceUser)
        *g_pDeviceUser = user;
}

void AccountsTest::SetUp()
{
    ProgramFolderTest::SetUp();
    // The connection string the main window builds.
    const std::string connection = "Provider=Microsoft.Jet.OLEDB.4.0;\t\t\t\t\t\tData Source=" +
                                   g_strAppPath.toStdString() +
                                   "User.mdb;Persist Security Info=False;\t\t\t\t\t\t\t\tJet OLEDB:Database Password=508317";
    std::string error;
    ASSERT_EQ(USER_Init(connection, "KX300_User", "KX300_Data", error), 0) << error;

    m_dialogs.boxAnswer = QMessageBox::Yes;
    DeviceWriteOps& ops = m_link.ops;
    ops.setId = [this](int32_t id) {
        m_deviceCalls.push_back("SetID " + std::to_string(id));
        return 1;
    };
    ops.setShw = [this](int32_t sex, int32_t height, int32_t weight, int32_t age, int flag) {
        m_deviceCalls.push_back("SetSHW " + std::to_string(sex) + " " + std::to_string(height) + " " +
                                std::to_string(weight) + " " + std::to_string(age) + " " + std::to_string(flag));
        return m_shwResult;
    };
    ops.setDayTargetCalorie = [this](int32_t kcal) {
        m_deviceCalls.push_back("SetDayTargetCalorie " + std::to_string(kcal));
        return 1;
    };
    ops.setAlarmClock = [this](int32_t h, int32_t m, int32_t s) {
        m_deviceCalls.push_back("SetAlarmClock " + std::to_string(h) + ":" + std::to_string(m) + ":" + std::to_string(s));
        return 1;
    };
    g_pDeviceLink = &m_link;
    g_pMainWindow = &m_main;
}

void AccountsTest::TearDown()
{
    m_boxAnswerer.stop();
    ReleaseLoginUser();
    g_pMainWindow = nullptr;
    g_pDeviceLink = nullptr;
    USER_Term(0, "508317");
    ProgramFolderTest::TearDown();
}

int AccountsTest::AddUser(int number, const std::string& name, const std::string& password, int rights)
{
    UserRecord r = SampleUser(number, name, rights);
    r.targetCalories = 250;
    r.alarm = MakeAlarmTime(7, 15, 0);
    SetRecordPassword(r, PasswordDigestOf(QString::fromStdString(password)));
    return USER_CreateUser(r);
}

UserRecord AccountsTest::StoredUser(int number)
{
    UserRecord r{};
    EXPECT_EQ(USER_GetUser(number, r), 1) << number;
    return r;
}

bool AccountsTest::UserExists(int number)
{
    return USER_NumberIsUnuse(number) == 0;
}

CBalloonTip* AccountsTest::LastBalloon()
{
    const auto all = CBalloonTip::LiveBalloons();
    return all.empty() ? nullptr : all.back();
}

int AccountsTest::BalloonCount()
{
    return static_cast<int>(CBalloonTip::LiveBalloons().size());
}

void AccountsTest::ExpectBalloon(const QString& text, QWidget* target)
{
    CBalloonTip* b = LastBalloon();
    ASSERT_NE(b, nullptr) << "no balloon for " << text.toStdString();
    EXPECT_EQ(b->GetText(), text);
    EXPECT_EQ(b->GetTitle(), QStringLiteral("错误"));
    EXPECT_EQ(b->GetIcon(), 3);
    EXPECT_EQ(b->GetTarget(), target);
    EXPECT_TRUE(b->isVisible());
    if (!target)
        return;
    for (QAbstractButton* button : target->window()->findChildren<QAbstractButton*>()) {
        if (button->isVisible()) {
            EXPECT_FALSE(b->geometry().intersects(QRect(button->mapToGlobal(QPoint(0, 0)), button->size())))
                << "the balloon \"" << text.toStdString() << "\" covers \"" << button->text().toStdString() << "\"";
        }
    }
}

int AccountsTest::VisibleBalloonCount()
{
    int n = 0;
    for (CBalloonTip* b : CBalloonTip::LiveBalloons())
        n += b->isVisible() ? 1 : 0;
    return n;
}

void AccountsTest::AnswerBoxesOnScreen()
{
    m_dialogs.boxAnswer.reset();
    m_boxAnswerer.setInterval(20);
    QObject::connect(&m_boxAnswerer, &QTimer::timeout, [this] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        m_shownBoxes << box->text();
        m_balloonsOverBoxes += VisibleBalloonCount();
        QAbstractButton* answer = box->button(QMessageBox::Yes);
        if (!answer)
            answer = box->button(QMessageBox::Ok);
        answer->click();
    });
    m_boxAnswerer.start();
}

bool ShowActive(QWidget* window)
{
    window->show();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

void SetText(QWidget* dialog, int id, const QString& text)
{
    auto* e = GetDlgItemAs<QLineEdit>(dialog, id);
    ASSERT_NE(e, nullptr) << id;
    e->setText(text);
}

QString Text(QWidget* dialog, int id)
{
    return GetWindowText(GetDlgItem(dialog, id));
}
