#include "accounts/UserListDlg.h"

#include "accounts/EditUserDlg.h"
#include "accounts/NewUserDlg.h"
#include "accounts/PasswordDlg.h"
#include "controls/BalloonTip.h"
#include "controls/SkinListCtrl.h"
#include "core/DialogService.h"
#include "core/DlgItem.h"
#include "core/Paths.h"
#include "core/StoreText.h"
#include "core/StringTable.h"
#include "core/Timings.h"
#include "external/records/WndMessage.h"
#include "external/userdb/UserDb.h"
#include "output/export/ExportDialog.h"
#include "output/export/StoredDaysExport.h"
#include "output/export/UserListExport.h"
#include "res/resource.h"

#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

#include <charconv>
#include <cstring>

namespace {

// The view-step-data message: it owns the copy its wParam points at. The copy is a base
// constructed before CWndMessage, so the pointer is taken from a living object.
struct OwnedUserCopy {
    explicit OwnedUserCopy(const UserRecord& u) : copy(u) {}
    UserRecord copy;
};

class CUserDataMessage : private OwnedUserCopy, public CWndMessage {
public:
    explicit CUserDataMessage(const UserRecord& user)
        : OwnedUserCopy(user), CWndMessage(WM_SHOW_USER_DATA, reinterpret_cast<uintptr_t>(&copy), 0)
    {
    }
};

struct ColumnSpec {
    int heading;
    int width;
};
constexpr ColumnSpec kColumns[] = {{115, 100}, {116, 100}, {106, 65}, {109, 65}, {117, 65}, {118, 65}, {119, 100}};

const char* const kSortColumn = "SORT_COLUMN";
const char* const kSortDirection = "SORT_DIRECTION";

// A text read as atof reads it: leading blanks, then the longest number there is; 0 for none.
double LeadingNumber(const QString& text)
{
    const QByteArray bytes = text.trimmed().toLatin1();
    double value = 0.0;
    const char* begin = bytes.constData();
    if (!bytes.isEmpty() && *begin == '+')
        ++begin;
    std::from_chars(begin, bytes.constData() + bytes.size(), value);
    return value;
}

int CompareBytes(const QByteArray& a, const QByteArray& b)
{
    const int n = std::memcmp(a.constData(), b.constData(), static_cast<size_t>(std::min(a.size(), b.size())));
    if (n != 0)
        return n < 0 ? -1 : 1;
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

QString UserIconPath()
{
    // Beside the program first, as every other shipped picture; then the working folder.
    const QString beside = ProgramFile(QStringLiteral("User.ico"));
    return QFileInfo::exists(beside) ? beside : QDir::current().filePath(QStringLiteral("User.ico"));
}

}  // namespace

bool UserListColumnIsNumeric(int column)
{
    return column == 0 || column == 3 || column == 4 || column == 5;
}

int CompareUserListTexts(const QString& a, const QString& b, int column, int direction)
{
    if (UserListColumnIsNumeric(column)) {
        const double va = LeadingNumber(a);
        const double vb = LeadingNumber(b);
        if (direction == 0)
            return va >= vb ? -1 : 1;
        return va < vb ? -1 : 1;
    }
    const int order = CompareBytes(a.toUtf8(), b.toUtf8());
    return direction == 0 ? order : -order;
}

int UserListSortDirection(int lastColumn, int storedDirection, int clickedColumn)
{
    if (lastColumn != clickedColumn)
        return storedDirection;
    return storedDirection == 0 ? 1 : 0;
}

CUserListDlg::CUserListDlg(QWidget* parent) : QWidget(parent)
{
    SetCtrlId(this, IDD_USER_LIST);
    setAutoFillBackground(true);
    SetBkColour(m_bkColour);
    CreateControls();
    ApplyDialogTexts(this, IDD_USER_LIST);
    InsertColumns();
    UpdateButtons();

    m_timer1 = new QTimer(this);
    m_timer1->setSingleShot(true);
    connect(m_timer1, &QTimer::timeout, this, &CUserListDlg::LoadFirstPage);
    m_timer1->start(Timings().userListFirstLoad);
}

CUserListDlg::~CUserListDlg()
{
    // The rows point at the records: rows go first.
    EmptyTable();
}

void CUserListDlg::SetBkColour(COLORREF colour)
{
    m_bkColour = colour;
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ColorRefToQColor(colour));
    setPalette(pal);
}

