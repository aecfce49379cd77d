#include "app/MainDlg.h"

#include "app/AboutDlg.h"
#include "app/StoreRecovery.h"
#include "app/Placement.h"
#include "core/DialogService.h"
#include "core/Timings.h"
#include "device/DeviceLink.h"
#include "device/DeviceProgress.h"
#include "core/DlgItem.h"
#include "core/Globals.h"
#include "app/Pages.h"
#include "core/StoreText.h"
#include "core/StringTable.h"
#include "core/SkinSections.h"
#include "external/records/WndMessage.h"
#include "external/skin/Skin.h"
#include "external/usb/Usb.h"
#include "external/userdb/UserDb.h"
#include "res/resource.h"
#include "userpage/UserPage.h"

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPropertyAnimation>
#include <QRubberBand>
#include <QScreen>
#include <QThread>
#include <QTimerEvent>

#include <memory>

namespace {
constexpr int kTrayAnimationMs = 200;
constexpr int kBalloonMs = 10000;
constexpr QSize kUserPageSize(868, 500);
constexpr QSize kUserMinimumSize(530, 480);
}  // namespace

QRect TrayAnimationRect(const QRect& from, const QRect& to, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    auto mix = [t](int a, int b) { return a + static_cast<int>(std::lround((b - a) * t)); };
    return QRect(QPoint(mix(from.left(), to.left()), mix(from.top(), to.top())),
                 QPoint(mix(from.right(), to.right()), mix(from.bottom(), to.bottom())));
}

QString UserConnectionString(const QString& appPath)
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;") + QString(6, QLatin1Char('\t')) +
           QStringLiteral("Data Source=%1User.mdb;Persist Security Info=False;").arg(appPath) +
           QString(8, QLatin1Char('\t')) + QStringLiteral("Jet OLEDB:Database Password=508317");
}

CMainDlg::CMainDlg(QWidget* parent) : QDialog(parent), m_deviceLink(std::make_unique<CDeviceLink>())
{
    SetCtrlId(this, IDD_MAIN);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    // A second copy finds this window by the product-name property.
    setProperty(BuiltinStr(102).toUtf8().constData(), 1);
    g_pMainWindow = this;
}

CMainDlg::~CMainDlg()
{
    DestroyWindow();
    PostNcDestroy();
    if (g_pMainWindow == this)
        g_pMainWindow = nullptr;
}

int CMainDlg::DoModal()
{
    if (m_loop || m_destroyed)
        return -1;
    QEventLoop loop;
    m_loop = &loop;
    show();
    const int result = loop.exec(QEventLoop::DialogExec);
    m_loop = nullptr;
    QDialog::setVisible(false);
    DestroyWindow();
    PostNcDestroy();
    return result;
}

void CMainDlg::EndDialog(int result)
{
    setResult(result);
    QDialog::setVisible(false);
    if (m_loop)
        m_loop->exit(result);
}

void CMainDlg::setVisible(bool visible)
{
    if (visible && !m_initDone) {
        m_initDone = true;
        if (!OnInitDialog()) {
            // The window stays hidden: the error box is all there is, and closing it ends the program.
            QMetaObject::invokeMethod(this, [this] {
                // No parent: the hidden window would place the box at its never-shown position.
                DialogService().MessageBox(nullptr, QStringLiteral("Error: %1").arg(m_initError), QMessageBox::Ok,
                                           QMessageBox::Critical, QMessageBox::Ok);
                EndDialog(IDCANCEL);
            }, Qt::QueuedConnection);
            return;
        }
        QDialog::setVisible(true);
        // The picture fades in, and only then is it held for its full time.
        Fade(true, [this] {
            if (!m_destroyed)
                m_startupTimer.start(std::max(0, Timings().startupPicture), this);
        });
        return;
    }
    if (visible && m_initFailed)
        return;
    QDialog::setVisible(visible);
}

bool CMainDlg::OnInitDialog()
{
    std::string error;
    const QString connection = UserConnectionString(DataFolder());
    int result = USER_Init(connection.toStdString(), "KX300_User", "KX300_Data", error);
    if (result != 0) {
        // A damaged or missing store is never replaced silently: a good copy is offered first.
        QString restoreError;
        if (OfferRestoreAtStart(result, connection, StoreErrorText(result), restoreError))
            result = USER_Init(connection.toStdString(), "KX300_User", "KX300_Data", error);
        if (result != 0) {
            m_initFailed = true;
            m_initError = restoreError.isEmpty() ? StoreErrorText(result) : restoreError;
            return false;
        }
    }

    // During the start-up picture the window is a bare rectangle without taskbar button.
    m_savedFlags = windowFlags();
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    const WindowSkinSettings skin = ReadWindowSkin(SkinFolder());
    ApplyWindowSkin(this, skin);
    WS_SetStyle(this, 0);
    setWindowIcon(LoadIconFile(skin.icon));
    m_missingSkinPieces = MissingSkinPieces();
    if (!m_missingSkinPieces.isEmpty())
        qWarning("Travimo: the skin \"%s\" lacks or cannot read %s; the built-in skin stands in",
                 qPrintable(g_strSkinName), qPrintable(m_missingSkinPieces.join(QStringLiteral(", "))));

    auto* pane = new CPicturePane(this);
    m_picturePage = pane;
    HostPage(pane);

    const QString about = LoadStr(101);
    if (QMenu* menu = WS_GetSystemMenu(this); menu && !about.isEmpty()) {
        menu->addSeparator();
        menu->addAction(about)->setData(IDM_ABOUTBOX);
    }
    return true;
}

