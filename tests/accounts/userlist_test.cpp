// The user list page: paging, search, the 10001 rule, delete, add, edit, password, the
// step-data message, sorting, the context menu and the exports as a person drives them.
#include "tests/accounts/AccountsFixture.h"

#include "accounts/EditUserDlg.h"
#include "accounts/NewUserDlg.h"
#include "accounts/PasswordDlg.h"
#include "accounts/UserListDlg.h"
#include "controls/SkinListCtrl.h"
#include "core/DlgItem.h"
#include "core/Globals.h"
#include "core/StringTable.h"
#include "core/Timings.h"
#include "external/records/WndMessage.h"
#include "external/userdb/UserDb.h"
#include "res/resource.h"
#include "tests/output/ReadBack.h"

#include <QComboBox>
#include <QHeaderView>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <memory>

namespace {

// Records what the page sends its owner, copying the record at once as the user page does.
class Owner : public QObject {
public:
    std::vector<UserRecord> received;

protected:
    bool event(QEvent* e) override
    {
        if (e->type() == MessageType(WM_SHOW_USER_DATA)) {
            const auto* m = static_cast<CWndMessage*>(e);
            received.push_back(*reinterpret_cast<const UserRecord*>(m->wParam()));
            EXPECT_EQ(m->lParam(), 0);
            return true;
        }
        return QObject::event(e);
    }
};

QStringList Column(CSkinListCtrl* list, int column)
{
    QStringList texts;
    for (int r = 0; r < list->GetItemCount(); ++r)
        texts << list->GetItemText(r, column);
    return texts;
}

bool Enabled(QWidget* page, int id)
{
    auto* b = GetDlgItemAs<QPushButton>(page, id);
    EXPECT_NE(b, nullptr) << id;
    return b && b->isEnabled();
}

void Click(QWidget* page, int id)
{
    auto* b = GetDlgItemAs<QPushButton>(page, id);
    ASSERT_NE(b, nullptr) << id;
    QTest::mouseClick(b, Qt::LeftButton);
}

int RowOf(CSkinListCtrl* list, int number)
{
    return static_cast<int>(Column(list, 0).indexOf(QString::number(number)));
}

void Select(CSkinListCtrl* list, int row)
{
    list->SetItemState(row, CSkinListCtrl::StateSelected | CSkinListCtrl::StateFocused,
                       CSkinListCtrl::StateSelected | CSkinListCtrl::StateFocused);
}

// Whether each command of the context menu is offered (enabled), by command.
std::map<int, bool> MenuState(CUserListDlg& page)
{
    std::map<int, bool> state;
    const std::unique_ptr<QMenu> menu = page.CreateContextMenu();
    for (QAction* a : menu->actions()) {
        if (!a->isSeparator())
            state[a->data().toInt()] = a->isEnabled();
    }
    return state;
}

}  // namespace

class UserListTest : public AccountsTest {
protected:
    void SetUp() override
    {
        AccountsTest::SetUp();
        CopyStandardFiles();
        CopyFromBuild("User.ico");
        SetLoginUser(StoredUser(10001));  // the page is an administrator's
        m_dialogs.saveFileName = [this](const QString&, const QStringList&, int& filter) {
            filter = m_filter;
            return m_answer;
        };
    }

    // The page as the user page shows it, its first page loaded.
    std::unique_ptr<CUserListDlg> Page()
    {
        auto page = std::make_unique<CUserListDlg>();
        page->resize(700, 500);
        page->show();
        page->LoadFirstPage();
        return page;
    }

    // Users 20001 ... with names "u01" ...
    void AddUsers(int count, const std::string& prefix = "u", int first = 20001)
    {
        for (int i = 0; i < count; ++i) {
            const QString name = QString::fromStdString(prefix) + QStringLiteral("%1").arg(i + 1, 2, 10, QLatin1Char('0'));
            ASSERT_EQ(AddUser(first + i, name.toStdString(), ""), 1);
        }
    }

