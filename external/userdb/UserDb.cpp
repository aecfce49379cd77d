// The user store on one SQLite file.
//
// Layout (schema version in PRAGMA user_version, our mark in application_id):
//   <user table>  one row per user, number is the key, name is unique; the
//                 password column is only written by create and change-password.
//   <data table>  one row per (number, day): day is yyyymmdd, the 14440-byte
//                 device record is kept whole as a blob beside the weight and
//                 stride the user had when it was stored (the analysis uses them).
// WAL journal, foreign keys on, every write one IMMEDIATE transaction, every
// value bound as a parameter; only the two checked table names are spliced in.
// Opening is in UserDbOpen.cpp, the day records in UserDbDays.cpp, the store's
// files and copies in UserDbCheck.cpp and UserDbBackup.cpp.
#include "external/userdb/UserDb.h"

#include "external/userdb/UserDbBackup.h"
#include "external/userdb/UserDbState.h"

#include <algorithm>
#include <cstring>

using namespace userdb;

namespace {

constexpr int32_t kAdminNumber = 10001;
constexpr int32_t kFirstNewNumber = 10001;

// ---- record helpers ----------------------------------------------------------

bool ValidUtf8(const std::string& s)
{
    size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        int extra = 0;
        if (c < 0x80)
            extra = 0;
        else if (c >= 0xC2 && c <= 0xDF)
            extra = 1;
        else if (c >= 0xE0 && c <= 0xEF)
            extra = 2;
        else if (c >= 0xF0 && c <= 0xF4)
            extra = 3;
        else
            return false;
        if (i + extra >= s.size() && extra > 0)
            return false;
        for (int k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                return false;
        // No overlong forms, UTF-16 surrogates or values beyond U+10FFFF.
        const unsigned char second = extra ? static_cast<unsigned char>(s[i + 1]) : 0;
        if ((c == 0xE0 && second < 0xA0) || (c == 0xED && second > 0x9F) || (c == 0xF0 && second < 0x90) ||
            (c == 0xF4 && second > 0x8F))
            return false;
        i += extra + 1;
    }
    return true;
}

bool ValidDigest(const std::string& digest)
{
    if (digest.empty())
        return true;
    if (digest.size() != static_cast<size_t>(kDigestChars))
        return false;
    return std::all_of(digest.begin(), digest.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    });
}

// Checks the fields the store relies on; the text says what is wrong.
int CheckUser(const UserRecord& user)
{
    if (user.number <= 0)
        return Fail(USER_ERR_INVALID, StoreText::Invalid);
    if (strnlen(user.name, sizeof user.name) > static_cast<size_t>(kNameMaxBytes))
        return Fail(USER_ERR_INVALID, StoreText::NameTooLong);
    const std::string name = RecordName(user);
    if (name.empty())
        return Fail(USER_ERR_INVALID, StoreText::NameEmpty);
    if (!ValidUtf8(name))
        return Fail(USER_ERR_INVALID, StoreText::Invalid);
    return USER_OK;
}

void BindText(sqlite3_stmt* s, int index, const std::string& text)
{
    sqlite3_bind_text(s, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

void BindProfile(sqlite3_stmt* s, const UserRecord& u)
{
    // Parameters 1..14: every column except the password.
    const std::string name = RecordName(u);
    sqlite3_bind_int(s, 1, u.number);
    BindText(s, 2, name);
    sqlite3_bind_int(s, 3, u.sex);
    sqlite3_bind_int(s, 4, u.age);
    sqlite3_bind_int(s, 5, u.weight);
    sqlite3_bind_int(s, 6, u.height);
    sqlite3_bind_int(s, 7, u.stride);
    sqlite3_bind_int(s, 8, u.photo);
    sqlite3_bind_int(s, 9, u.reserved);
    sqlite3_bind_int(s, 10, u.rights);
    sqlite3_bind_int(s, 11, u.targetSteps);
    sqlite3_bind_int(s, 12, u.targetDistance);
    sqlite3_bind_int(s, 13, u.targetCalories);
    sqlite3_bind_int(s, 14, u.alarm);
}

void CopyText(sqlite3_stmt* s, int column, char* field, size_t fieldSize)
{
    std::memset(field, 0, fieldSize);
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, column));
    const int bytes = sqlite3_column_bytes(s, column);
    if (text && bytes > 0)
        std::memcpy(field, text, std::min(static_cast<size_t>(bytes), fieldSize - 1));
}