void CUserListDlg::CreateControls()
{
    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("toolbar"));
    bar->setGeometry(0, 0, width(), kToolbarHeight);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(6, 0, 6, 0);
    row->setSpacing(4);

    const auto button = [&](int id, void (CUserListDlg::*action)()) {
        auto* b = new QPushButton(bar);
        SetCtrlId(b, id);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, action);
        row->addWidget(b);
        return b;
    };

    m_search = new QComboBox(bar);
    SetCtrlId(m_search, IDC_SEARCH);
    m_search->setEditable(true);
    // Searched keywords are offered again, most recent first; Enter searches, it adds nothing itself.
    m_search->setInsertPolicy(QComboBox::NoInsert);
    m_search->setMinimumWidth(140);
    m_search->setAccessibleName(LoadStr(708));
    m_search->lineEdit()->setAccessibleName(LoadStr(708));
    connect(m_search->lineEdit(), &QLineEdit::returnPressed, this, &CUserListDlg::OnSearch);
    row->addWidget(m_search);
    m_find = button(IDOK, &CUserListDlg::OnSearch);
    m_clear = button(IDC_CLEAR_SEARCH, &CUserListDlg::OnClearSearch);
    m_clear->setFixedWidth(std::max(28, m_clear->fontMetrics().horizontalAdvance(QStringLiteral("<<")) + 16));
    m_clear->setToolTip(LoadStr(709));
    m_clear->setAccessibleName(LoadStr(709));
    row->addSpacing(12);
    m_view = button(IDC_VIEW, &CUserListDlg::OnView);
    m_delete = button(IDC_DELETE, &CUserListDlg::OnDelete);
    m_add = new QPushButton(bar);
    SetCtrlId(m_add, IDC_ADD_USER);
    m_add->setAutoDefault(false);
    connect(m_add, &QPushButton::clicked, this, [this] { OnAdd(0); });
    row->addWidget(m_add);
    row->addStretch(1);
    m_prev = button(IDC_PREV_PAGE, &CUserListDlg::OnPrevPage);
    m_next = button(IDC_NEXT_PAGE, &CUserListDlg::OnNextPage);

    m_list = new CSkinListCtrl(this);
    SetCtrlId(m_list, IDC_LIST);
    m_list->setAccessibleName(LoadStr(170));
    m_list->SetImageList({QIcon(UserIconPath())});
    m_list->SetRowHeight(22);
    m_list->SetHeaderInsets(12, 2, 2, 2, 2);
    m_list->installEventFilter(this);
    m_list->viewport()->installEventFilter(this);
    connect(m_list, &CSkinListCtrl::ItemChanged, this, [this] { UpdateButtons(); });
    connect(m_list, &CSkinListCtrl::ItemDoubleClicked, this, [this](int row) {
        if (row >= 0)
            OnViewStepData();
    });
    connect(m_list, &CSkinListCtrl::ItemRightClicked, this,
            [this](int, QPoint globalPos) { ShowContextMenu(globalPos); });
    connect(m_list, &CSkinListCtrl::ColumnClicked, this, &CUserListDlg::OnColumnClick);
    // The second click of a quick pair on a header is a click too, as a list's header counts it.
    connect(m_list->GetHeaderCtrl(), &QHeaderView::sectionDoubleClicked, this, &CUserListDlg::OnColumnClick);
}

void CUserListDlg::InsertColumns()
{
    int i = 0;
    for (const ColumnSpec& c : kColumns)
        m_list->InsertColumn(i++, LoadStr(c.heading), CSkinListCtrl::FormatLeft, c.width);
}