    // Exports through the menu, the save dialog answering `typed` with filter `filter`.
    void ExportAs(CUserListDlg& page, const QString& typed, int filter)
    {
        m_answer = typed;
        m_filter = filter;
        m_dialogs.messages.clear();
        page.OnCommand(ID_USERLIST_EXPORT);
    }

    // What the table shows, as the export must write it.
    static std::vector<QStringList> Shown(CUserListDlg& page)
    {
        std::vector<QStringList> rows{{QStringLiteral("用户列表")}, {}, {}};
        for (int c = 0; c < page.List()->GetColumnCount(); ++c)
            rows[2] << page.List()->GetColumnText(c);
        for (int r = 0; r < page.List()->GetItemCount(); ++r) {
            QStringList row;
            for (int c = 0; c < 7; ++c)
                row << page.List()->GetItemText(r, c);
            rows.push_back(row);
        }
        return Trimmed(rows);
    }

    QString m_answer;
    int m_filter = 0;
};

TEST_F(UserListTest, FirstPageComesWithTheTimerInColumnsAndIcons)
{
    CUserListDlg page;
    page.resize(700, 500);
    page.show();
    CSkinListCtrl* list = page.List();
    EXPECT_EQ(page.CurrentPage(), 0);
    EXPECT_EQ(list->GetItemCount(), 0) << "nothing before the timer";
    QTRY_COMPARE_WITH_TIMEOUT(list->GetItemCount(), 1, Timings().userListFirstLoad + 2000);
    EXPECT_EQ(page.CurrentPage(), 1);

    const QStringList headings{"号码", "用户名", "性别", "年龄", "体重", "步距", "权限"};
    const int widths[] = {100, 100, 65, 65, 65, 65, 100};
    ASSERT_EQ(list->GetColumnCount(), 7);
    for (int c = 0; c < 7; ++c) {
        EXPECT_EQ(list->GetColumnText(c), headings[c]);
        EXPECT_EQ(list->GetColumnWidth(c), widths[c]);
        EXPECT_EQ(list->GetColumnFormat(c), CSkinListCtrl::FormatLeft);
    }
    EXPECT_EQ(list->GetRowHeight(), 22);
    EXPECT_EQ(list->geometry(), QRect(0, 39, 700, 500 - 39));
    // The built-in administrator, with the user icon found beside the program.
    EXPECT_EQ(list->GetItemText(0, 0), "10001");
    EXPECT_EQ(list->GetItemText(0, 2), "男");
    EXPECT_EQ(list->GetItemText(0, 6), "管理员");
    ASSERT_EQ(list->GetImageCount(), 1);
    EXPECT_EQ(list->GetItemImage(0), 0);
    const QRect icon = list->RowLayout(0).icon;
    ASSERT_FALSE(icon.isNull());
    const QImage shot = list->viewport()->grab().toImage();
    int painted = 0;
    for (int y = icon.top(); y <= icon.bottom(); ++y)
        for (int x = icon.left(); x <= icon.right(); ++x)
            painted += shot.pixelColor(x * shot.width() / list->viewport()->width(), y * shot.height() / list->viewport()->height()) != Qt::white;
    EXPECT_GT(painted, 40) << "User.ico drawn in the icon place";
}

TEST_F(UserListTest, ExactlyTwentyUsersPageThroughAnEmptySecondPage)
{
    AddUsers(19);  // with 10001: 20
    auto page = Page();
    CSkinListCtrl* list = page->List();
    ASSERT_EQ(list->GetItemCount(), 20);
    EXPECT_TRUE(Enabled(page.get(), IDC_NEXT_PAGE));
    EXPECT_FALSE(Enabled(page.get(), IDC_PREV_PAGE));
    EXPECT_FALSE(Enabled(page.get(), IDC_VIEW)) << "nothing selected";
    EXPECT_FALSE(Enabled(page.get(), IDC_DELETE));
    EXPECT_FALSE(MenuState(*page)[ID_USERLIST_PREV]);
    EXPECT_TRUE(MenuState(*page)[ID_USERLIST_NEXT]);

    Click(page.get(), IDC_NEXT_PAGE);
    EXPECT_EQ(page->CurrentPage(), 2);
    EXPECT_EQ(list->GetItemCount(), 0);
    EXPECT_FALSE(Enabled(page.get(), IDC_NEXT_PAGE));
    EXPECT_TRUE(Enabled(page.get(), IDC_PREV_PAGE));
    EXPECT_TRUE(MenuState(*page)[ID_USERLIST_PREV]);
    EXPECT_FALSE(MenuState(*page)[ID_USERLIST_NEXT]);

    page->OnCommand(ID_USERLIST_PREV);
    EXPECT_EQ(page->CurrentPage(), 1);
    EXPECT_EQ(list->GetItemCount(), 20);

    // One user fewer: no next page.
    ASSERT_EQ(USER_DeleteUser("u19"), 1);
    page->OnClearSearch();
    EXPECT_EQ(list->GetItemCount(), 19);
    EXPECT_FALSE(Enabled(page.get(), IDC_NEXT_PAGE));
}

