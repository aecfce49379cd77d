#include "app/InstanceGuard.h"

#include "core/StringTable.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QRegularExpression>
#include <QThread>
#include <QWidget>

#include <cerrno>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace {

constexpr int kMaxKeyLength = 40;  // the socket path must stay well inside 108 bytes
constexpr int kRetryMs = 50;

// Makes (or finds) a folder that only this user can use; the empty string when the name is
// taken by something that is not.
QString MakePrivateFolder(const QString& path)
{
    if (path.isEmpty() || !QDir::isAbsolutePath(path))
        return {};
    // mkdir is atomic: either we make it with our mode, or whatever is there is checked.
    if (::mkdir(QFile::encodeName(path).constData(), 0700) != 0 && errno != EEXIST)
        return {};
    return IsPrivateFolder(path) ? QDir::cleanPath(path) : QString();
}

QByteArray ReadLine(QLocalSocket& socket, const QDeadlineTimer& deadline)
{
    while (!socket.canReadLine()) {
        const qint64 left = deadline.remainingTime();
        if (left <= 0 || !socket.waitForReadyRead(int(left)))
            return {};
    }
    return socket.readLine().trimmed();
}

bool IsOwnUser(qintptr descriptor)
{
    const std::optional<unsigned> uid = PeerUid(descriptor);
    return uid && *uid == unsigned(::getuid());
}

}  // namespace

bool IsPrivateFolder(const QString& path)
{
    struct stat st {};
    if (path.isEmpty() || ::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return false;
    return S_ISDIR(st.st_mode) && st.st_uid == ::getuid() && (st.st_mode & 077) == 0;
}

QString PrivateRuntimeFolder(const QProcessEnvironment& env)
{
    const QString runtime = env.value(QStringLiteral("XDG_RUNTIME_DIR"));
    if (QDir::isAbsolutePath(runtime) && IsPrivateFolder(runtime))
        return QDir::cleanPath(runtime);
    const QString own = QStringLiteral("travimo-%1").arg(::getuid());
    QString temp = env.value(QStringLiteral("TMPDIR"));
    if (!QDir::isAbsolutePath(temp))
        temp = QStringLiteral("/tmp");
    if (QString folder = MakePrivateFolder(QDir::cleanPath(temp + QLatin1Char('/') + own)); !folder.isEmpty())
        return folder;
    // Someone else took that name in the shared folder: the user's own cache folder instead.
    QString cache = env.value(QStringLiteral("XDG_CACHE_HOME"));
    if (!QDir::isAbsolutePath(cache) && QDir::isAbsolutePath(env.value(QStringLiteral("HOME"))))
        cache = env.value(QStringLiteral("HOME")) + QStringLiteral("/.cache");
    if (!QDir::isAbsolutePath(cache) || !QDir().mkpath(cache))
        return {};
    return MakePrivateFolder(QDir::cleanPath(cache + QLatin1Char('/') + own));
}

QString SessionKey(const QProcessEnvironment& env)
{
    QString raw;
    const QString wayland = env.value(QStringLiteral("WAYLAND_DISPLAY"));
    QString x11 = env.value(QStringLiteral("DISPLAY"));
    if (!wayland.isEmpty()) {
        raw = QStringLiteral("wayland-") + wayland;
    } else if (!x11.isEmpty()) {
        // ":1.0" and ":1" are the same display.
        static const QRegularExpression screen(QStringLiteral("^(.*:\\d+)\\.\\d+$"));
        if (const QRegularExpressionMatch m = screen.match(x11); m.hasMatch())
            x11 = m.captured(1);
        raw = QStringLiteral("x11-") + x11;
    } else {
        raw = QStringLiteral("console");
    }
    QString key;
    for (const QChar c : raw)
        key += (c.isLetterOrNumber() && c.unicode() < 128) || c == QLatin1Char('.') || c == QLatin1Char('-')
                   ? c
                   : QLatin1Char('_');
    if (key.size() > kMaxKeyLength)
        key = QString::fromLatin1(QCryptographicHash::hash(raw.toUtf8(), QCryptographicHash::Sha256).toHex().left(24));
    return key;
}

QString InstanceGuardName(const QProcessEnvironment& env)
{
    const QString folder = PrivateRuntimeFolder(env);
    if (folder.isEmpty())
        return {};
    // Before any language pack is loaded: the name comes from the built-in table.
    return folder + QLatin1Char('/') + BuiltinStr(102) + QLatin1Char('-') + SessionKey(env);
}

std::optional<unsigned> PeerUid(qintptr socketDescriptor)
{
    if (socketDescriptor < 0)
        return std::nullopt;
#if defined(SO_PEERCRED)
    struct ucred cred {};
    socklen_t length = sizeof cred;
    if (::getsockopt(int(socketDescriptor), SOL_SOCKET, SO_PEERCRED, &cred, &length) != 0 || length != sizeof cred)
        return std::nullopt;
    return unsigned(cred.uid);
#else
    uid_t uid = 0;
    gid_t gid = 0;
    if (::getpeereid(int(socketDescriptor), &uid, &gid) != 0)
        return std::nullopt;
    return unsigned(uid);
#endif
}

GuardAnswer AskRunningCopyToShow(const QString& name, int timeoutMs)
{
    if (name.isEmpty())
        return GuardAnswer::NoOtherCopy;
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(timeoutMs))
        return GuardAnswer::NoOtherCopy;
    // Only a copy run by this user is believed.
    if (!IsOwnUser(socket.socketDescriptor()))
        return GuardAnswer::NoAnswer;
    socket.write("show\n");
    // flush() may already have written everything, and then there is nothing left to wait for.
    socket.flush();
    while (socket.bytesToWrite() > 0) {
        const qint64 left = deadline.remainingTime();
        if (left <= 0 || !socket.waitForBytesWritten(int(left)))
            return GuardAnswer::NoAnswer;
    }
    const QByteArray answer = ReadLine(socket, deadline);
    // "none": the copy lives but has no window to show yet; it is running all the same.
    return answer == "shown" || answer == "none" ? GuardAnswer::Shown : GuardAnswer::NoAnswer;
}

