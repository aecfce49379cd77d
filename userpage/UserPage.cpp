#include "userpage/UserPage.h"

CNavPanelDlg* CreateUserPage(QWidget* parent)
{
    return new CNavPanelDlg(parent);
}
