#include "userpage/NavPanelDlg.h"

#include "charts/DayDetailDlg.h"
#include "charts/SetPropertySheet.h"
#include "controls/PageBarWnd.h"
#include "controls/SkinButton.h"
#include "controls/WindowFocus.h"
#include "core/DialogService.h"
#include "core/DlgItem.h"
#include "core/Globals.h"
#include "core/MainWindowApi.h"
#include "core/SkinSections.h"
#include "core/StringTable.h"
#include "device/DeviceLink.h"
#include "external/records/WndMessage.h"
#include "external/skin/Skin.h"
#include "output/print/PrintFrameWnd.h"
#include "res/resource.h"
#include "userpage/HomePageDlg.h"
#include "userpage/RightColumnDlg.h"
#include "userpage/ToolbarDlg.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTimer>

#include <memory>

namespace {
constexpr int kPageBarIndexChart = 2;  // clamped to the end: after the home page
constexpr int kPageBarIndexUserList = 2;

// Destroys a child now, in the order the caller chooses, instead of with its parent.
template <class T>
void DestroyChild(QPointer<T>& child)
{
    std::unique_ptr<T> gone(child.data());
    child = nullptr;
}

// Users already told this run that their folder could not be made: said once, not at every login.
QSet<int>& WarnedUserFolders()
{
    static QSet<int> warned;
    return warned;
}

// The focusable widgets inside a page, in the page's own keyboard order.
QList<QWidget*> FocusChainOf(QWidget* page)
{
    QList<QWidget*> chain;
    if (!page)
        return chain;
    for (QWidget* w = page->nextInFocusChain(); w && w != page; w = w->nextInFocusChain()) {
        if (!page->isAncestorOf(w))
            continue;
        if (chain.contains(w))
            break;
        if (w->focusPolicy() & Qt::TabFocus)
            chain << w;
    }
    return chain;
}
}  // namespace

CNavPanelDlg::CNavPanelDlg(QWidget* parent) : QWidget(parent)
{
    SetCtrlId(this, IDD_NAV_PANEL);
    resize(868, 500);
    PrepareUserFolder();

    const UserPageSkin skin = ReadUserPageSkin();
    WS_SetSkin(this);
    WS_SetBackBmp(this, skin.backBmp);

    m_pageBar = new CPageBarWnd(this);
    m_pageBar->setGeometry(12, 12, 100, 100);
    m_pageBar->SetTransparent(true);
    m_pageBar->SetPageColour(kPageColour);
    m_pageBar->SetFrameColour(kFrameColour);
    m_pageBar->show();
    CreatePages();

    // Hidden until it lays itself out (its timer) or the main window moves.
    m_toolbar = new CToolbarDlg(this);
    m_toolbar->hide();
    connect(m_toolbar, &CToolbarDlg::Command, this, &CNavPanelDlg::OnToolbarCommand);

    CreateColumn();

    m_columnButton = new CSkinButton(this);
    SetCtrlId(m_columnButton, IDC_COLUMN_TOGGLE);
    m_columnButton->resize(kColumnButtonSize);
    ApplyDialogTexts(this, IDD_NAV_PANEL);
    m_columnButton->SetTipText(LoadStr(197), true);
    m_columnButton->SetDrawFlatFocus(true);
    m_columnButton->setAccessibleName(LoadStr(197));  // its caption is an arrow only
    m_columnButton->SetBorderColour(m_columnButtonColour);
    m_columnButton->SetAlwaysBorder(true);
    m_columnButton->SetStateColour(CSkinButton::BackHover, 0xFFFFFF);
    m_columnButton->SetStateColour(CSkinButton::BackNormal, 0xDEDEDE);
    m_columnButton->SetStateColour(CSkinButton::BackFocus, 0xDEDEDE);
    connect(m_columnButton, &QAbstractButton::clicked, this, &CNavPanelDlg::ToggleRightColumn);

    if (CDeviceLink* link = CDeviceLink::Current())
        connect(link, &CDeviceLink::DeviceArrived, this, &CNavPanelDlg::OnDaysStored);

    ChainTabOrder();
    ArrangeChildren();
}

CNavPanelDlg::~CNavPanelDlg()
{
    // In this order, each before the panel itself; the chart page goes with the pages too.
    DestroyChild(m_homePage);
    DestroyChild(m_userList);
    DestroyChild(m_chartPage);
    DestroyChild(m_pageBar);
    DestroyChild(m_toolbar);
    DestroyChild(m_userCard);
    DestroyChild(m_sparePane);
    DestroyChild(m_rightColumn);
}

