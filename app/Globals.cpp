#include "app/Globals.h"

#include "app/MainWindowApi.h"
#include "app/Profile.h"

#include <QFileInfo>

QString g_strAppPath;
QString g_strAppName;
QString g_strSkinName = QStringLiteral("标准");
int g_nLanguage = 0;
const CLanguagePack* g_hLangRes = nullptr;
bool g_bUserManagement = false;
UserRecord* g_pDeviceUser = nullptr;
UserRecord* g_pLoginUser = nullptr;

IMainWindow* g_pMainWindow = nullptr;

QString SkinFolder()
{
    return g_strAppPath + QStringLiteral("Skin/") + g_strSkinName + QLatin1Char('/');
}

QString SkinIniPath()
{
    return SkinFolder() + QStringLiteral("Set.ini");
}

QString ProgramIniPath()
{
    return g_strAppPath + g_strAppName + QStringLiteral(".ini");
}

QString LanguageIniPath()
{
    return g_strAppPath + QStringLiteral("Language.ini");
}

QString FolderWithSeparator(const QString& filePath)
{
    const int slash = filePath.lastIndexOf(QLatin1Char('/'));
    QString folder = slash >= 0 ? filePath.left(slash) : QString();
    while (folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return folder + QLatin1Char('/');
}

void SetProgramPaths(const QString& programFile)
{
    g_strAppPath = FolderWithSeparator(programFile);
    g_strAppName = QFileInfo(programFile).completeBaseName();
}

bool WriteuIsOn(const QString& value)
{
    return value.startsWith(QLatin1Char('1'));
}

void ReadProgramIni()
{
    const QString ini = ProgramIniPath();
    g_strSkinName = Profile::GetString(ini, "App", "SkinName", QStringLiteral("标准"));
    g_bUserManagement = WriteuIsOn(Profile::GetString(ini, "App", "Writeu", QStringLiteral("0")));
}
