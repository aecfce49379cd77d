#include "core/StoreText.h"

#include "core/StringTable.h"
#include "external/userdb/UserDb.h"

QString StoreErrorText(int code)
{
    std::string detail;
    const int id = USER_GetErrorTextId(code, detail);
    return ReplaceR(LoadStr(id), QString::fromStdString(detail));
}
