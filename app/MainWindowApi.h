#pragma once
// What pages ask of the main window, without depending on it.

#include <QString>

struct UserRecord;

class IMainWindow {
public:
    virtual ~IMainWindow() = default;
    // Replaces the login page by the user pages for the logged-in user (g_pLoginUser).
    virtual void ShowUserPages(const UserRecord& user, const QString& password) = 0;
    // Replaces the user pages by a fresh login page.
    virtual void ShowLoginPage() = 0;
};

// The running main window, or null (tests, start-up).
extern IMainWindow* g_pMainWindow;