void CUserListDlg::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    if (auto* bar = findChild<QWidget*>(QStringLiteral("toolbar"), Qt::FindDirectChildrenOnly))
        bar->setGeometry(0, 0, width(), kToolbarHeight);
    m_list->setGeometry(0, kToolbarHeight, width(), std::max(0, height() - kToolbarHeight));
}

bool CUserListDlg::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == QEvent::ContextMenu) {
        // The mouse's right click opens the menu through the list's own notification; the
        // keyboard's menu key opens it at the selected row (or the list's corner).
        const auto* menuEvent = static_cast<QContextMenuEvent*>(e);
        if (menuEvent->reason() != QContextMenuEvent::Mouse) {
            const int row = m_list->GetSelectedItem();
            const QRect rect = row >= 0 ? m_list->visualItemRect(m_list->topLevelItem(row)) : QRect();
            const QPoint at = row >= 0 ? m_list->viewport()->mapToGlobal(rect.bottomLeft())
                                       : m_list->viewport()->mapToGlobal(QPoint(0, 0));
            ShowContextMenu(at);
        }
        return true;
    }
    return QWidget::eventFilter(watched, e);
}

// ---- loading --------------------------------------------------------------------

void CUserListDlg::LoadFirstPage()
{
    m_timer1->stop();
    m_page = 1;
    LoadPage(1, QString());
    UpdateButtons();
}

void CUserListDlg::LoadPage(int page, const QString& keyword)
{
    EmptyTable();
    std::vector<std::unique_ptr<UserRecord>> users;
    const int result = USER_GetUserList(page, kPageSize, users, keyword.toStdString());
    if (result < 0) {
        DialogService().MessageBox(this, StoreErrorText(result), QMessageBox::Ok, QMessageBox::Warning,
                                   QMessageBox::NoButton);
        return;
    }
    for (auto& user : users) {
        if (user)
            AppendRow(std::move(user));
    }
}

int CUserListDlg::AppendRow(std::unique_ptr<UserRecord> user)
{
    const int row = m_list->InsertItem(m_list->GetItemCount(), QString::number(user->number), 0);
    m_list->SetItemData(row, user.get());
    ShowRowTexts(row, *user, true);
    m_records.push_back(std::move(user));
    return row;
}

void CUserListDlg::ShowRowTexts(int row, const UserRecord& user, bool all)
{
    // Columns 1 to 5 follow an edit; the number and the rights do not change there.
    m_list->SetItemText(row, 1, QString::fromStdString(RecordName(user)));
    m_list->SetItemText(row, 2, LoadStr(user.sex == 1 ? 107 : 108));
    m_list->SetItemText(row, 3, QString::number(user.age));
    m_list->SetItemText(row, 4, QString::number(user.weight));
    m_list->SetItemText(row, 5, QString::number(user.stride));
    if (all)
        m_list->SetItemText(row, 6, LoadStr(user.rights == 1 ? 110 : 111));
}

void CUserListDlg::EmptyTable()
{
    if (m_list)
        m_list->DeleteAllItems();
    m_records.clear();
}

UserRecord* CUserListDlg::SelectedUser() const
{
    const int row = m_list->GetSelectedItem();
    return row >= 0 ? m_list->GetItemDataAs<UserRecord>(row) : nullptr;
}

void CUserListDlg::UpdateButtons()
{
    const UserRecord* user = SelectedUser();
    m_view->setEnabled(user != nullptr);
    m_delete->setEnabled(user != nullptr && user->number != kBuiltinAdmin);
    m_prev->setEnabled(m_page != 1);
    m_next->setEnabled(m_list->GetItemCount() == kPageSize);
}

// ---- search and pages ---------------------------------------------------------------

