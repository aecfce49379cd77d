#pragma once
// The logged-in user page (dialog 133): the page bar with the home page, the chart page and,
// for an administrator with user management on, the user list; the toolbar strip along the
// bottom; the right-hand column with the user card; and the button that hides or shows that
// column. It lays them out on every resize, carries out the toolbar's commands and switches to
// the chart page of a user on request (message 1245, wParam = a UserRecord pointer that is
// copied at once and never kept).
//
// The main window creates it after every login and deletes it (deferred) at logout, so a
// command handler that logs out still runs on a valid page until it returns.

#include "accounts/UserCardDlg.h"
#include "accounts/UserListDlg.h"
#include "charts/DayDetailDlg.h"
#include "controls/Colour.h"
#include "controls/PageBarWnd.h"
#include "userpage/HomePageDlg.h"
#include "userpage/RightColumnDlg.h"
#include "userpage/ToolbarDlg.h"

#include <QPointer>
#include <QWidget>

class CSkinButton;
struct UserRecord;

class CNavPanelDlg : public QWidget {
    Q_OBJECT
public:
    static constexpr COLORREF kPageColour = 0xFFFDFF;
    static constexpr COLORREF kFrameColour = 0x99A8AC;
    static constexpr COLORREF kColumnButtonColour = 0xE0D6BE;
    static constexpr QSize kColumnButtonSize{14, 48};

    explicit CNavPanelDlg(QWidget* parent = nullptr);
    ~CNavPanelDlg() override;
    CNavPanelDlg(const CNavPanelDlg&) = delete;
    CNavPanelDlg& operator=(const CNavPanelDlg&) = delete;

    // Places toolbar, column button, right column and page bar in the client area.
    void ArrangeChildren();
    // Hides or shows the right column; the page bar takes or gives back its room.
    void ToggleRightColumn();
    // A toolbar button's command (1024 ... 1031).
    void OnToolbarCommand(int id);
    // Switches to the chart page and shows that user's days (the page keeps its own copy).
    void ShowUserData(const UserRecord& user);

    CPageBarWnd* PageBar() const { return m_pageBar; }
    CHomePageDlg* HomePage() const { return m_homePage; }
    CUserListDlg* UserList() const { return m_userList; }
    CDayDetailDlg* ChartPage() const { return m_chartPage; }
    CToolbarDlg* Toolbar() const { return m_toolbar; }
    CRightColumnDlg* RightColumn() const { return m_rightColumn; }
    CUserCardDlg* UserCard() const { return m_userCard; }
    CSparePaneDlg* SparePane() const { return m_sparePane; }
    CSkinButton* ColumnButton() const { return m_columnButton; }
    bool ColumnShown() const { return m_columnShown; }
    // The user's own folder could not be made: the chart keeps its default colours.
    bool UserFolderFailed() const { return m_userFolderFailed; }

public slots:
    // The main window moved: the toolbar strip shows itself again over the new background.
    void OnMainWindowMoved();
    // A blank pedometer is waiting: the user list opens its create-user dialog for it.
    void CreateUserForDevice();

protected:
    bool event(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void PrepareUserFolder();
    void CreatePages();
    void CreateColumn();
    void ChainTabOrder();
    void OnProfileEdited();
    // New days were read from the pedometer (toolbar) / stored for a user (its arrival).
    void OnDaysRead();
    void OnDaysStored(int number);

    QPointer<CPageBarWnd> m_pageBar;
    QPointer<CHomePageDlg> m_homePage;
    QPointer<CUserListDlg> m_userList;
    QPointer<CDayDetailDlg> m_chartPage;
    QPointer<CToolbarDlg> m_toolbar;
    QPointer<CRightColumnDlg> m_rightColumn;
    QPointer<CUserCardDlg> m_userCard;
    QPointer<CSparePaneDlg> m_sparePane;
    CSkinButton* m_columnButton = nullptr;  // a child of the panel
    bool m_columnShown = true;
    COLORREF m_columnButtonColour = kColumnButtonColour;
    int m_chartUserNumber = 0;  // whose days the chart page shows
    bool m_userFolderFailed = false;
};