TEST_F(UserListTest, SearchPagesWithItsKeywordAndAnEmptyBoxGetsTheBalloon)
{
    AddUsers(25, "ab");
    AddUsers(5, "zz", 30001);
    auto page = Page();
    CSkinListCtrl* list = page->List();
    QComboBox* box = page->SearchBox();

    // Empty box: the balloon at the box, the table as it was.
    Click(page.get(), IDOK);
    ExpectBalloon(QStringLiteral("请输入要查找的关键字！"), box);
    EXPECT_EQ(list->GetItemCount(), 20);
    EXPECT_TRUE(page->Keyword().isEmpty());

    // Enter in the box searches.
    box->setEditText(QStringLiteral("ab"));
    QTest::keyClick(box->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(page->Keyword(), "ab");
    ASSERT_EQ(list->GetItemCount(), 20);
    for (const QString& name : Column(list, 1))
        EXPECT_TRUE(name.startsWith("ab")) << name.toStdString();
    EXPECT_TRUE(Enabled(page.get(), IDC_NEXT_PAGE));

    Click(page.get(), IDC_NEXT_PAGE);
    EXPECT_EQ(page->CurrentPage(), 2);
    EXPECT_EQ(Column(list, 1), (QStringList{"ab21", "ab22", "ab23", "ab24", "ab25"}));
    EXPECT_FALSE(Enabled(page.get(), IDC_NEXT_PAGE));
    EXPECT_EQ(box->itemText(0), "ab") << "searched keywords are offered again";

    // "<": no keyword, page 1, an empty box.
    Click(page.get(), IDC_CLEAR_SEARCH);
    EXPECT_TRUE(page->Keyword().isEmpty());
    EXPECT_TRUE(box->currentText().isEmpty());
    EXPECT_EQ(page->CurrentPage(), 1);
    EXPECT_EQ(list->GetItemText(0, 0), "10001");

    // A keyword nobody matches: an empty table, no next page.
    box->setEditText(QStringLiteral("nobody"));
    page->OnSearch();
    EXPECT_EQ(list->GetItemCount(), 0);
    EXPECT_FALSE(Enabled(page.get(), IDC_NEXT_PAGE));
    EXPECT_FALSE(Enabled(page.get(), IDC_PREV_PAGE));
}

TEST_F(UserListTest, BuiltinAdministratorCanBeEditedButNeverDeleted)
{
    AddUsers(1);
    auto page = Page();
    CSkinListCtrl* list = page->List();
    Select(list, RowOf(list, 10001));
    EXPECT_TRUE(Enabled(page.get(), IDC_VIEW));
    EXPECT_FALSE(Enabled(page.get(), IDC_DELETE));
    std::map<int, bool> menu = MenuState(*page);
    EXPECT_TRUE(menu[ID_USERLIST_EDIT]);
    EXPECT_TRUE(menu[ID_USERLIST_PASSWORD]);
    EXPECT_FALSE(menu[ID_USERLIST_DELETE]);

    page->OnCommand(ID_USERLIST_DELETE);  // a menu command that got through anyway
    page->OnDelete();
    EXPECT_TRUE(m_dialogs.messages.isEmpty()) << "not even asked";
    EXPECT_TRUE(UserExists(10001));
    EXPECT_EQ(list->GetItemCount(), 2);

    Select(list, RowOf(list, 20001));
    EXPECT_TRUE(Enabled(page.get(), IDC_DELETE));
    EXPECT_TRUE(MenuState(*page)[ID_USERLIST_DELETE]);
}

TEST_F(UserListTest, DeleteAsksWithTheNameAndNoKeepsTheUser)
{
    ASSERT_EQ(AddUser(20001, "张三", ""), 1);
    ASSERT_EQ(AddUser(20002, "李四", ""), 1);
    auto page = Page();
    CSkinListCtrl* list = page->List();
    Select(list, RowOf(list, 20001));

    m_dialogs.boxAnswer = QMessageBox::No;
    Click(page.get(), IDC_DELETE);
    ASSERT_EQ(m_dialogs.messages.size(), 1);
    EXPECT_EQ(m_dialogs.messages[0], QStringLiteral("注意，此操作将不能恢复。\r\n您确定要删除用户 张三 吗？"));
    EXPECT_TRUE(UserExists(20001));
    EXPECT_EQ(RowOf(list, 20001), 1);

    m_dialogs.boxAnswer = QMessageBox::Yes;
    page->OnCommand(ID_USERLIST_DELETE);
    EXPECT_FALSE(UserExists(20001));
    EXPECT_EQ(Column(list, 0), (QStringList{"10001", "20002"}));
    EXPECT_FALSE(Enabled(page.get(), IDC_DELETE)) << "the selection went with the row";

    // A delete the store refuses (the user went meanwhile) shows the store's text; the row stays.
    Select(list, RowOf(list, 20002));
    ASSERT_EQ(USER_DeleteUser("李四"), 1);
    m_dialogs.messages.clear();
    page->OnDelete();
    ASSERT_EQ(m_dialogs.messages.size(), 2);
    EXPECT_EQ(m_dialogs.messages[1], QStringLiteral("用户 李四 不存在"));
    EXPECT_EQ(RowOf(list, 20002), 1);
}

TEST_F(UserListTest, AddedUserIsTheLastRowOnAFullSortedPage)
{
    AddUsers(19);
    auto page = Page();
    CSkinListCtrl* list = page->List();
    page->OnColumnClick(1);  // names ascending
    page->OnColumnClick(1);  // and descending
    ASSERT_EQ(list->GetItemText(0, 1), "u19");

    int opened = 0;
    m_dialogs.runDialog = [&](QDialog& dlg) {
        ++opened;
        auto* create = dynamic_cast<CNewUserDlg*>(&dlg);
        EXPECT_NE(create, nullptr);
        page->OnAdd();  // a second request while the dialog is open does nothing
        dlg.show();
        SetText(&dlg, IDC_USER_NUMBER, "20500");
        SetText(&dlg, IDC_USER_NAME, "new");
        dlg.accept();
        return dlg.result();
    };
    Click(page.get(), IDC_ADD_USER);
    EXPECT_EQ(opened, 1);
    ASSERT_EQ(list->GetItemCount(), 21);
    EXPECT_EQ(list->GetItemText(20, 0), "20500");
    EXPECT_EQ(list->GetItemText(20, 1), "new");
    EXPECT_EQ(list->GetSelectedItem(), 20);
    EXPECT_TRUE(list->GetItemState(20, CSkinListCtrl::StateFocused));
    EXPECT_TRUE(Enabled(page.get(), IDC_DELETE));
    EXPECT_FALSE(Enabled(page.get(), IDC_NEXT_PAGE)) << "21 rows are not exactly a page";

    // Cancelled: nothing added; and the guard is down again.
    m_dialogs.runDialog = [&](QDialog&) {
        ++opened;
        return int(QDialog::Rejected);
    };
    page->OnCommand(ID_USERLIST_ADD);
    EXPECT_EQ(opened, 2);
    EXPECT_EQ(list->GetItemCount(), 21);

    // The next load puts it where the library does: on the second page.
    page->OnNextPage();
    EXPECT_EQ(Column(list, 0), QStringList{"20500"});
}

TEST_F(UserListTest, CreateForDeviceRunsTheDialogInDeviceMode)
{
    UserRecord blank{};
    blank.number = kBlankDeviceId;
    blank.weight = 70;
    g_pDeviceUser = &blank;
    auto page = Page();
    m_dialogs.runDialog = [&](QDialog& dlg) {
        dlg.show();
        EXPECT_TRUE(GetDlgItemAs<QCheckBox>(&dlg, IDC_WRITE_DEVICE)->isChecked()) << "a blank pedometer is written";
        SetText(&dlg, IDC_USER_NUMBER, "20600");
        SetText(&dlg, IDC_USER_NAME, "walker");
        dlg.accept();
        return dlg.result();
    };
    page->CreateUserForDevice();
    g_pDeviceUser = nullptr;
    // Device mode hands the new user to the device link, which makes it the pedometer's record.
    EXPECT_EQ(blank.number, 20600);
    EXPECT_EQ(page->List()->GetItemText(page->List()->GetItemCount() - 1, 1), "walker");
}

TEST_F(UserListTest, EditRewritesNameSexAgeWeightAndStrideOnly)
{
    ASSERT_EQ(AddUser(20001, "before", "", 0), 1);
    auto page = Page();
    CSkinListCtrl* list = page->List();
    const int row = RowOf(list, 20001);
    Select(list, row);
    m_dialogs.runDialog = [&](QDialog& dlg) {
        EXPECT_NE(dynamic_cast<CEditUserDlg*>(&dlg), nullptr);
        dlg.show();
        SetText(&dlg, IDC_USER_NAME, "after");
        GetDlgItemAs<QComboBox>(&dlg, IDC_USER_SEX)->setCurrentIndex(1);
        SetText(&dlg, IDC_USER_AGE, "41");
        SetText(&dlg, IDC_USER_WEIGHT, "72");
        SetText(&dlg, IDC_USER_STRIDE, "66");
        dlg.accept();
        return dlg.result();
    };
    Click(page.get(), IDC_VIEW);
    EXPECT_EQ(StoredUser(20001).age, 41);
    EXPECT_EQ(list->GetItemText(row, 0), "20001");
    EXPECT_EQ(list->GetItemText(row, 1), "after");
    EXPECT_EQ(list->GetItemText(row, 2), "女");
    EXPECT_EQ(list->GetItemText(row, 3), "41");
    EXPECT_EQ(list->GetItemText(row, 4), "72");
    EXPECT_EQ(list->GetItemText(row, 5), "66");
    EXPECT_EQ(list->GetItemText(row, 6), "普通用户");

    // Cancelled: nothing changes.
    m_dialogs.runDialog = [&](QDialog& dlg) {
        dlg.show();
        SetText(&dlg, IDC_USER_NAME, "ignored");
        return int(QDialog::Rejected);
    };
    page->OnCommand(ID_USERLIST_EDIT);
    EXPECT_EQ(list->GetItemText(row, 1), "after");
}

TEST_F(UserListTest, PasswordOfTheSelectedUserChanges)
{
    ASSERT_EQ(AddUser(20001, "pw", "old"), 1);
    auto page = Page();
    Select(page->List(), RowOf(page->List(), 20001));
    m_dialogs.runDialog = [&](QDialog& dlg) {
        EXPECT_NE(dynamic_cast<CPasswordDlg*>(&dlg), nullptr);
        dlg.show();
        SetText(&dlg, IDC_USER_PASSWORD, "fresh");
        SetText(&dlg, IDC_USER_CONFIRM, "fresh");
        dlg.accept();
        return dlg.result();
    };
    page->OnCommand(ID_USERLIST_PASSWORD);
    EXPECT_EQ(RecordPassword(StoredUser(20001)), PasswordDigestOf("fresh"));
}

TEST_F(UserListTest, StepDataMessageCarriesItsOwnCopyOfTheRecord)
{
    ASSERT_EQ(AddUser(20001, "walker", ""), 1);
    Owner owner;
    auto page = Page();
    page->SetOwner(&owner);
    CSkinListCtrl* list = page->List();
    const int row = RowOf(list, 20001);
    Select(list, row);
    // A double click on the row, then a reload that releases every row's record before the
    // message is handled: the owner still reads the user it was sent.
    const QRect rect = list->visualItemRect(list->topLevelItem(row));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    page->OnCommand(ID_USERLIST_STEPDATA);
    page->OnClearSearch();
    QCoreApplication::processEvents();
    ASSERT_EQ(owner.received.size(), 2u);
    for (const UserRecord& r : owner.received) {
        EXPECT_EQ(r.number, 20001);
        EXPECT_EQ(RecordName(r), "walker");
    }

    // Without an owner the parent hears it; with nothing selected nobody does.
    struct Counter : QObject {
        int seen = 0;
        bool eventFilter(QObject*, QEvent* e) override
        {
            seen += e->type() == MessageType(WM_SHOW_USER_DATA);
            return false;
        }
    } counter;
    QWidget host;
    host.installEventFilter(&counter);
    CUserListDlg child(&host);
    child.LoadFirstPage();
    Select(child.List(), 0);
    child.OnViewStepData();
    child.List()->SetItemState(-1, 0, CSkinListCtrl::StateSelected);
    child.OnViewStepData();
    EXPECT_FALSE(MenuState(child)[ID_USERLIST_STEPDATA]);
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.seen, 1);
}

