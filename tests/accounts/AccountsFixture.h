#pragma once
// A program folder with a real user store, recorded message boxes, device writes and
// main-window hand-overs, for the account pages and dialogs.

#include "accounts/AccountRules.h"
#include "app/MainWindowApi.h"
#include "tests/support/ProgramFolder.h"

#include <QString>
#include <QStringList>

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
    // Checks the newest balloon: error icon, title, text and anchor.
    static void ExpectBalloon(const QString& text, QWidget* target);

    QStringList m_messages;                  // every message box text, in order
    int m_answer = 0;                        // answer to questions (QMessageBox::Yes / No)
    std::vector<std::string> m_deviceCalls;  // device writes, in order, with arguments
    int m_shwResult = 1;
    FakeMainWindow m_main;
};

// Sets a control's text by number (line edits).
void SetText(QWidget* dialog, int id, const QString& text);
QString Text(QWidget* dialog, int id);