void CNavPanelDlg::PrepareUserFolder()
{
    if (!g_pLoginUser)
        return;
    const int number = g_pLoginUser->number;
    const QString folder = UserFolder(number);
    if (QFileInfo(folder).isDir())
        return;  // the user's own Graph.ini (or the chart page's defaults) stays
    if (!QDir().mkpath(folder)) {
        m_userFolderFailed = true;
        if (!WarnedUserFolders().contains(number)) {
            WarnedUserFolders().insert(number);
            // Said once the page is up, not in the middle of the login.
            QTimer::singleShot(0, this, [this, number] {
                ShowMessageBox(this, ReplaceR(LoadStr(640), QString::number(number)));
            });
        }
        return;
    }
    // A new folder: the chart colours start from the template. Without one, the defaults apply.
    const QString target = UserGraphIniPath(number);
    QFile::remove(target);
    QFile::copy(TemplateGraphIniPath(), target);
}

void CNavPanelDlg::CreatePages()
{
    const UserPageSkin skin = ReadUserPageSkin();

    m_homePage = new CHomePageDlg(m_pageBar);
    m_homePage->SetBackColour(m_pageBar->GetPageColour());
    if (g_pLoginUser)
        m_homePage->SetUser(*g_pLoginUser);
    m_pageBar->AddPage(0, QString(), LoadIconFile(skin.homeIcon), LoadStr(205), m_homePage);

    m_chartPage = new CDayDetailDlg(m_pageBar);
    if (g_pLoginUser) {
        m_chartPage->SetUser(*g_pLoginUser);
        m_chartUserNumber = g_pLoginUser->number;
    }
    m_chartPage->Create();
    m_pageBar->AddPage(kPageBarIndexChart, QString(), LoadIconFile(skin.chartIcon), LoadStr(206), m_chartPage);

    if (g_pLoginUser && g_pLoginUser->rights == 1 && g_bUserManagement) {
        auto* list = new CUserListDlg(m_pageBar);
        list->SetBkColour(m_pageBar->GetPageColour());
        list->SetOwner(this);  // its requests for a user's days (1245) come here
        m_userList = list;
        m_pageBar->AddPage(kPageBarIndexUserList, QString(), LoadIconFile(skin.userListIcon), LoadStr(207), list);
    }
}

void CNavPanelDlg::CreateColumn()
{
    m_rightColumn = new CRightColumnDlg(this);
    m_rightColumn->show();
    m_userCard = new CUserCardDlg(m_rightColumn);
    m_userCard->show();
    m_rightColumn->InsertPane(0, m_userCard);
    connect(m_userCard, &CUserCardDlg::ProfileEdited, this, &CNavPanelDlg::OnProfileEdited);
    m_sparePane = new CSparePaneDlg(m_rightColumn);
    m_sparePane->hide();
    m_rightColumn->InsertPane(1, m_sparePane);
    m_rightColumn->resize(std::max(m_userCard->width(), m_sparePane->width()), height());
}

void CNavPanelDlg::ChainTabOrder()
{
    // Page buttons, the shown page's controls, the card and its buttons, the column button,
    // then the toolbar row: the order the eye reads the page in.
    QList<QWidget*> chain;
    for (int i = 0; i < m_pageBar->GetPageCount(); ++i)
        chain << m_pageBar->Button(i);
    for (int i = 0; i < m_pageBar->GetPageCount(); ++i)
        chain << FocusChainOf(m_pageBar->Page(i));
    chain << m_userCard << m_userCard->ProfileButton() << m_userCard->PasswordButton() << m_columnButton;
    for (int id : CToolbarDlg::kRowOrder)
        chain << m_toolbar->Button(id);
    chain.removeAll(nullptr);
    for (qsizetype i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

void CNavPanelDlg::ArrangeChildren()
{
    const int W = width(), H = height();
    int th = 0;
    if (m_toolbar) {
        th = m_toolbar->height();
        m_toolbar->setGeometry(8, H - th - 8, std::max(0, W - 16), th);
    }
    const int bw = m_columnButton ? m_columnButton->width() : 0;
    if (m_columnButton)
        m_columnButton->move(W - bw - 3, (H - m_columnButton->height()) / 2);
    int pw = 0;
    if (m_rightColumn && m_columnShown) {
        pw = m_rightColumn->width();
        m_rightColumn->setGeometry(W - bw - pw - 11, 8, pw, std::max(0, H - th - 8));
    }
    if (m_pageBar)
        m_pageBar->setGeometry(8, 8, std::max(0, W - bw - pw - 21 - (m_columnShown ? 8 : 0)), std::max(0, H - th - 24));
}

void CNavPanelDlg::ToggleRightColumn()
{
    m_columnShown = !m_columnShown;
    if (!m_rightColumn)
        return;
    m_rightColumn->setVisible(m_columnShown);
    m_columnButton->setText(m_columnShown ? QStringLiteral("<") : QStringLiteral(">"));
    ArrangeChildren();
}

void CNavPanelDlg::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    // Once the main window has finished showing the page: the first page button takes the focus.
    QTimer::singleShot(0, this, [this] { ShowPageFocus(this, m_pageBar ? m_pageBar->Button(0) : nullptr); });
}

void CNavPanelDlg::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    ArrangeChildren();
    update();
}