void CMainDlg::Fade(bool in, const std::function<void()>& then)
{
    // Where the platform can't change a window's opacity the fade still takes its time.
    if (Timings().fade <= 0) {
        if (!in)
            QDialog::setVisible(false);
        if (then)
            then();
        return;
    }
    auto* anim = new QPropertyAnimation(this, "windowOpacity", this);
    anim->setDuration(Timings().fade);
    anim->setStartValue(in ? 0.0 : 1.0);
    anim->setEndValue(in ? 1.0 : 0.0);
    QPointer<CMainDlg> self(this);
    connect(anim, &QPropertyAnimation::finished, this, [self, in, then] {
        if (!self)
            return;
        if (!in) {
            self->QDialog::setVisible(false);
            self->setWindowOpacity(1.0);
        }
        if (then)
            then();
    });
    setWindowOpacity(in ? 0.0 : 1.0);
    anim->start(QAbstractAnimation::DeleteWhenStopped);
}

void CMainDlg::EndStartupPicture()
{
    Fade(false, [this] { FinishStartup(); });
}

void CMainDlg::FinishStartup()
{
    if (m_destroyed)
        return;  // the program ended during the fade
    // Back to an ordinary window with the skin's caption; at the login page it can't be resized.
    setWindowFlags(m_savedFlags | Qt::FramelessWindowHint);
    WS_SetStyle(this, WS_STYLE_CAPTION);
    setWindowTitle(LoadStr(102));
    if (m_picturePage) {
        m_picturePage->hide();
        m_picturePage->deleteLater();
        m_picturePage = nullptr;
    }
    m_loginPage = CreateLoginPage(this);
    HostPage(m_loginPage);
    setFixedSize(size());
    QDialog::setVisible(true);
    activateWindow();
    if (m_loginPage)
        m_loginPage->setFocus();

    m_tray.Create(this, WM_TRAY_NOTIFY, QStringLiteral("%1 -- %2").arg(LoadStr(102), LoadStr(155)),
                  LoadIconFile(ReadTrayIconSkin().normal),
                  IDR_TRAY_MENU);
    // Said once; the about box keeps saying it.
    if (!m_missingSkinPieces.isEmpty())
        ShowTrayBalloon(LoadStr(801), LoadStr(802), kBalloonMs);

    USB_SetPortFolder(PortFolder());
    USB_Init(this, &UsbProgressCallback);
    m_usbStarted = true;
}

void CMainDlg::HostPage(QWidget* page, QSize minimum)
{
    m_currentPage = page;
    if (!page)
        return;
    page->setWindowFlags(Qt::Widget);
    QRect r(QPoint(0, 0), page->size());
    WS_CalcWindowRect(this, r, 0);
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    resize(r.size());
    PlaceOnScreen(true, minimum);
    page->setGeometry(contentsRect());
    page->show();
}

QRect CMainDlg::AvailableArea() const
{
    QScreen* s = isVisible() ? QGuiApplication::screenAt(geometry().center()) : nullptr;
    if (!s)
        s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!s)
        return {};
    // The skinned window has no frame of the window manager's; should it have one, the frame must
    // fit too (asked only while shown: a hidden window may report a stale frame).
    if (windowFlags().testFlag(Qt::FramelessWindowHint) || !isVisible())
        return s->availableGeometry();
    const QRect frame = frameGeometry();
    const QRect inner = geometry();
    return s->availableGeometry().marginsRemoved(QMargins(inner.left() - frame.left(), inner.top() - frame.top(),
                                                          frame.right() - inner.right(),
                                                          frame.bottom() - inner.bottom()));
}

void CMainDlg::PlaceOnScreen(bool centre, QSize minimum)
{
    if (isMaximized() || isFullScreen() || m_destroyed)
        return;
    const QRect area = AvailableArea();
    if (area.isEmpty())
        return;
    const QSize least = minimum.isValid() ? minimum : minimumSize();
    const QRect r = centre ? CentredWindowRect(size(), least, area) : FitWindowRect(geometry(), least, area);
    // Only a screen smaller than the minimum takes the window below it.
    if (r.width() < minimumWidth() || r.height() < minimumHeight())
        setMinimumSize(minimumSize().boundedTo(r.size()));
    if (r.size() != size())
        resize(r.size());
    if (r.topLeft() != pos())
        move(r.topLeft());
}

