#pragma once
// What pages and the device link ask of the main window, without depending on it.

#include <QString>

class QIcon;
struct UserRecord;

class IMainWindow {
public:
    virtual ~IMainWindow() = default;
    // Replaces the login page by the user pages for the logged-in user (g_pLoginUser).
    virtual void ShowUserPages(const UserRecord& user, const QString& password) = 0;
    // Replaces the user pages by a fresh login page.
    virtual void ShowLoginPage() = 0;

    // Whether the logged-in user page is shown now.
    virtual bool HasUserPage() const { return false; }
    // The notification-area icon: whether it exists, its image, and a balloon (information
    // icon; an empty title and text take a shown balloon away).
    virtual bool HasTrayIcon() const { return false; }
    virtual void SetTrayImage(const QIcon&) {}
    virtual void ShowTrayBalloon(const QString& /*title*/, const QString& /*text*/, int /*timeoutMs*/) {}
    // Asks the user page to open its create-user dialog for the connected blank pedometer.
    virtual void CreateUserForDevice() {}
};

// The running main window, or null (tests, start-up).
extern IMainWindow* g_pMainWindow;
