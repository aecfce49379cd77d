#pragma once
// The user management page (dialog 156): every user, 20 to a page, with search, view/edit,
// delete, add, change password, a jump to a user's step data and exports. The user page shows
// it as a page of its page bar for an administrator while user management is on; the page
// itself checks no rights.
//
// Each row carries a copy of its user's record that the page owns; a reload, a delete and the
// page's end release them. The sort state lives on the table as the properties "SORT_COLUMN"
// and "SORT_DIRECTION".

#include "controls/Colour.h"
#include "external/records/Records.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>
#include <vector>

class CSkinListCtrl;
class QComboBox;
class QMenu;
class QPushButton;
class QTimer;

// Sort kinds of the user list's columns: 0, 3, 4 and 5 hold numbers.
bool UserListColumnIsNumeric(int column);
// The list's comparison of two rows' texts in a column (negative: a first). Numbers: direction
// 0 puts larger values first, 1 smaller first, and equal values never compare as 0. Texts: byte
// by byte as UTF-8, direction 0 ascending, 1 descending.
int CompareUserListTexts(const QString& a, const QString& b, int column, int direction);
// The direction a header click sorts with: the stored direction flipped when the same column
// is clicked again, else the stored direction.
int UserListSortDirection(int lastColumn, int storedDirection, int clickedColumn);

class CUserListDlg : public QWidget {
    Q_OBJECT
public:
    static constexpr int kPageSize = 20;
    static constexpr int kBuiltinAdmin = 10001;
    static constexpr int kToolbarHeight = 39;  // the table starts this far below the top

    explicit CUserListDlg(QWidget* parent = nullptr);
    ~CUserListDlg() override;
    CUserListDlg(const CUserListDlg&) = delete;
    CUserListDlg& operator=(const CUserListDlg&) = delete;

    // The page's background (default white).
    void SetBkColour(COLORREF colour);
    // Who hears "view step data": message 1245 is posted to it (by default to the parent) with
    // wParam pointing at a copy of the row's record that the message owns, so it stays valid
    // until handled whatever the list does meanwhile; the receiver copies it.
    void SetOwner(QObject* owner) { m_owner = owner; }
    // The user page's request for a new user for the connected pedometer: the create dialog in
    // device mode, the new user appended as the selected last row.
    void CreateUserForDevice() { OnAdd(1); }

    // What the buttons and the context menu do.
    void OnSearch();
    void OnClearSearch();
    void OnNextPage();
    void OnPrevPage();
    void OnView();
    void OnDelete();
    void OnAdd(int deviceMode = 0);
    void OnChangePassword();
    void OnViewStepData();
    void OnExport();
    void OnExportStepData();
    void OnColumnClick(int column);
    // Runs a context menu command (ID_USERLIST_*).
    void OnCommand(int id);
    // The context menu with its items greyed as the page stands; each action's data is its command.
    std::unique_ptr<QMenu> CreateContextMenu();
    // The first page, as the 300 ms timer loads it.
    void LoadFirstPage();

    CSkinListCtrl* List() const { return m_list; }
    QComboBox* SearchBox() const { return m_search; }
    int CurrentPage() const { return m_page; }
    QString Keyword() const { return m_keyword; }
    // The selected row's record, or null.
    UserRecord* SelectedUser() const;

protected:
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void CreateControls();
    void InsertColumns();
    void LoadPage(int page, const QString& keyword);
    int AppendRow(std::unique_ptr<UserRecord> user);
    void ShowRowTexts(int row, const UserRecord& user, bool all);
    void EmptyTable();
    void UpdateButtons();
    void ShowContextMenu(const QPoint& globalPos);

    CSkinListCtrl* m_list = nullptr;
    QComboBox* m_search = nullptr;
    QPushButton* m_find = nullptr;
    QPushButton* m_clear = nullptr;
    QPushButton* m_view = nullptr;
    QPushButton* m_delete = nullptr;
    QPushButton* m_next = nullptr;
    QPushButton* m_prev = nullptr;
    QPushButton* m_add = nullptr;
    QTimer* m_timer1 = nullptr;
    QPointer<QObject> m_owner;

    // The rows' records; each row's item data points at one of them.
    std::vector<std::unique_ptr<UserRecord>> m_records;
    int m_page = 0;
    QString m_keyword;
    COLORREF m_bkColour = ColorRefFromRgb(255, 255, 255);
    int m_addDialogOpen = 0;
};
