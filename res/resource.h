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

// ---- accounts: login page and dialog, user dialogs, password dialog ----
constexpr int IDD_LOGIN_DLG = 144;
constexpr int IDD_NEW_USER = 138;
constexpr int IDD_EDIT_USER = 150;
constexpr int IDD_PASSWORD = 152;
constexpr int IDC_LOGIN_LOGO = 1005;
constexpr int IDC_PASSWORD = 1006;          // login page / login dialog password
constexpr int IDC_SLOT_NAME0 = 1012;
constexpr int IDC_SLOT_NAME1 = 1013;
constexpr int IDC_SLOT_NAME2 = 1014;
constexpr int IDC_SLOT_RIGHTS = 1015;
constexpr int IDC_SLOT_PICTURE0 = 1016;
constexpr int IDC_SLOT_PICTURE1 = 1017;
constexpr int IDC_SLOT_PICTURE2 = 1018;
constexpr int IDC_LOGIN_EXIT = 1019;
constexpr int IDC_OTHER_USER = 1047;
constexpr int IDC_LANGUAGE = 1050;
constexpr int IDC_LANGUAGE_LABEL = 1087;
constexpr int IDC_USER_NUMBER = 1033;
constexpr int IDC_USER_NAME = 1032;
constexpr int IDC_USER_SEX = 1043;
constexpr int IDC_USER_AGE = 1036;
constexpr int IDC_USER_WEIGHT = 1037;
constexpr int IDC_USER_HEIGHT = 1040;       // also the old password in the password dialog
constexpr int IDC_USER_STRIDE = 1039;
constexpr int IDC_USER_TARGET_KCAL = 1095;
constexpr int IDC_USER_ALARM = 1094;
constexpr int IDC_WRITE_DEVICE = 1088;
constexpr int IDC_USER_PASSWORD = 1038;     // new password
constexpr int IDC_USER_CONFIRM = 1007;      // confirmation
constexpr int IDC_USER_RIGHTS = 1044;
constexpr int IDC_CHECK_NUMBER = 1099;
constexpr int IDC_NUMBER_STATUS = 1100;
constexpr int IDC_OLD_PASSWORD = 1040;