TEST_F(UserListTest, HeaderClicksSortTheShownRows)
{
    ASSERT_EQ(AddUser(100000, "bob", ""), 1);
    ASSERT_EQ(AddUser(99999, "Carl", ""), 1);
    ASSERT_EQ(AddUser(20000, "ann", ""), 1);
    auto page = Page();
    CSkinListCtrl* list = page->List();
    ASSERT_EQ(Column(list, 0), (QStringList{"10001", "20000", "99999", "100000"}));
    list->SetItemState(RowOf(list, 99999), CSkinListCtrl::StateSelected, CSkinListCtrl::StateSelected);

    // The first click on 号码: direction 1, numbers ascending (not as texts).
    page->OnColumnClick(0);
    EXPECT_EQ(Column(list, 0), (QStringList{"10001", "20000", "99999", "100000"}));
    EXPECT_EQ(list->property("SORT_COLUMN").toInt(), 0);
    EXPECT_EQ(list->property("SORT_DIRECTION").toInt(), 1);
    EXPECT_EQ(list->GetHeaderCtrl()->SortColumn(), 0);
    EXPECT_EQ(list->GetHeaderCtrl()->SortAscending(), 1);
    page->OnColumnClick(0);
    EXPECT_EQ(Column(list, 0), (QStringList{"100000", "99999", "20000", "10001"}));

    // Back to direction 1, then 用户名 keeps it: names descending, byte by byte.
    page->OnColumnClick(0);
    page->OnColumnClick(1);
    EXPECT_EQ(list->property("SORT_DIRECTION").toInt(), 1);
    EXPECT_EQ(Column(list, 1), (QStringList{"bob", "ann", "Carl", "Admin"}));
    EXPECT_EQ(list->GetHeaderCtrl()->SortColumn(), 1);
    EXPECT_EQ(list->GetItemText(list->GetSelectedItem(), 0), "99999") << "the selection follows its row";
    page->OnColumnClick(1);
    EXPECT_EQ(Column(list, 1), (QStringList{"Admin", "Carl", "ann", "bob"}));
    // A quick double click on the header is two clicks: the direction flips twice.
    QHeaderView* header = list->GetHeaderCtrl();
    const QPoint nameHeader(header->sectionViewportPosition(1) + 20, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, nameHeader);
    QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, nameHeader);
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, nameHeader);
    EXPECT_EQ(list->property("SORT_DIRECTION").toInt(), 0);
    EXPECT_EQ(Column(list, 1), (QStringList{"Admin", "Carl", "ann", "bob"}));

    // Equal numbers (every age is 30) still give every row once, in a valid order.
    for (int c : {3, 3, 4}) {
        page->OnColumnClick(c);
        QStringList numbers = Column(list, 0);
        numbers.sort();
        EXPECT_EQ(numbers, (QStringList{"100000", "10001", "20000", "99999"}));
    }

    // The next load shows the library's order; the sort state stays.
    page->OnClearSearch();
    EXPECT_EQ(Column(list, 0), (QStringList{"10001", "20000", "99999", "100000"}));
    EXPECT_EQ(list->property("SORT_COLUMN").toInt(), 4);
}