void CMainDlg::SetTrayTip(int stateString)
{
    m_tray.SetTooltipText(QStringLiteral("%1 -- %2").arg(LoadStr(102), LoadStr(stateString)));
}

void CMainDlg::ShowUserPages(const UserRecord&, const QString&)
{
    DrawTrayAnimation(0);
    QDialog::setVisible(false);
    // The caller may be a handler of the page being replaced: the pages go once it has returned.
    for (QPointer<QWidget>* p : {&m_userPage, &m_loginPage}) {
        if (*p) {
            (*p)->hide();
            (*p)->deleteLater();
            *p = nullptr;
        }
    }
    CNavPanelDlg* page = CreateUserPage(this);
    connect(this, &CMainDlg::MainWindowMoved, page, &CNavPanelDlg::OnMainWindowMoved);
    page->resize(kUserPageSize);
    m_userPage = page;
    if (isMaximized())
        showNormal();
    WS_SetStyle(this, WS_STYLE_CAPTION | WS_STYLE_SIZEBOX | WS_STYLE_MAXIMIZEBOX);
    HostPage(page, kUserMinimumSize);
    setMinimumSize(kUserMinimumSize.boundedTo(size()));
    DrawTrayAnimation(5);
    QDialog::setVisible(true);
    raise();
    activateWindow();
    SetTrayTip(156);
}

void CMainDlg::ShowLoginPage()
{
    if (isMaximized())
        showNormal();
    WS_SetStyle(this, WS_STYLE_CAPTION);
    if (m_userPage) {
        m_userPage->hide();
        m_userPage->deleteLater();
        m_userPage = nullptr;
    }
    m_loginPage = CreateLoginPage(this);
    HostPage(m_loginPage);
    setFixedSize(size());
    SetTrayTip(155);
}

void CMainDlg::DrawTrayAnimation(int direction)
{
    const QRect tray = m_tray.Geometry();
    if (tray.isEmpty() || !isVisible())
        return;
    const QRect window = frameGeometry();
    const QRect from = direction == 5 ? tray : window;
    const QRect to = direction == 5 ? window : tray;
    QRubberBand band(QRubberBand::Rectangle);
    band.setGeometry(from);
    band.show();
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        const double t = double(clock.elapsed()) / kTrayAnimationMs;
        band.setGeometry(TrayAnimationRect(from, to, t));
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        if (t >= 1.0)
            break;
        QThread::msleep(10);
    }
}

void CMainDlg::HideBalloon()
{
    m_tray.ShowBalloon(QString(), QString(), 10000, NIIF_INFO);
}

void CMainDlg::ShowTrayBalloon(const QString& title, const QString& text, int timeoutMs)
{
    m_tray.ShowBalloon(text, title, timeoutMs, NIIF_INFO);
}

void CMainDlg::CreateUserForDevice()
{
    // The user page offers this once it can create users for a pedometer.
    if (m_userPage && m_userPage->metaObject()->indexOfMethod("CreateUserForDevice()") >= 0)
        QMetaObject::invokeMethod(m_userPage, "CreateUserForDevice", Qt::DirectConnection);
}

void CMainDlg::timerEvent(QTimerEvent* e)
{
    if (e->timerId() == m_startupTimer.timerId()) {
        m_startupTimer.stop();  // fires once
        EndStartupPicture();
        return;
    }
    QDialog::timerEvent(e);
}

bool CMainDlg::event(QEvent* e)
{
    const int type = static_cast<int>(e->type());
    auto* msg = dynamic_cast<CWndMessage*>(e);
    if (msg) {
        switch (type) {
        case WM_DEVICE_ARRIVED:
            if (m_deviceLink)
                m_deviceLink->OnDeviceArrived(static_cast<int>(msg->wParam()));
            return true;
        case WM_DEVICE_REMOVED:
            if (m_deviceLink)
                m_deviceLink->OnDeviceRemoved();
            return true;
        case WM_DEVICE_BLANK:
            if (m_deviceLink)
                m_deviceLink->OnDeviceBlank();
            return true;
        case WM_TRAY_NOTIFY: OnTrayNotify(msg->wParam(), msg->lParam()); return true;
        case WM_COMMAND: OnCommand(static_cast<int>(msg->wParam())); return true;
        case WM_SYSCOMMAND: return OnSysCommand(static_cast<int>(msg->wParam()));
        default: break;
        }
    }
    return QDialog::event(e);
}

