#pragma once
// A program folder with a real user store, recorded message boxes, device writes and
// main-window hand-overs, for the account pages and dialogs.

#include "accounts/AccountRules.h"
#include "core/DeviceLinkApi.h"
#include "core/MainWindowApi.h"
#include "device/ProfileWrite.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/TestDialogs.h"

#include <QString>
#include <QStringList>
#include <QTimer>

#include <string>
#include <vector>

class CBalloonTip;
class QWidget;

struct FakeMainWindow : IMainWindow {
    int calls = 0;
    QString password;
    int number = 0;
    void ShowUserPages(const UserRecord& user, const QString& pw) override;
    void ShowLoginPage() override {}
};

// Stands for the device link: the profile write goes through the real sequence over recorded
// device operations; a created device user replaces the pedometer's record.
struct RecordingDeviceLink : IDeviceLink {
    DeviceWriteOps ops;
    bool WriteProfile(const UserRecord& user) override { return WriteProfileSequence(user, ops); }
    void DeviceUserCreated(const UserRecord& user) override;
};

class AccountsTest : public ProgramFolderTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates a user in the store; returns USER_CreateUser's result.
    int AddUser(int number, const std::string& name, const std::string& password, int rights = 0);
    UserRecord StoredUser(int number);
    bool UserExists(int number);

    // The newest balloon, or null.
    static CBalloonTip* LastBalloon();
    static int BalloonCount();
    // Checks the newest balloon: error icon, title, text and anchor, shown over none of the
    // window's buttons.
    static void ExpectBalloon(const QString& text, QWidget* target);
    // The balloons on show now.
    static int VisibleBalloonCount();

    // From now on message boxes really open; each is answered (Yes, else OK) once it is up,
    // its text recorded in `m_shownBoxes` together with the balloons visible while it was up.
    void AnswerBoxesOnScreen();
    QStringList m_shownBoxes;
    int m_balloonsOverBoxes = 0;

    TestDialogService m_dialogs;             // message boxes recorded and answered (Yes unless told)
    std::vector<std::string> m_deviceCalls;  // device writes, in order, with arguments
    int m_shwResult = 1;
    FakeMainWindow m_main;
    RecordingDeviceLink m_link;

private:
    QTimer m_boxAnswerer;
};

// Shows a window and waits until it is the active window, so the focus and Tab work as on a desktop.
bool ShowActive(QWidget* window);

// Sets a control's text by number (line edits).
void SetText(QWidget* dialog, int id, const QString& text);
QString Text(QWidget* dialog, int id);
