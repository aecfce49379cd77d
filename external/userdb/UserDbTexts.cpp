// The user store's texts and the last failure. The program's string table
// carries the same texts under the same numbers (600-639, 840-857), so a language
// pack can translate what USER_GetErrorMsg says (USER_GetErrorTextId).
#include "external/userdb/UserDbInternal.h"
#include "external/userdb/UserDbState.h"

#include <iterator>

namespace userdb {
namespace {

// In id order, one per StoreText.
const char* const kTexts[] = {
    "操作成功",
    "该日的计步数据已经保存过了",
    "用户数据库出错",
    "用户数据库没有打开",
    "该用户已经存在，请选择其它用户名",
    "原密码不正确",
    "找不到该用户",
    "用户资料不正确",
    "计步数据不正确",
    "内置管理员不能删除",
    "没有可用的用户号码",
    "该日没有计步数据",
    "未知错误（代码 <r>）",
    "读取用户数据库时出错：<r>",
    "写入用户数据库时出错：<r>",
    "用户名太长（最多 10 个字节）",
    "用户名不能为空",
    "号码 <r> 已被其他用户使用",
    "该用户名已被其他用户使用",
    "用户 <r> 不存在",
    "找不到号码为 <r> 的用户",
    "密码不正确",
    "计步数据的日期无效",
    "计步数据的日期不在 2000-01-01 至 2099-12-31 之间",
    "计步数据中有负数或无效的数值",
    "该日已保存了更完整的计步数据",
    "该日保存的计步数据已损坏",
    "数据表名称无效",
    "连接字符串中没有数据源（Data Source）",
    "用户数据库所在的文件夹不存在：<r>",
    "用户数据库所在的文件夹不可写：<r>",
    "用户数据库不是可读写的文件：<r>",
    "无法打开用户数据库：<r>",
    "不是有效的用户数据库：<r>",
    "该文件是其他程序的数据库，不是本程序的用户数据库：<r>",
    "用户数据库的版本（<r>）比本程序支持的版本新，请使用新版本的程序",
    "无法设置用户数据库：<r>",
    "无法创建或升级用户数据库：<r>",
    "用户数据库中没有所需的数据表：<r>",
    "计步数据的日期 <r> 晚于今天",
};
static_assert(std::size(kTexts) == kUserDbLastTextId - kUserDbFirstTextId + 1);

// The store's files, copies and restore, in id order from kUserDbFileFirstTextId.
const char* const kFileTexts[] = {
    "用户数据库已损坏",
    "用户数据库不见了，但还有备份",
    "用户数据库正在被使用",
    "该备份不能恢复",
    "无法备份用户数据库",
    "用户数据库已损坏，程序没有改动它：<r>",
    "用户数据库文件不完整（被截短了），程序没有改动它：<r>",
    "用户数据库不存在，但备份文件夹中有备份，程序没有新建数据库：<r>",
    "用户数据库是空文件（0 字节），但备份文件夹中有备份，程序没有改动它：<r>",
    "无法备份用户数据库：<r>",
    "备份副本没有通过检查，已将其删除：<r>",
    "该备份已损坏，不能恢复：<r>",
    "该文件不是本程序的用户数据库，不能恢复：<r>",
    "用户数据库正在被使用，请先退出程序：<r>",
    "无法用备份替换用户数据库：<r>",
    "文件不存在：<r>",
    "文件是空的（0 字节）：<r>",
    "没有可以恢复的备份：<r>",
};
static_assert(std::size(kFileTexts) == kUserDbFileLastTextId - kUserDbFileFirstTextId + 1);

}  // namespace

std::string RenderText(StoreText text, const std::string& detail)
{
    std::string out = UserDbBuiltinText(static_cast<int>(text));
    const size_t at = out.find("<r>");
    if (at != std::string::npos)
        out.replace(at, 3, detail);
    return out;
}

StoreText TextOfCode(int code)
{
    switch (code) {
    case USER_OK:
        return StoreText::Ok;
    case USER_ERR_ALREADY_STORED:
        return StoreText::AlreadyStored;
    case USER_ERR_GENERAL:
        return StoreText::General;
    case USER_ERR_NOT_OPEN:
        return StoreText::NotOpen;
    case USER_ERR_EXISTS:
        return StoreText::Exists;
    case USER_ERR_WRONG_PASSWORD:
        return StoreText::WrongPassword;
    case USER_ERR_NOT_FOUND:
        return StoreText::NotFound;
    case USER_ERR_INVALID:
        return StoreText::Invalid;
    case USER_ERR_BAD_DAY:
        return StoreText::BadDay;
    case USER_ERR_BUILTIN:
        return StoreText::Builtin;
    case USER_ERR_NO_FREE_NUMBER:
        return StoreText::NoFreeNumber;
    case USER_ERR_NO_DATA:
        return StoreText::NoData;
    case USER_ERR_DAMAGED:
        return StoreText::Damaged;
    case USER_ERR_STORE_MISSING:
        return StoreText::MissingWithBackups;
    case USER_ERR_IN_USE:
        return StoreText::InUse;
    case USER_ERR_BAD_BACKUP:
        return StoreText::BadBackup;
    case USER_ERR_BACKUP_FAILED:
        return StoreText::BackupFailed;
    default:
        return StoreText::UnknownCode;
    }
}

int Fail(int code, StoreText text, std::string detail)
{
    g_last = LastFailure{code, text, std::move(detail)};
    return code;
}

int Succeed(int code)
{
    g_last = LastFailure{code, TextOfCode(code), std::string()};
    return code;
}

std::string LastText()
{
    return RenderText(g_last.text, g_last.detail);
}

}  // namespace userdb

using namespace userdb;

const char* UserDbBuiltinText(int id)
{
    if (id >= kUserDbFirstTextId && id <= kUserDbLastTextId)
        return kTexts[id - kUserDbFirstTextId];
    if (id >= kUserDbFileFirstTextId && id <= kUserDbFileLastTextId)
        return kFileTexts[id - kUserDbFileFirstTextId];
    return "";
}

int USER_GetErrorTextId(int code, std::string& detail)
{
    std::lock_guard lock(g_mutex);
    // The operation that returned the code last knows precisely what failed.
    if (code == g_last.code) {
        detail = g_last.detail;
        return static_cast<int>(g_last.text);
    }
    const StoreText text = TextOfCode(code);
    detail = text == StoreText::UnknownCode ? std::to_string(code) : std::string();
    return static_cast<int>(text);
}

std::string USER_GetErrorMsg(int code)
{
    std::string detail;
    const int id = USER_GetErrorTextId(code, detail);
    return RenderText(static_cast<StoreText>(id), detail);
}