TEST(UserListSort, ComparisonOfTheListPage)
{
    // Numbers: direction 1 smaller first, 0 larger first, never 0.
    EXPECT_LT(CompareUserListTexts("9", "10", 0, 1), 0);
    EXPECT_LT(CompareUserListTexts("10", "100", 3, 1), 0);
    EXPECT_GT(CompareUserListTexts("100", "9", 4, 1), 0);
    EXPECT_LT(CompareUserListTexts("100", "9", 5, 0), 0);
    EXPECT_NE(CompareUserListTexts("30", "30", 3, 0), 0);
    EXPECT_NE(CompareUserListTexts("30", "30", 3, 1), 0);
    EXPECT_LT(CompareUserListTexts("", "1", 0, 1), 0) << "no number reads as 0";
    EXPECT_LT(CompareUserListTexts("12abc", "13", 0, 1), 0) << "the leading number counts";
    // Texts: byte by byte as UTF-8, direction 0 ascending, equal texts 0.
    EXPECT_LT(CompareUserListTexts("Zed", "abe", 1, 0), 0);
    EXPECT_GT(CompareUserListTexts("Zed", "abe", 1, 1), 0);
    EXPECT_LT(CompareUserListTexts("zz", "女", 2, 0), 0) << "bytes above 127 are large";
    EXPECT_LT(CompareUserListTexts("ab", "abc", 6, 0), 0);
    EXPECT_EQ(CompareUserListTexts("男", "男", 2, 1), 0);
    // Direction rule: same column flips, another keeps.
    EXPECT_EQ(UserListSortDirection(0, 0, 0), 1);
    EXPECT_EQ(UserListSortDirection(0, 1, 0), 0);
    EXPECT_EQ(UserListSortDirection(0, 1, 1), 1);
    EXPECT_EQ(UserListSortDirection(3, 0, 1), 0);
}