void CMainDlg::OnTrayNotify(uintptr_t id, intptr_t message)
{
    if (message == NIN_BALLOONUSERCLICK) {
        if (m_deviceLink)
            m_deviceLink->OnBalloonClicked();
        return;
    }
    if (message == WM_RBUTTONUP && id == static_cast<uintptr_t>(m_tray.Id())) {
        if (isVisible()) {
            raise();
            activateWindow();
        }
        m_tray.TrackMenu(QCursor::pos());
        return;
    }
    m_tray.OnTrayNotification(id, message);
}

void CMainDlg::ShowRestored()
{
    if (m_initFailed)
        return;
    if (isMinimized())
        showNormal();
    else
        QDialog::setVisible(true);
    PlaceOnScreen(false);
    raise();
    activateWindow();
    // A dialog open over the window stays in front of it.
    if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != this) {
        modal->raise();
        modal->activateWindow();
    }
}

void CMainDlg::OnCommand(int id)
{
    if (id == ID_TRAY_SHOWHIDE) {
        ShowRestored();
    } else if (id == ID_TRAY_EXIT) {
        // Dialogs open over the window end first (as cancelled): their loops run inside the window's.
        for (int guard = 0; guard < 32; ++guard) {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || modal == this)
                break;
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
            else
                modal->close();
        }
        QDialog::setVisible(false);
        // The window closes once the current handler has returned.
        QMetaObject::invokeMethod(this, "close", Qt::QueuedConnection);
    }
}

bool CMainDlg::OnSysCommand(int command)
{
    if (command == IDM_ABOUTBOX) {
        CAboutDlg about(this, UserConnectionString(DataFolder()));
        RunModal(about);
        if (about.RestoreOutcome() == CAboutDlg::Restore::StoreLost) {
            EndDialog(IDCANCEL);
        } else if (about.RestoreOutcome() == CAboutDlg::Restore::Restored) {
            // The records in memory came from the replaced store: everybody logs in again.
            if (m_userPage)
                ShowLoginPage();
            ReleaseLoginUser();
        }
        return true;
    }
    if (command == SC_CLOSE) {
        if (m_tray.IsEnabled()) {
            DrawTrayAnimation(0);
            QDialog::setVisible(false);
        } else {
            // Without a tray icon a hidden window could not be brought back: minimise instead.
            showMinimized();
        }
        return true;
    }
    return false;
}

void CMainDlg::closeEvent(QCloseEvent* e)
{
    // The desktop's close request acts as the close box; a close asked for by the
    // program (tray menu, login page's exit button) ends the dialog.
    if (e->spontaneous()) {
        e->ignore();
        if (m_loop && isVisible())
            OnSysCommand(SC_CLOSE);
        return;
    }
    e->accept();
    EndDialog(IDCANCEL);
}

void CMainDlg::keyPressEvent(QKeyEvent* e)
{
    // Escape would end the dialog, and with it the program; Enter that no page took
    // is the dialog's OK, which does nothing here.
    if (e->key() == Qt::Key_Escape || e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

void CMainDlg::resizeEvent(QResizeEvent* e)
{
    QDialog::resizeEvent(e);
    if (m_currentPage)
        m_currentPage->setGeometry(contentsRect());
}

void CMainDlg::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    // However it comes back (tray, another copy, the desktop), it comes back on the screen.
    if (!e->spontaneous())
        PlaceOnScreen(false);
}

void CMainDlg::changeEvent(QEvent* e)
{
    QDialog::changeEvent(e);
    // Back from maximised or minimised: the restored place may lie off a screen that changed since.
    if (e->type() == QEvent::WindowStateChange && !isMaximized() && !isMinimized())
        QMetaObject::invokeMethod(this, [this] { PlaceOnScreen(false); }, Qt::QueuedConnection);
}

void CMainDlg::moveEvent(QMoveEvent* e)
{
    QDialog::moveEvent(e);
    emit MainWindowMoved();
}

void CMainDlg::DestroyWindow()
{
    if (m_destroyed)
        return;
    m_destroyed = true;
    m_startupTimer.stop();
    m_currentPage = nullptr;
    for (QPointer<QWidget>* p : {&m_picturePage, &m_loginPage, &m_userPage}) {
        if (*p) {
            (*p)->hide();
            (*p)->deleteLater();
            *p = nullptr;
        }
    }
    // Outside every handler now: the pages (and pages replaced earlier) go before the store closes.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_tray.RemoveIcon();
    if (m_initDone && !m_initFailed)
        USER_Term(0, "508317");
}

void CMainDlg::PostNcDestroy()
{
    ReleaseLoginUser();
    if (m_usbStarted) {
        USB_Term();
        m_usbStarted = false;
    }
    // No pedometer is watched any more: its record and dialogs go with the link.
    m_deviceLink.reset();
}
