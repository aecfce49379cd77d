#pragma once
// Process-wide values set at start-up and by the main window.

#include "core/Paths.h"  // where files live

#include <QString>

struct UserRecord;
class CLanguagePack;

extern QString g_strAppPath;      // program folder, always ending in exactly one '/'
extern QString g_strAppName;      // program file name without folder and extension
extern QString g_strSkinName;     // skin folder name
extern int g_nLanguage;           // language index read at start-up
extern const CLanguagePack* g_hLangRes;  // the loaded language pack, or null for the built-in texts
extern bool g_bUserManagement;    // the program ini's Writeu begins with '1'
// The connected pedometer's record, or null. It points into the device link's own record and is
// set only by the device link; nobody else owns or releases it.
extern UserRecord* g_pDeviceUser;
// The logged-in user's record, or null. It is this program's own copy, owned here: it changes
// only through SetLoginUser and ReleaseLoginUser, so it never aliases the pedometer's record.
extern UserRecord* const& g_pLoginUser;

// Makes a copy of user the logged-in record, releasing the previous one.
void SetLoginUser(const UserRecord& user);
// Releases the logged-in record; g_pLoginUser becomes null.
void ReleaseLoginUser();

// Reads SkinName and Writeu from the program ini into g_strSkinName and g_bUserManagement.
void ReadProgramIni();
// Whether a Writeu value switches user management on: only its first character counts.
bool WriteuIsOn(const QString& value);