TEST_F(UserListTest, ContextMenuOpensAtTheKeyboardAndRunsTheChosenCommand)
{
    AddUsers(19);
    auto page = Page();
    CSkinListCtrl* list = page->List();
    Select(list, 0);
    list->setFocus();
    // Choose "下一页" from the menu the menu key opens.
    QTimer::singleShot(0, [] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        QStringList texts;
        for (QAction* a : menu->actions())
            texts << a->text();
        EXPECT_TRUE(texts.contains(QStringLiteral("导出计步数据…")));
        for (QAction* a : menu->actions()) {
            if (a->data().toInt() == ID_USERLIST_NEXT)
                menu->setActiveAction(a);
        }
        QTest::keyClick(menu, Qt::Key_Return);
    });
    QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(5, 5), list->mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(list, &key);
    EXPECT_EQ(page->CurrentPage(), 2);
}

// ---- exports through the page ----------------------------------------------------------------

TEST_F(UserListTest, ExportWritesTheTableAsShownInBothFormats)
{
    ASSERT_EQ(AddUser(20001, "张三", ""), 1);
    ASSERT_EQ(AddUser(20002, "Émile", "", 1), 1);
    auto page = Page();
    page->OnColumnClick(1);  // as displayed: sorted
    const QTemporaryDir out;

    ExportAs(*page, out.filePath("list"), 0);  // no extension typed: the .xls filter's
    ASSERT_EQ(m_dialogs.messages, QStringList{"导出成功！"});
    EXPECT_TRUE(m_dialogs.savePrompts.value(0).endsWith("/用户列表"));
    const ReadBook xls = ReadXlsWithFreexl(out.filePath("list.xls"));
    ASSERT_EQ(xls.size(), 2u);
    EXPECT_EQ(xls[0].rows, Shown(*page));
    EXPECT_TRUE(xls[1].rows.empty());

    ExportAs(*page, out.filePath("list"), 1);
    ExportAs(*page, out.filePath("typed.xlsx"), 0);  // an offered extension typed wins over the filter
    EXPECT_EQ(m_dialogs.messages, QStringList{"导出成功！"});
    for (const char* name : {"list.xlsx", "typed.xlsx"}) {
        const ReadBook xlsx = ReadWithXlrd(out.filePath(name));
        ASSERT_EQ(xlsx.size(), 2u) << name;
        EXPECT_EQ(xlsx[0].rows, Shown(*page)) << name;
    }
    EXPECT_FALSE(QFile::exists(out.filePath("typed.xlsx.xls")));
}

