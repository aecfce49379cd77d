#pragma once
// Resource numbers: dialogs (IDD_*), controls (IDC_*), menus, commands, icons, cursors.
// Strings are referred to by their number directly (LoadStr(102)).

// ---- application shell ----
constexpr int IDD_ABOUTBOX = 100;
constexpr int IDD_MAIN = 102;
constexpr int IDR_MAINFRAME = 128;      // program icon
constexpr int IDD_PICTURE_PANE = 130;
constexpr int IDC_SHOW_PICTURE = 1002;
constexpr int IDD_LOGIN_PAGE = 131;
constexpr int IDD_NAV_PANEL = 133;
constexpr int IDR_TRAY_MENU = 145;      // also the tray icon id
constexpr int ID_TRAY_SHOWHIDE = 32771;
constexpr int ID_TRAY_EXIT = 32772;
constexpr int IDM_ABOUTBOX = 0x10;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDC_ABOUT_VERSION = 1000;