CGuardServer::CGuardServer() = default;

CGuardServer::~CGuardServer() = default;

bool CGuardServer::Listen(const QString& name)
{
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(name)) {
        qWarning("Travimo: cannot listen on %s: %s", qPrintable(name), qPrintable(m_server->errorString()));
        return false;
    }
    connect(m_server.get(), &QLocalServer::newConnection, this, &CGuardServer::OnConnection);
    return true;
}

void CGuardServer::OnConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (!IsOwnUser(socket->socketDescriptor())) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
            if (!socket->canReadLine())
                return;
            const bool show = socket->readLine().trimmed() == "show";
            if (show)
                emit ShowRequested();
            socket->write(show ? "shown\n" : "none\n");
            socket->flush();
            socket->disconnectFromServer();
        });
    }
}

CInstanceGuard::CInstanceGuard(const QString& name, QObject* parent) : QObject(parent), m_name(name) {}

CInstanceGuard::~CInstanceGuard()
{
    // The listening end goes before the lock that protects its name.
    if (m_thread) {
        m_thread->quit();
        m_thread->wait();
    }
    m_lock.reset();
}

CInstanceGuard::Result CInstanceGuard::Take(int waitMs, int answerMs)
{
    if (m_name.isEmpty()) {
        qWarning("Travimo: no private runtime folder; starting without the one-copy guard");
        return Result::First;
    }
    m_lock = std::make_unique<QLockFile>(m_name + QStringLiteral(".lock"));
    // Only a lock whose process has gone is stale, however old it is.
    m_lock->setStaleLockTime(0);
    const QDeadlineTimer deadline(waitMs);
    for (;;) {
        if (m_lock->tryLock(0)) {
            // Nobody else can hold the lock now: a socket left on the name is a dead copy's.
            QLocalServer::removeServer(m_name);
            Listen();
            return Result::First;
        }
        if (m_lock->error() != QLockFile::LockFailedError) {
            qWarning("Travimo: cannot take the one-copy guard %s; starting without it", qPrintable(m_name));
            return Result::First;
        }
        switch (AskRunningCopyToShow(m_name, answerMs)) {
        case GuardAnswer::Shown: return Result::OtherShown;
        case GuardAnswer::NoAnswer: return Result::OtherNotAnswering;
        case GuardAnswer::NoOtherCopy: break;  // it holds the lock but does not listen yet
        }
        if (deadline.hasExpired())
            return Result::OtherNotAnswering;
        QThread::msleep(kRetryMs);
    }
}

bool CInstanceGuard::Listen()
{
    m_thread = std::make_unique<QThread>();
    m_thread->setObjectName(QStringLiteral("instance guard"));
    m_server = new CGuardServer;
    m_server->moveToThread(m_thread.get());
    connect(m_thread.get(), &QThread::finished, m_server, &QObject::deleteLater);
    connect(m_server, &CGuardServer::ShowRequested, this, [] { ShowGuardedWindow(BuiltinStr(102)); },
            Qt::QueuedConnection);
    m_thread->start();
    bool listening = false;
    QMetaObject::invokeMethod(m_server, [this, &listening] { listening = m_server->Listen(m_name); },
                              Qt::BlockingQueuedConnection);
    // When it can't listen, the lock still keeps a second copy out; that one says it can't reach this one.
    return listening;
}

bool CInstanceGuard::ShowGuardedWindow(const QString& propertyName)
{
    const QByteArray prop = propertyName.toUtf8();
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->property(prop.constData()).toInt() != 1)
            continue;
        if (w->isMinimized())
            w->showNormal();
        if (!w->isVisible())
            w->show();
        w->raise();
        w->activateWindow();
        // A dialog open over the window stays in front of it.
        if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != w) {
            modal->raise();
            modal->activateWindow();
        }
        return true;
    }
    return false;
}

