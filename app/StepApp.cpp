#include "app/StepApp.h"

#include "core/Globals.h"
#include "app/MainDlg.h"
#include "core/StringTable.h"
#include "core/SkinSections.h"
#include "external/skin/Skin.h"

#include <QApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QWidget>

#include <unistd.h>

QString InstanceGuardName()
{
    // Before any language pack is loaded: the name comes from the built-in table.
    return BuiltinStr(102) + QLatin1Char('-') + QString::number(::getuid());
}

GuardAnswer AskRunningCopyToShow(const QString& name, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(timeoutMs))
        return GuardAnswer::NoOtherCopy;
    socket.write("show\n");
    // flush() may already have written everything, and then there is nothing left to wait for.
    socket.flush();
    if (socket.bytesToWrite() > 0 && !socket.waitForBytesWritten(timeoutMs))
        return GuardAnswer::NoOtherCopy;
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(timeoutMs))
            return GuardAnswer::NoOtherCopy;  // a copy that does not answer counts as gone
    }
    const QByteArray answer = socket.readLine().trimmed();
    return answer == "shown" ? GuardAnswer::Shown : GuardAnswer::NoWindow;
}

CInstanceGuard::CInstanceGuard(const QString& name, QObject* parent) : QObject(parent), m_name(name) {}

CInstanceGuard::~CInstanceGuard() = default;

bool CInstanceGuard::Listen()
{
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_name)) {
        // Nobody answered on the name (checked by the caller): it is left over from a copy that died.
        QLocalServer::removeServer(m_name);
        if (!m_server->listen(m_name))
            return false;
    }
    connect(m_server.get(), &QLocalServer::newConnection, this, &CInstanceGuard::OnConnection);
    return true;
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
        return true;
    }
    return false;
}

void CInstanceGuard::OnConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, socket, [socket] {
            if (!socket->canReadLine())
                return;
            const QByteArray request = socket->readLine().trimmed();
            const bool shown = request == "show" && ShowGuardedWindow(BuiltinStr(102));
            socket->write(shown ? "shown\n" : "none\n");
            socket->flush();
            socket->disconnectFromServer();
        });
    }
}

bool CStepApp::InitInstance()
{
    const QString name = InstanceGuardName();
    const GuardAnswer answer = AskRunningCopyToShow(name);
    if (answer == GuardAnswer::Shown)
        return false;
    if (answer == GuardAnswer::NoOtherCopy) {
        m_guard = std::make_unique<CInstanceGuard>(name);
        m_guard->Listen();
    }
    // A copy without a guarded window: start as a full copy of our own, without a guard.

    SetProgramPaths(QCoreApplication::applicationFilePath());
    EnsureDataFolder();  // where it can't be made, opening the store says so
    LoadStartupLanguage();
    ReadProgramIni();
    QApplication::setWindowIcon(LoadIconFile(ReadWindowSkin(SkinFolder()).icon));
    return true;
}

int CStepApp::ExitInstance()
{
    WS_FreeSkin();
    m_guard.reset();
    return 0;
}

int CStepApp::Run()
{
    if (!InitInstance())
        return 0;
    {
        CMainDlg dlg;
        dlg.DoModal();
    }
    return ExitInstance();
}
