#pragma once
// The logged-in user page (dialog 133) that the main window hosts after a login.

#include "userpage/NavPanelDlg.h"

class QWidget;

// Makes the user page for the logged-in user (g_pLoginUser).
CNavPanelDlg* CreateUserPage(QWidget* parent);
