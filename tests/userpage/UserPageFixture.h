#pragma once
// A program folder with the built skin, a user store and a recording main window, for the
// user page's tests.

#include "core/MainWindowApi.h"
#include "external/records/Records.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/TestDialogs.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <vector>

// Stands for the main window: records logouts and the window messages posted to it.
class RecordingMainWindow : public QObject, public IMainWindow {
public:
    int logouts = 0;
    std::vector<std::pair<int, uintptr_t>> messages;
    std::function<void()> onLogout;
    void ShowUserPages(const UserRecord&, const QString&) override {}
    void ShowLoginPage() override
    {
        ++logouts;
        if (onLogout)
            onLogout();
    }

protected:
    bool event(QEvent* e) override;
};

class UserPageTest : public ProgramFolderTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // A user with targets 8000 steps, 5600 m, 300 kcal and stride 70.
    static UserRecord MakeUser(int number, const char* name, int rights = 0);
    void AddUser(const UserRecord& user);
    // Stores one day (steps, kcal spread over the slots) for a user.
    void StoreDay(int number, const QDate& date, int steps, double kcal);

    TestDialogService m_dialogs;
    RecordingMainWindow m_main;
};