// Reads a row selected as number, name, sex, ..., alarm (the table's column order).
void ReadUser(sqlite3_stmt* s, UserRecord& u)
{
    std::memset(&u, 0, sizeof u);
    u.number = sqlite3_column_int(s, 0);
    CopyText(s, 1, u.name, sizeof u.name);
    u.sex = sqlite3_column_int(s, 2);
    u.age = sqlite3_column_int(s, 3);
    u.weight = sqlite3_column_int(s, 4);
    u.height = sqlite3_column_int(s, 5);
    u.stride = sqlite3_column_int(s, 6);
    u.photo = sqlite3_column_int(s, 7);
    u.reserved = sqlite3_column_int(s, 8);
    CopyText(s, 9, u.password, sizeof u.password);
    u.rights = sqlite3_column_int(s, 10);
    u.targetSteps = sqlite3_column_int(s, 11);
    u.targetDistance = sqlite3_column_int(s, 12);
    u.targetCalories = sqlite3_column_int(s, 13);
    u.alarm = sqlite3_column_int(s, 14);
}

// Every column of the user table, in the order ReadUser expects.
#define USER_COLUMNS                                                                                       \
    "number, name, sex, age, weight, height, stride, photo, reserved, password, rights, target_steps, " \
    "target_distance, target_calories, alarm"

// Steps a bound single-user query: 1 found (read into out when given), 0 absent, negative on a store error.
int StepOneUser(const StmtUse& s, UserRecord* out)
{
    const int rc = sqlite3_step(s.get());
    if (rc == SQLITE_DONE)
        return 0;
    if (rc != SQLITE_ROW)
        return ReadError();
    if (out)
        ReadUser(s.get(), *out);
    return 1;
}

int FindUserByNumber(int32_t number, UserRecord* out)
{
    StmtUse s(Prepare("SELECT " USER_COLUMNS " FROM {U} WHERE number = ?1"));
    if (!s)
        return ReadError();
    sqlite3_bind_int(s.get(), 1, number);
    return StepOneUser(s, out);
}

int FindUserByName(const std::string& name, UserRecord* out)
{
    StmtUse s(Prepare("SELECT " USER_COLUMNS " FROM {U} WHERE name = ?1"));
    if (!s)
        return ReadError();
    BindText(s.get(), 1, name);
    return StepOneUser(s, out);
}

}  // namespace

int userdb::RequireUserByNumber(int32_t number, UserRecord* out)
{
    const int rc = FindUserByNumber(number, out);
    if (rc < 0)
        return rc;
    if (rc == 0)
        return Fail(USER_ERR_NOT_FOUND, StoreText::NoSuchNumber, std::to_string(number));
    return USER_OK;
}

namespace {

// Runs a statement whose only parameter ?1 is a user number: USER_OK, or the store's
// error (taken while the statement still holds it).
int ExecForNumber(const char* sql, int32_t number)
{
    StmtUse s(Prepare(sql));
    if (!s)
        return WriteError();
    sqlite3_bind_int(s.get(), 1, number);
    if (sqlite3_step(s.get()) != SQLITE_DONE)
        return WriteError();
    return USER_OK;
}

// Adds a user row with the given password digest; false when the store refuses it.
bool InsertUser(const UserRecord& user, const std::string& digest)
{
    StmtUse s(Prepare("INSERT INTO {U} (number, name, sex, age, weight, height, stride, photo, reserved, rights, "
                      "target_steps, target_distance, target_calories, alarm, password) "
                      "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15)"));
    if (!s)
        return false;
    BindProfile(s.get(), user);
    BindText(s.get(), 15, digest);
    return sqlite3_step(s.get()) == SQLITE_DONE;
}

}  // namespace

// A new store's one user: the built-in administrator.
bool userdb::SeedAdministrator()
{
    UserRecord admin{};
    admin.number = kAdminNumber;
    SetRecordName(admin, "Admin");
    admin.sex = 1;
    admin.age = 30;
    admin.weight = 65;
    admin.height = 170;
    admin.stride = 70;
    admin.rights = 1;
    admin.targetSteps = 10000;
    admin.targetDistance = 7000;
    admin.targetCalories = 300;
    admin.alarm = MakeAlarmTime(7, 0, 0);
    return InsertUser(admin, std::string());
}