void CUserListDlg::OnSearch()
{
    const QString text = m_search->currentText();
    if (text.isEmpty()) {
        // Pointing up at the box from the foot of the button row, so it hangs below every button.
        const QPoint anchor(m_search->mapTo(this, QPoint(10, 0)).x(), kToolbarHeight - 3);
        CBalloonTip::ShowBalloonTip(CBalloonTip::IconError, LoadStr(103), LoadStr(120), m_search,
                                    mapToGlobal(anchor), 5000);
        m_search->setFocus();
        return;
    }
    m_keyword = text;
    const int known = m_search->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (known != 0) {
        if (known > 0)
            m_search->removeItem(known);
        m_search->insertItem(0, text);
        m_search->setCurrentIndex(0);
    }
    m_page = 1;
    LoadPage(1, m_keyword);
    UpdateButtons();
}

void CUserListDlg::OnClearSearch()
{
    m_keyword.clear();
    m_search->setCurrentIndex(-1);
    m_search->clearEditText();
    m_page = 1;
    LoadPage(1, m_keyword);
    UpdateButtons();
}

void CUserListDlg::OnNextPage()
{
    ++m_page;
    LoadPage(m_page, m_keyword);
    UpdateButtons();
}

void CUserListDlg::OnPrevPage()
{
    --m_page;
    LoadPage(m_page, m_keyword);
    UpdateButtons();
}

// ---- one user -----------------------------------------------------------------------------

void CUserListDlg::OnView()
{
    UserRecord* user = SelectedUser();
    if (!user)
        return;
    CEditUserDlg dlg(this);
    dlg.SetUser(user);
    if (RunModal(dlg) != QDialog::Accepted)
        return;
    // Found again: the dialog ran its own event loop.
    const int row = m_list->FindItemByData(user);
    if (row >= 0)
        ShowRowTexts(row, *user, false);
}

void CUserListDlg::OnDelete()
{
    const int row = m_list->GetSelectedItem();
    UserRecord* user = SelectedUser();
    if (!user || user->number == kBuiltinAdmin)
        return;
    const std::string name = RecordName(*user);
    if (ShowMessageBox(this, ReplaceR(LoadStr(112), QString::fromStdString(name)), QMessageBox::Yes | QMessageBox::No)
        != QMessageBox::Yes)
        return;
    const int result = USER_DeleteUser(name);
    if (result != USER_OK) {
        DialogService().MessageBox(this, StoreErrorText(result), QMessageBox::Ok, QMessageBox::Warning,
                                   QMessageBox::NoButton);
        return;
    }
    m_list->DeleteItem(row);
    std::erase_if(m_records, [user](const std::unique_ptr<UserRecord>& r) { return r.get() == user; });
    // No row is selected after a delete, so a second press cannot take the neighbour along.
    m_list->SetItemState(-1, 0, CSkinListCtrl::StateSelected);
    UpdateButtons();
}

void CUserListDlg::OnAdd(int deviceMode)
{
    if (m_addDialogOpen)
        return;
    m_addDialogOpen = 1;
    CNewUserDlg dlg(this);
    dlg.SetDeviceMode(deviceMode);
    if (RunModal(dlg) == QDialog::Accepted) {
        const int row = AppendRow(std::make_unique<UserRecord>(*dlg.GetNewUser()));
        m_list->EnsureVisible(row);
        m_list->SetItemState(row, CSkinListCtrl::StateSelected | CSkinListCtrl::StateFocused,
                             CSkinListCtrl::StateSelected | CSkinListCtrl::StateFocused);
        UpdateButtons();
    }
    m_addDialogOpen = 0;
}

void CUserListDlg::OnChangePassword()
{
    UserRecord* user = SelectedUser();
    if (!user)
        return;
    CPasswordDlg dlg(this);
    dlg.SetUser(user);
    RunModal(dlg);
}

void CUserListDlg::OnViewStepData()
{
    const UserRecord* user = SelectedUser();
    QObject* receiver = m_owner ? m_owner.data() : parent();
    if (user && receiver)
        QCoreApplication::postEvent(receiver, new CUserDataMessage(*user));
}

// ---- exports --------------------------------------------------------------------------------

