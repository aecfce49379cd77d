#pragma once
// A fresh user store in the test's own program folder.

#include "external/userdb/UserDb.h"
#include "external/userdb/UserDbBackup.h"
#include "external/userdb/UserDbInternal.h"
#include "tests/support/ProgramFolder.h"

#include <sqlite3.h>

#include <cstring>
#include <ctime>
#include <string>
#include <vector>

inline std::string ConnectionFor(const std::string& folder)
{
    // The string the main window builds, with the program folder for %s.
    return "Provider=Microsoft.Jet.OLEDB.4.0;\t\t\t\t\t\tData Source=" + folder +
           "User.mdb;Persist Security Info=False;\t\t\t\t\t\t\t\tJet OLEDB:Database Password=508317";
}

inline UserRecord MakeUser(int32_t number, const std::string& name, const std::string& digest = std::string())
{
    UserRecord u{};
    u.number = number;
    SetRecordName(u, name);
    SetRecordPassword(u, digest);
    u.sex = 2;
    u.age = 41;
    u.weight = 58;
    u.height = 163;
    u.stride = 66;
    u.photo = 3;
    u.reserved = 77;
    u.rights = 0;
    u.targetSteps = 8000;
    u.targetDistance = 5000;
    u.targetCalories = 250;
    u.alarm = 1199163600;
    return u;
}

inline DeviceStepRecord MakeDay(int year, int month, int day)
{
    DeviceStepRecord r;
    std::memset(&r, 0, sizeof r);
    r.date.dt = OleDateFromYmd(year, month, day);
    return r;
}

// Gives the day some activity in slots [from, to) of kcal each.
inline void Fill(DeviceStepRecord& r, int from, int to, double kcal, int32_t stepsPerSlot = 100)
{
    for (int s = from; s < to; ++s) {
        r.slotKcal[s] = kcal;
        r.slotValues[s] = stepsPerSlot;
        r.steps += stepsPerSlot;
        r.calories += kcal;
    }
}

class UserDbTest : public ProgramFolderTest {
protected:
    void SetUp() override
    {
        ProgramFolderTest::SetUp();
        m_folder = Dir().toStdString();
        std::string error;
        ASSERT_EQ(USER_Init(ConnectionFor(m_folder), "KX300_User", "KX300_Data", error), 0) << error;
    }
    void TearDown() override
    {
        USER_Term(0, "508317");
        SetClockForTests(0);
        ProgramFolderTest::TearDown();
    }

    std::string StorePath() const { return m_folder + "User.db"; }
    int Reopen(std::string* errorOut = nullptr)
    {
        USER_Term(0, "508317");
        std::string error;
        const int rc = USER_Init(ConnectionFor(m_folder), "KX300_User", "KX300_Data", error);
        if (errorOut)
            *errorOut = error;
        return rc;
    }
    // One value of a query run on the store file directly (outside the library).
    std::string RawQuery(const std::string& sql) const
    {
        sqlite3* db = nullptr;
        std::string result = "<error>";
        if (sqlite3_open_v2(StorePath().c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
            sqlite3_stmt* s = nullptr;
            if (sqlite3_prepare_v2(db, sql.c_str(), -1, &s, nullptr) == SQLITE_OK) {
                const int rc = sqlite3_step(s);
                if (rc == SQLITE_ROW)
                    result = sqlite3_column_text(s, 0) ? reinterpret_cast<const char*>(sqlite3_column_text(s, 0)) : "";
                else if (rc == SQLITE_DONE)
                    result = "<none>";
            }
            sqlite3_finalize(s);
        }
        sqlite3_close(db);
        return result;
    }

    // Runs statements on the store file directly; true when all succeeded.
    bool RawExec(const std::string& sql) const
    {
        sqlite3* db = nullptr;
        bool ok = sqlite3_open_v2(StorePath().c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK &&
                  sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
        sqlite3_close(db);
        return ok;
    }

    // The copies in the backup folder, newest first, counted.
    std::vector<BackupInfo> Copies() const
    {
        std::vector<BackupInfo> copies;
        EXPECT_EQ(USER_ListBackups(StorePath(), copies), USER_OK);
        return copies;
    }
    // Stores days [first, first + count) of 2024 for the user.
    void StoreDays(int32_t number, int first, int count)
    {
        std::string error;
        for (int i = first; i < first + count; ++i) {
            DeviceStepRecord day = MakeDay(2024, 1, 1);
            day.date.dt += i;
            Fill(day, 100, 130, 3.0);
            ASSERT_EQ(USER_InsertData(number, 60, 70, day, error), USER_OK) << error;
        }
    }

    std::string m_folder;
};

// Seconds since 1970 of local noon on a day: far from midnight, so "the same day" is clear.
inline int64_t LocalNoon(int year, int month, int day)
{
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = 12;
    t.tm_isdst = -1;
    return static_cast<int64_t>(std::mktime(&t));
}
constexpr int64_t kDay = 86400;