#define REQUIRE_OPEN()                                  \
    std::lock_guard lock(g_mutex);                      \
    if (!g_store)                                       \
        return Fail(USER_ERR_NOT_OPEN, StoreText::NotOpen)

int USER_Login(const std::string& name, const std::string& digest, UserRecord& out)
{
    REQUIRE_OPEN();
    UserRecord found{};
    const int rc = FindUserByName(name, &found);
    if (rc < 0)
        return rc;
    if (rc == 0)
        return Fail(USER_ERR_NO_USER, StoreText::NoSuchName, name);
    if (RecordPassword(found) != digest)
        return Fail(USER_ERR_WRONG_PASSWORD, StoreText::LoginPassword);
    out = found;
    return Succeed();
}

int USER_GetUser(int32_t number, UserRecord& out)
{
    REQUIRE_OPEN();
    UserRecord found{};
    if (const int rc = RequireUserByNumber(number, &found); rc != USER_OK)
        return rc;
    out = found;
    return Succeed();
}

int USER_GetUserList(int page, int pageSize, std::vector<std::unique_ptr<UserRecord>>& out, const std::string& keyword)
{
    REQUIRE_OPEN();
    if (page < 1 || pageSize < 1)
        return Fail(USER_ERR_INVALID, StoreText::Invalid);
    const long long offset = static_cast<long long>(page - 1) * pageSize;
    // instr() compares bytes literally, so '%', '_', quotes and backslashes in a
    // keyword are ordinary characters.
    StmtUse s(keyword.empty()
                  ? Prepare("SELECT " USER_COLUMNS " FROM {U} ORDER BY number LIMIT ?1 OFFSET ?2")
                  : Prepare("SELECT " USER_COLUMNS " FROM {U} "
                            "WHERE instr(name, ?3) > 0 OR instr(CAST(number AS TEXT), ?3) > 0 "
                            "ORDER BY number LIMIT ?1 OFFSET ?2"));
    if (!s)
        return ReadError();
    sqlite3_bind_int(s.get(), 1, pageSize);
    sqlite3_bind_int64(s.get(), 2, offset);
    if (!keyword.empty())
        BindText(s.get(), 3, keyword);
    std::vector<std::unique_ptr<UserRecord>> rows;
    int rc;
    while ((rc = sqlite3_step(s.get())) == SQLITE_ROW) {
        auto record = std::make_unique<UserRecord>();
        ReadUser(s.get(), *record);
        rows.push_back(std::move(record));
    }
    if (rc != SQLITE_DONE)
        return ReadError();
    const int count = static_cast<int>(rows.size());
    for (auto& r : rows)
        out.push_back(std::move(r));
    Succeed();
    return count;
}

int USER_CreateUser(const UserRecord& user)
{
    REQUIRE_OPEN();
    if (const int rc = CheckUser(user); rc != USER_OK)
        return rc;
    if (!ValidDigest(RecordPassword(user)) || strnlen(user.password, sizeof user.password) >= sizeof user.password)
        return Fail(USER_ERR_INVALID, StoreText::Invalid);
    Transaction tx;
    if (!tx.ok())
        return WriteError();
    int rc = FindUserByNumber(user.number, nullptr);
    if (rc < 0)
        return rc;
    if (rc > 0)
        return Fail(USER_ERR_EXISTS, StoreText::NumberTaken, std::to_string(user.number));
    rc = FindUserByName(RecordName(user), nullptr);
    if (rc < 0)
        return rc;
    if (rc > 0)
        return Fail(USER_ERR_EXISTS, StoreText::Exists);
    if (!InsertUser(user, RecordPassword(user)))
        return WriteError();
    if (!tx.Commit())
        return WriteError();
    return Succeed();
}

int USER_EditUser(const UserRecord& user)
{
    REQUIRE_OPEN();
    if (const int rc = CheckUser(user); rc != USER_OK)
        return rc;
    Transaction tx;
    if (!tx.ok())
        return WriteError();
    int rc = RequireUserByNumber(user.number, nullptr);
    if (rc != USER_OK)
        return rc;
    UserRecord holder{};
    rc = FindUserByName(RecordName(user), &holder);
    if (rc < 0)
        return rc;
    if (rc > 0 && holder.number != user.number)
        return Fail(USER_ERR_EXISTS, StoreText::NameTaken);
    {
        // The password column is left alone: only USER_EditPassword changes it.
        StmtUse s(Prepare("UPDATE {U} SET name = ?2, sex = ?3, age = ?4, weight = ?5, height = ?6, stride = ?7, "
                          "photo = ?8, reserved = ?9, rights = ?10, target_steps = ?11, target_distance = ?12, "
                          "target_calories = ?13, alarm = ?14 WHERE number = ?1"));
        if (!s)
            return WriteError();
        BindProfile(s.get(), user);
        if (sqlite3_step(s.get()) != SQLITE_DONE)
            return WriteError();
    }
    if (!tx.Commit())
        return WriteError();
    return Succeed();
}

