#include "core/Globals.h"

#include "core/DeviceLinkApi.h"
#include "core/MainWindowApi.h"
#include "core/Paths.h"
#include "core/Profile.h"
#include "external/records/Records.h"

#include <memory>

QString g_strAppPath;
QString g_strAppName;
QString g_strSkinName = QStringLiteral("标准");
int g_nLanguage = 0;
const CLanguagePack* g_hLangRes = nullptr;
bool g_bUserManagement = false;
UserRecord* g_pDeviceUser = nullptr;

namespace {
std::unique_ptr<UserRecord> g_loginUser;
UserRecord* g_loginUserView = nullptr;
}  // namespace
UserRecord* const& g_pLoginUser = g_loginUserView;

void SetLoginUser(const UserRecord& user)
{
    g_loginUser = std::make_unique<UserRecord>(user);
    g_loginUserView = g_loginUser.get();
}

void ReleaseLoginUser()
{
    g_loginUser.reset();
    g_loginUserView = nullptr;
}

IMainWindow* g_pMainWindow = nullptr;
IDeviceLink* g_pDeviceLink = nullptr;

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