TEST_F(UserListTest, ExportOfAnEmptyTableAndTwiceToOneFile)
{
    AddUsers(3);
    auto page = Page();
    const QTemporaryDir out;
    const QString file = out.filePath("list.xls");
    ExportAs(*page, file, 0);
    ASSERT_EQ(ReadXlsWithFreexl(file)[0].rows.size(), 7u);

    // The second time the file exists: asked, No asks for another name (cancelled here).
    page->SearchBox()->setEditText("nobody");
    page->OnSearch();
    m_dialogs.boxAnswer = QMessageBox::No;
    int asked = 0;
    m_dialogs.saveFileName = [&](const QString&, const QStringList&, int&) { return ++asked == 1 ? file : QString(); };
    m_dialogs.messages.clear();
    page->OnExport();
    EXPECT_EQ(asked, 2);
    ASSERT_EQ(m_dialogs.messages.size(), 1);
    EXPECT_EQ(m_dialogs.messages[0], QStringLiteral("“%1”已经存在。\r\n要替换它吗？").arg(file));
    EXPECT_EQ(ReadXlsWithFreexl(file)[0].rows.size(), 7u);

    // Yes replaces it: title and headings only.
    m_dialogs.boxAnswer = QMessageBox::Yes;
    m_dialogs.saveFileName = [&](const QString&, const QStringList&, int&) { return file; };
    m_dialogs.messages.clear();
    page->OnExport();
    EXPECT_EQ(m_dialogs.messages.value(1), QStringLiteral("导出成功！"));
    EXPECT_EQ(ReadXlsWithFreexl(file)[0].rows, Shown(*page));
    EXPECT_EQ(Shown(*page).size(), 3u);
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"list.xls"});
}

