#pragma once
// Process-wide values set at start-up and by the main window.

#include <QString>

struct UserRecord;
class CLanguagePack;

extern QString g_strAppPath;      // program folder, always ending in exactly one '/'
extern QString g_strAppName;      // program file name without folder and extension
extern QString g_strSkinName;     // skin folder name
extern int g_nLanguage;           // language index read at start-up
extern const CLanguagePack* g_hLangRes;  // the loaded language pack, or null for the built-in texts
extern bool g_bUserManagement;    // the program ini's Writeu begins with '1'
extern UserRecord* g_pDeviceUser; // record of the connected pedometer, or null
extern UserRecord* g_pLoginUser;  // record of the logged-in user, or null

// "<program folder>Skin/<skin name>/"
QString SkinFolder();
// "<skin folder>Set.ini"
QString SkinIniPath();
// "<program folder><program name>.ini"
QString ProgramIniPath();
// "<program folder>Language.ini"
QString LanguageIniPath();

// Splits a program file path into g_strAppPath (folder with one trailing '/') and g_strAppName.
void SetProgramPaths(const QString& programFile);
// The folder part of a file path with exactly one trailing '/' ("/" for a file at the root).
QString FolderWithSeparator(const QString& filePath);
// Reads SkinName and Writeu from the program ini into g_strSkinName and g_bUserManagement.
void ReadProgramIni();
// Whether a Writeu value switches user management on: only its first character counts.
bool WriteuIsOn(const QString& value);
