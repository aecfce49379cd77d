#pragma once
// The user store: users and their day records in one SQLite file.
//
// Results follow the library's old contract: 1 is success for most operations,
// 0 is success for USER_Init, negative values are specific failures that
// USER_GetErrorMsg explains. Every operation may be called only between a
// successful USER_Init and USER_Term; before that they fail with USER_ERR_NOT_OPEN.

#include "external/records/Records.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

enum UserDbResult : int {
    USER_OK = 1,
    USER_ERR_GENERAL = -1,        // a storage error; USER_GetErrorMsg gives the store's text
    USER_ERR_NOT_OPEN = -2,       // USER_Init has not succeeded
    USER_ERR_EXISTS = -3,         // create: the number or name is taken; login: no such user
    USER_ERR_NO_USER = -3,        // login: no user of that name
    USER_ERR_WRONG_PASSWORD = -4, // login / change password: the digest does not match
    USER_ERR_NOT_FOUND = -5,      // no user with that number / name
    USER_ERR_INVALID = -6,        // a record field out of range (name too long, bad digest, ...)
    USER_ERR_BAD_DAY = -7,        // a day record that fails validation
    USER_ERR_BUILTIN = -8,        // delete: the built-in administrator 10001 stays
    USER_ERR_NO_FREE_NUMBER = -9, // no free number below 999999 is left
    USER_ERR_NO_DATA = -10,       // GetData2: no record of that day is stored
    USER_ERR_DAMAGED = -11,       // the store file is damaged or cut short; it is left as it is
    USER_ERR_STORE_MISSING = -12, // Init: the store is missing or empty while backups exist
    USER_ERR_IN_USE = -13,        // restore: the store is open (in this or another process)
    USER_ERR_BAD_BACKUP = -14,    // restore: the copy is damaged or not a store of ours
    USER_ERR_BACKUP_FAILED = -15, // no checked copy could be made (a destructive action is then refused)
    USER_ERR_ALREADY_STORED = 0,  // InsertData: the same day with the same content is stored already
};

// Opens the store named by the connection string's "Data Source=" path with the
// extension replaced by ".db" (USER_StorePath). 0 on success; otherwise the result
// code and the text say why. A new store is made only where none exists (or the file is
// empty) and its backup folder holds no copies; otherwise a missing or empty store fails
// with USER_ERR_STORE_MISSING. A store that fails its check (quick_check, and a size
// check against its page count that counts pages held by its write-ahead log) fails with
// USER_ERR_DAMAGED. Either way nothing is changed, and USER_NewestGoodBackup
// (UserDbBackup.h) finds what may be restored. On the first opening of a day a daily
// copy is made in the background (UserDbBackup.h).
int USER_Init(const std::string& connection, const std::string& userTable, const std::string& dataTable, std::string& error);
int USER_Term(int flags, const std::string& password);

int USER_Login(const std::string& name, const std::string& digest, UserRecord& out);
int USER_GetUser(int32_t number, UserRecord& out);
// Page (from 1) of page size users ordered by number; keyword (empty = none) matches as a
// literal substring of the name or of the decimal number. Returns the number of records
// appended to out, or a negative result.
int USER_GetUserList(int page, int pageSize, std::vector<std::unique_ptr<UserRecord>>& out, const std::string& keyword = std::string());
int USER_CreateUser(const UserRecord& user);
// Saves every profile field found by number; the stored password digest is kept whatever the record holds.
int USER_EditUser(const UserRecord& user);
// Removes the user and all of their days in one transaction; the built-in administrator 10001 stays.
// A checked copy of the store ("delete") is made first; when it cannot be made nothing is
// deleted (USER_ERR_BACKUP_FAILED).
int USER_DeleteUser(const std::string& name);
int USER_EditPassword(int32_t number, const std::string& oldDigest, const std::string& newDigest);
int USER_GetNumForNewUser(int32_t& number);
// 1 when no user has the number; 0 when one has it or the store cannot tell (not open, error).
int USER_NumberIsUnuse(int32_t number);
// Stores a day for the user: 1 stored (new, or fuller than the stored copy), 0 already stored
// (the same record, or a less full one of a day stored fuller), negative refused.
int USER_InsertData(int32_t number, int32_t weight, int32_t stride, const DeviceStepRecord& day, std::string& error);
// Stores many days for the user in one transaction, each under the same rules as USER_InsertData,
// in order (a later record of the same day is compared with the earlier one). results gets one
// outcome per day: 1 stored, 0 already stored, USER_ERR_BAD_DAY refused for its content.
// All or nothing: when the store fails (or the user is unknown, or the store is not open) nothing
// of the batch is stored, the failure's code is returned and every day gets it but those already
// refused for their content. Otherwise returns the number of days stored. error gets the text of
// the failure, else of the first day not stored (empty when all were stored).
int USER_InsertDataBatch(int32_t number, int32_t weight, int32_t stride, std::span<const DeviceStepRecord* const> days,
                         std::vector<int>& results, std::string& error);
// Fills the stored day (date = OLE date of 00:00 of that day) and its exercise analysis; 1 when stored.
int USER_GetData2(int32_t number, double day, StepRecord& out, std::string& error);
// A text for every result code; the text of the last failure when code is its result.
std::string USER_GetErrorMsg(int code);

// The store's texts are the program's string-table texts 600-639 and, for its files,
// copies and restore, 840-857 (840-859 are the store's).
constexpr int kUserDbFirstTextId = 600;
constexpr int kUserDbLastTextId = 639;
constexpr int kUserDbFileFirstTextId = 840;
constexpr int kUserDbFileLastTextId = 857;
// The string-table number of the text USER_GetErrorMsg(code) gives, and in detail what replaces
// its "<r>" (a path, a number, a name, SQLite's message; empty when the text has none). After a
// failed USER_Init, USER_GetErrorTextId(its result, detail) names what precisely failed.
int USER_GetErrorTextId(int code, std::string& detail);

// Why the store refuses a day record.
enum class DayRefusal {
    None,           // it is taken
    InvalidDate,    // the status word is not 0, or the date is not a number
    OutOfRange,     // before 2000-01-01 or after 2099-12-31
    InFuture,       // after today: the pedometer's clock was wrong (the day is stored once it has come)
    InvalidValues,  // negative or non-finite steps, kilocalories or slot values
};
// today: the OLE date of the current day (TodayOleDate()).
DayRefusal FindDayRefusal(const DeviceStepRecord& day, double today);

// The effective-exercise analysis of a day for a weight (kg): runs of at least 5 slots whose
// slotKcal is at least weight x 0.1002. Fills the analysis fields of out (not its day).
void AnalyseExercise(const DeviceStepRecord& day, int32_t weight, StepRecord& out);