void CUserListDlg::OnExport()
{
    const QString title = LoadStr(170);
    const QString path = AskExportPath(this, title, {ExportFormat::Xls, ExportFormat::Xlsx});
    if (path.isEmpty())
        return;
    QStringList headings;
    for (int c = 0; c < m_list->GetColumnCount(); ++c)
        headings << m_list->GetColumnText(c);
    std::vector<QStringList> rows;
    for (int r = 0; r < m_list->GetItemCount(); ++r) {
        QStringList texts;
        for (int c = 0; c < kUserListExportColumns; ++c)  // A to H: the seven and one empty
            texts << m_list->GetItemText(r, c);
        rows.push_back(std::move(texts));
    }
    ReportExport(this, ExportUserList(path, title, headings, rows), LoadStr(169));
}

void CUserListDlg::OnExportStepData()
{
    if (const UserRecord* user = SelectedUser())
        ExportUserAllDays(this, UserRecord(*user));
}

// ---- sorting ---------------------------------------------------------------------------------

void CUserListDlg::OnColumnClick(int column)
{
    const int last = m_list->property(kSortColumn).toInt();
    const int direction = UserListSortDirection(last, m_list->property(kSortDirection).toInt(), column);
    m_list->setProperty(kSortDirection, direction);
    m_list->setProperty(kSortColumn, column);
    m_list->SortItemsByIndex([this, column, direction](int a, int b) {
        return CompareUserListTexts(m_list->GetItemText(a, column), m_list->GetItemText(b, column), column, direction);
    });
    m_list->SetSortIndicator(column, direction);
}

// ---- context menu ----------------------------------------------------------------------------

std::unique_ptr<QMenu> CUserListDlg::CreateContextMenu()
{
    auto menu = std::make_unique<QMenu>(this);
    menu->setTitle(LoadDlgText(IDR_USERLIST_MENU, 0));
    const UserRecord* user = SelectedUser();
    const auto item = [&](int id, bool enabled) {
        QAction* a = menu->addAction(LoadDlgText(IDR_USERLIST_MENU, id));
        a->setData(id);
        a->setEnabled(enabled);
    };
    item(ID_USERLIST_PREV, m_page != 1);
    item(ID_USERLIST_NEXT, m_list->GetItemCount() == kPageSize);
    menu->addSeparator();
    item(ID_USERLIST_STEPDATA, user != nullptr);
    item(ID_USERLIST_EDIT, user != nullptr);
    item(ID_USERLIST_PASSWORD, user != nullptr);
    item(ID_USERLIST_DELETE, user != nullptr && user->number != kBuiltinAdmin);
    item(ID_USERLIST_ADD, true);
    menu->addSeparator();
    item(ID_USERLIST_EXPORT, true);
    item(ID_USERLIST_EXPORT_DAYS, user != nullptr);
    return menu;
}

void CUserListDlg::ShowContextMenu(const QPoint& globalPos)
{
    const std::unique_ptr<QMenu> menu = CreateContextMenu();
    const QAction* chosen = menu->exec(globalPos);
    // The menu is gone before the command opens its dialogs.
    const int id = chosen ? chosen->data().toInt() : 0;
    if (id)
        OnCommand(id);
}

void CUserListDlg::OnCommand(int id)
{
    switch (id) {
    case ID_USERLIST_PREV:
        if (m_page != 1)
            OnPrevPage();
        break;
    case ID_USERLIST_NEXT:
        OnNextPage();
        break;
    case ID_USERLIST_STEPDATA:
        OnViewStepData();
        break;
    case ID_USERLIST_EDIT:
        OnView();
        break;
    case ID_USERLIST_PASSWORD:
        OnChangePassword();
        break;
    case ID_USERLIST_DELETE:
        OnDelete();
        break;
    case ID_USERLIST_ADD:
        OnAdd(0);
        break;
    case ID_USERLIST_EXPORT:
        OnExport();
        break;
    case ID_USERLIST_EXPORT_DAYS:
        OnExportStepData();
        break;
    default:
        break;
    }
}