// ---- dialogs and controls (collected) ----
constexpr int IDD_TOOLBAR = 134;
constexpr int IDD_RIGHT_COLUMN = 135;
constexpr int IDD_HOME_PAGE = 137;
constexpr int IDD_USER_CARD = 140;
constexpr int IDD_SPARE_PANE = 141;
constexpr int IDC_HOT_CURSOR = 146;         // cursor resource over a chart's hot item
constexpr int IDD_DEVICE_FOUND = 149;
constexpr int IDR_USERLIST_MENU = 154;
constexpr int IDD_PRINT_SET = 155;
constexpr int IDD_USER_LIST = 156;
constexpr int IDB_PATTERN0 = 157;           // monochrome fill patterns 157..160
constexpr int IDD_SYNC = 161;
constexpr int IDD_READ_DATA = 162;
constexpr int IDD_DAY_DETAIL = 167;
constexpr int IDD_READ_PROGRESS = 170;
constexpr int IDD_SET_PAGE_CHART = 175;
// toolbar strip
constexpr int IDC_TB_PRINT = 1024;
constexpr int IDC_TB_USB = 1025;
constexpr int IDC_TB_SETTINGS = 1026;
constexpr int IDC_TB_LOGOUT = 1027;
constexpr int IDC_TB_ABOUT = 1028;
constexpr int IDC_TB_PROFILE = 1030;
constexpr int IDC_TB_PASSWORD = 1031;
constexpr int IDC_COLUMN_TOGGLE = 1029;     // user page: hide/show the right column
// user list page
constexpr int IDC_SEARCH = 1040;
constexpr int IDC_DELETE = 1042;            // also "delete all" of the read dialog
constexpr int IDC_VIEW = 1043;
constexpr int IDC_NEXT_PAGE = 1044;
constexpr int IDC_PREV_PAGE = 1045;
constexpr int IDC_CLEAR_SEARCH = 1046;
constexpr int IDC_ADD_USER = 1047;
constexpr int IDC_LIST = 1064;              // the list of the user list, read dialog and chart page
constexpr int IDC_BROWSER = 1045;           // home page
// device found
constexpr int IDC_REMEMBER = 1056;
constexpr int IDC_MODEL = 1057;
constexpr int IDC_DEVICE_ID = 1058;
constexpr int IDC_DEVICE_NAME = 1059;
constexpr int IDC_FOUND_LOGIN = 1060;
constexpr int IDC_FOUND_NOTHING = 1061;
constexpr int IDC_FOUND_READ = 1062;
constexpr int IDC_FOUND_SYNC = 1063;
constexpr int IDC_FORGET_CHOICE = 1065;     // forgets a remembered choice (from the toolbar)
// user card
constexpr int IDC_CARD_PROFILE = 1061;
constexpr int IDC_CARD_PASSWORD = 1062;
// print settings
constexpr int IDC_PRINT_MONO = 1062;
constexpr int IDC_PRINT_COLOUR = 1063;
// profile synchronisation (PC = computer side, DEV = pedometer side)
constexpr int IDC_SYNC_TO_DEVICE = 1068;
constexpr int IDC_SYNC_TO_COMPUTER = 1069;
constexpr int IDC_PC_WEIGHT = 1071;
constexpr int IDC_PC_HEIGHT = 1072;
constexpr int IDC_DEV_HEIGHT = 1073;
constexpr int IDC_DEV_WEIGHT = 1074;
constexpr int IDC_PC_NUMBER = 1075;
constexpr int IDC_DEV_NUMBER = 1076;
constexpr int IDC_PC_AGE = 1077;
constexpr int IDC_DEV_AGE = 1078;
constexpr int IDC_PC_TARGET = 1079;
constexpr int IDC_DEV_TARGET = 1080;
constexpr int IDC_PC_ALARM = 1081;
constexpr int IDC_DEV_ALARM = 1082;
constexpr int IDC_PC_SEX = 1093;
constexpr int IDC_DEV_SEX = 1094;
// read dialog and its progress window
constexpr int IDC_SELECT_ALL = 1073;
constexpr int IDC_READ_SPARE_COMBO = 1079;
constexpr int IDC_PROGRESS_BAR = 1096;
constexpr int IDC_PROGRESS_TEXT = 1097;
constexpr int IDC_PROGRESS_HINT = 1099;
// settings sheet: chart colours
constexpr int IDC_LIMIT_COLOUR = 1084;
constexpr int IDC_CURSOR_COLOUR = 1085;
constexpr int IDC_CURVE_COLOUR = 1086;
// chart page
constexpr int IDC_EXERCISE_COMBO = 1089;
constexpr int IDC_DAY_SCROLL = 1092;
constexpr int IDC_DAY_PICKER = 1094;
// user list context menu
constexpr int ID_USERLIST_STEPDATA = 32783;
constexpr int ID_USERLIST_PREV = 32784;
constexpr int ID_USERLIST_NEXT = 32785;
constexpr int ID_USERLIST_EDIT = 32786;
constexpr int ID_USERLIST_PASSWORD = 32787;
constexpr int ID_USERLIST_DELETE = 32788;
constexpr int ID_USERLIST_ADD = 32789;
constexpr int ID_USERLIST_EXPORT = 32792;
constexpr int ID_USERLIST_EXPORT_DAYS = 32793;  // the selected user's stored days
// Labels, group boxes and units: give them these numbers (SetCtrlId) so that
// ApplyDialogTexts labels them and a language pack can translate them.
constexpr int IDC_LABEL_NUMBER = 1201;
constexpr int IDC_LABEL_NAME = 1202;
constexpr int IDC_LABEL_SEX = 1203;
constexpr int IDC_LABEL_AGE = 1204;
constexpr int IDC_LABEL_WEIGHT = 1205;
constexpr int IDC_LABEL_HEIGHT = 1206;
constexpr int IDC_LABEL_STRIDE = 1207;
constexpr int IDC_LABEL_TARGET = 1208;
constexpr int IDC_LABEL_ALARM = 1209;
constexpr int IDC_LABEL_PASSWORD = 1210;
constexpr int IDC_LABEL_CONFIRM = 1211;
constexpr int IDC_LABEL_RIGHTS = 1212;
constexpr int IDC_LABEL_OLD_PASSWORD = 1213;
constexpr int IDC_LABEL_NEW_PASSWORD = 1214;
constexpr int IDC_COLOUR_GROUP = 1215;
constexpr int IDC_LABEL_LIMIT_COLOUR = 1216;
constexpr int IDC_LABEL_CURSOR_COLOUR = 1217;
constexpr int IDC_LABEL_CURVE_COLOUR = 1218;
constexpr int IDC_SPARE_TEXT = 1219;
constexpr int IDC_LABEL_COMPUTER = 1220;
constexpr int IDC_LABEL_PEDOMETER = 1221;
constexpr int IDC_UNIT_AGE = 1223;
constexpr int IDC_UNIT_WEIGHT = 1224;
constexpr int IDC_UNIT_HEIGHT = 1225;
constexpr int IDC_UNIT_STRIDE = 1226;
constexpr int IDC_UNIT_TARGET = 1227;
constexpr int IDC_DIRECTION_GROUP = 1228;