int USER_DeleteUser(const std::string& name)
{
    REQUIRE_OPEN();
    Transaction tx;
    if (!tx.ok())
        return WriteError();
    UserRecord found{};
    const int rc = FindUserByName(name, &found);
    if (rc < 0)
        return rc;
    if (rc == 0)
        return Fail(USER_ERR_NOT_FOUND, StoreText::NoSuchName, name);
    if (found.number == kAdminNumber)
        return Fail(USER_ERR_BUILTIN, StoreText::Builtin);
    // The copy reads the last committed state on its own connection; this transaction's write
    // lock keeps every other writer out until the user is gone.
    std::string copy;
    if (const FileOutcome made = MakeBackup(g_store->path, BackupReason::Delete, Now(), copy); !made.ok())
        return Report(made);
    if (const int failed = ExecForNumber("DELETE FROM {D} WHERE number = ?1", found.number);
        failed != USER_OK)
        return failed;
    if (const int failed = ExecForNumber("DELETE FROM {U} WHERE number = ?1", found.number);
        failed != USER_OK)
        return failed;
    if (!tx.Commit())
        return WriteError();
    return Succeed();
}

int USER_EditPassword(int32_t number, const std::string& oldDigest, const std::string& newDigest)
{
    REQUIRE_OPEN();
    if (!ValidDigest(newDigest))
        return Fail(USER_ERR_INVALID, StoreText::Invalid);
    Transaction tx;
    if (!tx.ok())
        return WriteError();
    UserRecord found{};
    if (const int rc = RequireUserByNumber(number, &found); rc != USER_OK)
        return rc;
    if (RecordPassword(found) != oldDigest)
        return Fail(USER_ERR_WRONG_PASSWORD, StoreText::WrongPassword);
    {
        StmtUse s(Prepare("UPDATE {U} SET password = ?2 WHERE number = ?1"));
        if (!s)
            return WriteError();
        sqlite3_bind_int(s.get(), 1, number);
        BindText(s.get(), 2, newDigest);
        if (sqlite3_step(s.get()) != SQLITE_DONE)
            return WriteError();
    }
    if (!tx.Commit())
        return WriteError();
    return Succeed();
}

int USER_GetNumForNewUser(int32_t& number)
{
    REQUIRE_OPEN();
    const int first = FindUserByNumber(kFirstNewNumber, nullptr);
    if (first < 0)
        return first;
    long long candidate = kFirstNewNumber;
    if (first > 0) {
        // The first used number (in order) whose successor is free ends the first run.
        StmtUse s(Prepare("SELECT u.number + 1 FROM {U} AS u WHERE u.number >= ?1 AND NOT EXISTS "
                          "(SELECT 1 FROM {U} AS v WHERE v.number = u.number + 1) ORDER BY u.number LIMIT 1"));
        if (!s)
            return ReadError();
        sqlite3_bind_int(s.get(), 1, kFirstNewNumber);
        const int rc = sqlite3_step(s.get());
        if (rc != SQLITE_ROW)
            return ReadError();
        candidate = sqlite3_column_int64(s.get(), 0);
    }
    if (candidate >= kBlankDeviceId)
        return Fail(USER_ERR_NO_FREE_NUMBER, StoreText::NoFreeNumber);
    number = static_cast<int32_t>(candidate);
    return Succeed();
}

int USER_NumberIsUnuse(int32_t number)
{
    // Any failure answers "in use": a caller must never take a number it could not check.
    std::lock_guard lock(g_mutex);
    if (!g_store) {
        Fail(USER_ERR_NOT_OPEN, StoreText::NotOpen);
        return 0;
    }
    const int rc = FindUserByNumber(number, nullptr);
    if (rc < 0)
        return 0;
    Succeed();
    return rc == 0 ? 1 : 0;
}