bool CNavPanelDlg::event(QEvent* e)
{
    if (e->type() == MessageType(WM_SHOW_USER_DATA)) {
        if (auto* msg = dynamic_cast<CWndMessage*>(e)) {
            // Copied at once: the sender's record may be gone as soon as this returns.
            if (const auto* user = reinterpret_cast<const UserRecord*>(msg->wParam())) {
                const UserRecord copy = *user;
                ShowUserData(copy);
            }
            return true;
        }
    }
    return QWidget::event(e);
}

void CNavPanelDlg::ShowUserData(const UserRecord& user)
{
    if (!m_pageBar || !m_chartPage)
        return;
    m_pageBar->SelectPage(m_pageBar->IndexOfPage(m_chartPage));
    m_chartUserNumber = user.number;
    m_chartPage->SetUser(user);
}

void CNavPanelDlg::OnToolbarCommand(int id)
{
    switch (id) {
    case IDC_TB_PRINT:
        // The preview takes the main window's place until it is closed.
        if (m_chartPage)
            RunChartPrint(window(), *m_chartPage);
        break;
    case IDC_TB_USB:
        // A login through the pedometer replaces this page once the handler has returned.
        if (RunPedometerCommand(window()))
            OnDaysRead();
        break;
    case IDC_TB_SETTINGS:
        if (m_chartPage)
            RunChartSettings(window(), *m_chartPage);
        break;
    case IDC_TB_LOGOUT:
        // The main window replaces this page once this handler has returned.
        if (g_pMainWindow)
            g_pMainWindow->ShowLoginPage();
        break;
    case IDC_TB_ABOUT: {
        auto* main = dynamic_cast<QObject*>(g_pMainWindow);
        PostMessage(main ? main : window(), WM_SYSCOMMAND, IDM_ABOUTBOX);
        break;
    }
    case IDC_TB_PROFILE:
        if (m_userCard)
            m_userCard->OnProfile();  // the card reports the edit back (OnProfileEdited)
        break;
    case IDC_TB_PASSWORD:
        if (m_userCard)
            m_userCard->OnPassword();
        break;
    default:
        break;
    }
}

void CNavPanelDlg::OnProfileEdited()
{
    update();
    if (!g_pLoginUser)
        return;
    if (m_homePage)
        m_homePage->SetUser(*g_pLoginUser);  // new targets
    if (m_chartPage && m_chartUserNumber == g_pLoginUser->number)
        m_chartPage->SetUser(*g_pLoginUser);  // a new weight moves the reference lines
}

void CNavPanelDlg::OnDaysRead()
{
    if (m_chartPage)
        m_chartPage->LoadMonth();
    if (m_homePage)
        m_homePage->Reload();
}

void CNavPanelDlg::OnDaysStored(int number)
{
    // The pedometer's days were stored on its arrival: the pages that show its owner follow.
    if (g_pLoginUser && g_pLoginUser->number == number && m_homePage)
        m_homePage->Reload();
    if (m_chartPage && m_chartUserNumber == number)
        m_chartPage->LoadMonth();
}

void CNavPanelDlg::OnMainWindowMoved()
{
    if (m_toolbar)
        m_toolbar->Refresh();
}

void CNavPanelDlg::CreateUserForDevice()
{
    // Only the user management page creates users; without it the request has no one to go to.
    if (m_userList)
        m_userList->CreateUserForDevice();
}
