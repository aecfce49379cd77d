#pragma once
// One copy of the program per desktop session. The guard lives in a folder only this user can
// write ($XDG_RUNTIME_DIR, checked for owner and mode), named after the session's display, so
// another account can neither take it nor answer for it, and the same person on two displays
// gets a copy on each. It is taken atomically with a lock file held for the program's life; a
// local socket beside it lets a second copy ask the first to show its window. A peer is
// believed only when the socket's credentials name this user.

#include <QLockFile>
#include <QObject>
#include <QProcessEnvironment>
#include <QString>

#include <memory>
#include <optional>

class QLocalServer;
class QThread;

// A real folder (not a link) owned by this user that nobody else may write or read.
bool IsPrivateFolder(const QString& path);

// The folder the guard lives in: $XDG_RUNTIME_DIR when it is private, else a private folder
// "travimo-<uid>" made in the temp folder or, failing that, in the user's cache folder.
// Empty when there is none.
QString PrivateRuntimeFolder(const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment());

// What tells desktop sessions apart: the Wayland display, else the X display (without its
// screen number), else "console"; only letters, digits, '.', '-' and '_'.
QString SessionKey(const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment());

// The guard's socket path in the runtime folder: "<folder>/<product>-<session key>"; the lock
// file is the same path with ".lock". Empty without a private folder.
QString InstanceGuardName(const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment());

// The user id of the process at the other end of a connected local socket.
std::optional<unsigned> PeerUid(qintptr socketDescriptor);

// Asking a running copy to come to the front.
enum class GuardAnswer {
    NoOtherCopy,  // nobody listens on the name
    Shown,        // the copy answered (it showed its window, or has none to show)
    NoAnswer,     // connected, but no answer in time (the copy is stopped or hangs), or not this user's
};
GuardAnswer AskRunningCopyToShow(const QString& name, int timeoutMs = 3000);

// The first copy's listening end. It lives on a thread of its own, so that a copy busy with
// its start-up (or with a long piece of work) still answers at once; the window is shown by
// the user-interface thread when it gets to it.
class CGuardServer : public QObject {
    Q_OBJECT
public:
    CGuardServer();
    ~CGuardServer() override;
    bool Listen(const QString& name);

signals:
    // Another copy of this user asked for the window.
    void ShowRequested();

private:
    void OnConnection();
    std::unique_ptr<QLocalServer> m_server;
};

class CInstanceGuard : public QObject {
    Q_OBJECT
public:
    enum class Result {
        First,             // this copy holds the guard (or none could be kept: it runs unguarded)
        OtherShown,        // another copy of this session runs and was asked to show itself
        OtherNotAnswering  // another copy of this session lives but can't be reached
    };

    explicit CInstanceGuard(const QString& name, QObject* parent = nullptr);
    ~CInstanceGuard() override;

    // Takes the guard, or asks the copy holding it to show itself. A copy that holds the lock
    // but does not listen yet is waited for up to waitMs; an answer is waited for answerMs.
    Result Take(int waitMs = 5000, int answerMs = 3000);
    bool IsHeld() const { return m_lock && m_lock->isLocked(); }

    // Restores, raises and shows the top-level window carrying the property, and brings a
    // dialog open over it to the front; false when no window carries it.
    static bool ShowGuardedWindow(const QString& propertyName);

private:
    bool Listen();

    QString m_name;
    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<QThread> m_thread;
    CGuardServer* m_server = nullptr;  // lives on m_thread, deleted when it ends
};
