#pragma once
// The application object: single-instance guard, program paths, language, skin
// name, and the modal run of the main window.

#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;

// The guard's name: the product name (built-in string 102) and the user id, so that
// each user of the computer has a copy of their own.
QString InstanceGuardName();

// Result of asking a running copy to come to the front.
enum class GuardAnswer { NoOtherCopy, Shown, NoWindow };

// Connects to a running copy (if any) and asks it to restore, raise and show its window.
GuardAnswer AskRunningCopyToShow(const QString& name, int timeoutMs = 3000);

// The first copy's side: listens under the name and shows the window that carries the
// product-name property whenever another copy asks. A stale name is removed first.
class CInstanceGuard : public QObject {
    Q_OBJECT
public:
    explicit CInstanceGuard(const QString& name, QObject* parent = nullptr);
    ~CInstanceGuard() override;
    bool Listen();
    // Restores, raises and shows the top-level window carrying the property; false when none does.
    static bool ShowGuardedWindow(const QString& propertyName);

private:
    void OnConnection();
    QString m_name;
    std::unique_ptr<QLocalServer> m_server;
};

class CStepApp {
public:
    CStepApp() = default;
    CStepApp(const CStepApp&) = delete;
    CStepApp& operator=(const CStepApp&) = delete;

    // Start-up, modal main window, clean-up; returns the process exit status.
    int Run();

    // Everything before the main window: false means this copy ends (another copy was shown).
    bool InitInstance();
    int ExitInstance();

private:
    std::unique_ptr<CInstanceGuard> m_guard;
};