TEST_F(UserListTest, ExportThatCannotBeWrittenSaysWhyAndKeepsTheFile)
{
    AddUsers(19);
    auto page = Page();
    const QTemporaryDir out;
    const QString file = out.filePath("full.xlsx");
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write("earlier") == 7);
    }
    {
        const FileSizeLimit diskFull(1000);  // the disk fills up half way
        ASSERT_TRUE(diskFull.Active());
        ExportAs(*page, file, 1);
    }

    ASSERT_EQ(m_dialogs.messages.size(), 2);  // the replace question, then the failure
    EXPECT_TRUE(m_dialogs.messages[1].startsWith(QStringLiteral("导出失败。\r\n无法保存“%1”：").arg(file)))
        << m_dialogs.messages[1].toStdString();
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "earlier");
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"full.xlsx"});

    // A folder in the way, in English.
    ASSERT_TRUE(QDir(out.path()).mkdir("folder.xls"));
    m_dialogs.messages.clear();
    ASSERT_TRUE(SwitchLanguage(1));
    ExportAs(*page, out.filePath("folder.xls"), 0);
    SwitchLanguage(0);
    ASSERT_EQ(m_dialogs.messages.size(), 1) << "a folder is not offered for replacing";
    EXPECT_EQ(m_dialogs.messages[0],
              QStringLiteral("The export failed.\r\n\"%1\" is a folder; a file cannot be saved in its place.")
                  .arg(out.filePath("folder.xls")));
}
