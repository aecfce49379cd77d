#pragma once
// The logged-in user page (dialog 133) that the main window hosts after a login.

class QWidget;

// Makes the user page for the logged-in user (g_pLoginUser).
QWidget* CreateUserPage(QWidget* parent);
