#include "tests/external/userdb/UserDbFixture.h"

#include "external/md5/Md5.h"

#include <algorithm>

namespace {

std::vector<int32_t> Numbers(const std::vector<std::unique_ptr<UserRecord>>& list)
{
    std::vector<int32_t> out;
    for (const auto& r : list)
        out.push_back(r->number);
    return out;
}

std::vector<int32_t> Search(const std::string& keyword, int page = 1, int size = 100)
{
    std::vector<std::unique_ptr<UserRecord>> list;
    const int n = USER_GetUserList(page, size, list, keyword);
    EXPECT_EQ(n, static_cast<int>(list.size()));
    return Numbers(list);
}

TEST_F(UserDbTest, CreatedUserComesBackFieldForField)
{
    const UserRecord in = MakeUser(10002, "张三李", PasswordDigest("secret"));
    ASSERT_EQ(USER_CreateUser(in), USER_OK);
    UserRecord out{};
    ASSERT_EQ(USER_GetUser(10002, out), USER_OK);
    EXPECT_EQ(std::memcmp(&in, &out, sizeof in), 0);

    // A name of exactly ten bytes fills the field up to its terminating NUL.
    const UserRecord ten = MakeUser(10003, "abcdefghij");
    ASSERT_EQ(USER_CreateUser(ten), USER_OK);
    ASSERT_EQ(USER_GetUser(10003, out), USER_OK);
    EXPECT_EQ(RecordName(out), "abcdefghij");
    EXPECT_EQ(out.name[10], '\0');
}

TEST_F(UserDbTest, NumberAndNameAreBothUnique)
{
    ASSERT_EQ(USER_CreateUser(MakeUser(10002, "Lena")), USER_OK);
    EXPECT_EQ(USER_CreateUser(MakeUser(10002, "Other")), USER_ERR_EXISTS);
    EXPECT_FALSE(USER_GetErrorMsg(USER_ERR_EXISTS).empty());
    EXPECT_EQ(USER_CreateUser(MakeUser(10003, "Lena")), USER_ERR_EXISTS);
    EXPECT_EQ(USER_CreateUser(MakeUser(10001, "Admin")), USER_ERR_EXISTS);
    // Names compare byte for byte.
    EXPECT_EQ(USER_CreateUser(MakeUser(10003, "lena")), USER_OK);
    std::vector<std::unique_ptr<UserRecord>> list;
    EXPECT_EQ(USER_GetUserList(1, 20, list), 3);
    UserRecord u{};
    ASSERT_EQ(USER_GetUser(10002, u), USER_OK);
    EXPECT_EQ(RecordName(u), "Lena");
}

TEST_F(UserDbTest, MalformedRecordsAreRefused)
{
    UserRecord u = MakeUser(10002, "ok");
    u.number = 0;
    EXPECT_EQ(USER_CreateUser(u), USER_ERR_INVALID);
    u.number = -5;
    EXPECT_EQ(USER_CreateUser(u), USER_ERR_INVALID);
    EXPECT_EQ(USER_CreateUser(MakeUser(10002, "")), USER_ERR_INVALID);
    // Eleven bytes leave no room for the terminating NUL.
    u = MakeUser(10002, "x");
    std::memset(u.name, 'n', sizeof u.name);
    EXPECT_EQ(USER_CreateUser(u), USER_ERR_INVALID);
    // A name cut inside a character.
    u = MakeUser(10002, "x");
    std::memcpy(u.name, "ab\xe5\xbc", 5);
    EXPECT_EQ(USER_CreateUser(u), USER_ERR_INVALID);
    for (const char* bad : {"\xc0\xaf", "\xe0\x80\xaf", "\xed\xa0\x80", "\xf4\x90\x80\x80", "\xff"}) {
        u = MakeUser(10002, "x");
        std::memset(u.name, 0, sizeof u.name);
        std::memcpy(u.name, bad, std::strlen(bad));
        EXPECT_EQ(USER_CreateUser(u), USER_ERR_INVALID) << bad;
    }
    u = MakeUser(10002, "x");
    std::memcpy(u.password, "not-a-digest", 13);
    EXPECT_EQ(USER_CreateUser(u), USER_ERR_INVALID);
    std::memset(u.password, 'a', sizeof u.password);
    EXPECT_EQ(USER_CreateUser(u), USER_ERR_INVALID);
    EXPECT_EQ(USER_GetErrorMsg(USER_ERR_INVALID).empty(), false);
    EXPECT_EQ(USER_NumberIsUnuse(10002), 1);
}

TEST_F(UserDbTest, LoginByName)
{
    const std::string digest = PasswordDigest("pw");
    ASSERT_EQ(USER_CreateUser(MakeUser(10002, "Lena", digest)), USER_OK);
    UserRecord out = MakeUser(1, "untouched");
    const UserRecord before = out;
    EXPECT_EQ(USER_Login("Nobody", digest, out), USER_ERR_NO_USER);
    EXPECT_EQ(USER_Login("Lena", PasswordDigest("PW"), out), USER_ERR_WRONG_PASSWORD);
    EXPECT_EQ(USER_Login("Lena", "", out), USER_ERR_WRONG_PASSWORD);
    EXPECT_EQ(USER_Login("lena", digest, out), USER_ERR_NO_USER);
    EXPECT_EQ(std::memcmp(&out, &before, sizeof out), 0);
    ASSERT_EQ(USER_Login("Lena", digest, out), USER_OK);
    EXPECT_EQ(out.number, 10002);
    EXPECT_EQ(RecordPassword(out), digest);
}

TEST_F(UserDbTest, HostileNamesAreStoredLiterally)
{
    const char* names[] = {"O'Brien", "a\"b", "x%", "_", "\\", "' OR 1=1--", "a;DROP"};
    int32_t number = 10010;
    for (const char* name : names)
        ASSERT_EQ(USER_CreateUser(MakeUser(number++, name)), USER_OK) << name;
    number = 10010;
    for (const char* name : names) {
        UserRecord out{};
        ASSERT_EQ(USER_Login(name, "", out), USER_OK) << name;
        EXPECT_EQ(out.number, number++);
    }
    UserRecord out{};
    EXPECT_EQ(USER_Login("%", "", out), USER_ERR_NO_USER);
    EXPECT_EQ(RawQuery("SELECT count(*) FROM KX300_User"), "8");
}

TEST_F(UserDbTest, GetUserAndNumberIsUnuse)
{
    UserRecord out{};
    EXPECT_EQ(USER_GetUser(10002, out), USER_ERR_NOT_FOUND);
    EXPECT_FALSE(USER_GetErrorMsg(USER_ERR_NOT_FOUND).empty());
    EXPECT_EQ(USER_NumberIsUnuse(10002), 1);
    EXPECT_EQ(USER_NumberIsUnuse(10001), 0);
    ASSERT_EQ(USER_CreateUser(MakeUser(10002, "b")), USER_OK);
    EXPECT_EQ(USER_NumberIsUnuse(10002), 0);
}

TEST_F(UserDbTest, NewNumberIsTheSmallestFreeAboveTenThousand)
{
    int32_t n = 0;
    ASSERT_EQ(USER_GetNumForNewUser(n), USER_OK);
    EXPECT_EQ(n, 10002);
    ASSERT_EQ(USER_CreateUser(MakeUser(10002, "b")), USER_OK);
    ASSERT_EQ(USER_CreateUser(MakeUser(10003, "c")), USER_OK);
    ASSERT_EQ(USER_CreateUser(MakeUser(10005, "e")), USER_OK);
    ASSERT_EQ(USER_CreateUser(MakeUser(9000, "low")), USER_OK);
    ASSERT_EQ(USER_GetNumForNewUser(n), USER_OK);
    EXPECT_EQ(n, 10004);
    ASSERT_EQ(USER_CreateUser(MakeUser(10004, "d")), USER_OK);
    ASSERT_EQ(USER_GetNumForNewUser(n), USER_OK);
    EXPECT_EQ(n, 10006);
    ASSERT_EQ(USER_DeleteUser("Admin"), USER_ERR_BUILTIN);
    ASSERT_EQ(USER_DeleteUser("c"), USER_OK);
    ASSERT_EQ(USER_GetNumForNewUser(n), USER_OK);
    EXPECT_EQ(n, 10003);
}

TEST_F(UserDbTest, NewNumberFreeWhenTheAdministratorIsGone)
{
    USER_Term(0, "508317");
    RawQuery("DELETE FROM KX300_User WHERE number = 10001");
    ASSERT_EQ(Reopen(), 0);
    ASSERT_EQ(USER_CreateUser(MakeUser(10002, "b")), USER_OK);
    int32_t n = 0;
    ASSERT_EQ(USER_GetNumForNewUser(n), USER_OK);
    EXPECT_EQ(n, 10001);
}

TEST_F(UserDbTest, NoNewNumberWhenEveryUserNumberIsTaken)
{
    USER_Term(0, "508317");
    ASSERT_TRUE(RawExec("PRAGMA cache_size = -200000; "
                        "WITH RECURSIVE c(n) AS (SELECT 10002 UNION ALL SELECT n + 1 FROM c WHERE n < 999998) "
                        "INSERT INTO KX300_User (number, name) SELECT n, 'u' || n FROM c"));
    ASSERT_EQ(RawQuery("SELECT count(*) FROM KX300_User"), "989998");
    ASSERT_EQ(Reopen(), 0);
    int32_t n = 123;
    EXPECT_EQ(USER_GetNumForNewUser(n), USER_ERR_NO_FREE_NUMBER);
    EXPECT_EQ(n, 123);
    EXPECT_FALSE(USER_GetErrorMsg(USER_ERR_NO_FREE_NUMBER).empty());
    ASSERT_EQ(USER_DeleteUser("u500000"), USER_OK);
    ASSERT_EQ(USER_GetNumForNewUser(n), USER_OK);
    EXPECT_EQ(n, 500000);
}

TEST_F(UserDbTest, EditSavesProfileAndKeepsTheDigest)
{
    const std::string digest = PasswordDigest("keep");
    ASSERT_EQ(USER_CreateUser(MakeUser(10002, "Lena", digest)), USER_OK);
    UserRecord edit = MakeUser(10002, "Helena");
    edit.weight = 70;
    edit.rights = 1;
    edit.alarm = 1199170800;
    for (const std::string& sent : {std::string(), PasswordDigest("other"), std::string("garbage")}) {
        std::memset(edit.password, 0, sizeof edit.password);
        std::memcpy(edit.password, sent.data(), sent.size());
        ASSERT_EQ(USER_EditUser(edit), USER_OK);
        UserRecord out{};
        ASSERT_EQ(USER_GetUser(10002, out), USER_OK);
        EXPECT_EQ(RecordPassword(out), digest);
        EXPECT_EQ(RecordName(out), "Helena");
        EXPECT_EQ(out.weight, 70);
        EXPECT_EQ(out.rights, 1);
        EXPECT_EQ(out.alarm, 1199170800);
    }
    UserRecord out{};
    EXPECT_EQ(USER_Login("Helena", digest, out), USER_OK);
    EXPECT_EQ(USER_Login("Lena", digest, out), USER_ERR_NO_USER);
}

TEST_F(UserDbTest, EditRefusesUnknownNumberAndTakenName)
{
    ASSERT_EQ(USER_CreateUser(MakeUser(10002, "Lena")), USER_OK);
    EXPECT_EQ(USER_EditUser(MakeUser(10009, "Ghost")), USER_ERR_NOT_FOUND);
    EXPECT_EQ(USER_NumberIsUnuse(10009), 1);
    EXPECT_EQ(USER_EditUser(MakeUser(10002, "Admin")), USER_ERR_EXISTS);
    EXPECT_EQ(USER_EditUser(MakeUser(10002, "")), USER_ERR_INVALID);
    UserRecord out{};
    ASSERT_EQ(USER_GetUser(10002, out), USER_OK);
    EXPECT_EQ(RecordName(out), "Lena");
}

TEST_F(UserDbTest, EditPasswordNeedsTheStoredDigest)
{
    const std::string oldDigest = PasswordDigest("old");
    const std::string newDigest = PasswordDigest("new");
    ASSERT_EQ(USER_CreateUser(MakeUser(10002, "Lena", oldDigest)), USER_OK);

    const int wrong = USER_EditPassword(10002, PasswordDigest("guess"), newDigest);
    EXPECT_EQ(wrong, USER_ERR_WRONG_PASSWORD);
    EXPECT_EQ(USER_GetErrorMsg(wrong), "原密码不正确");
    EXPECT_EQ(USER_EditPassword(10002, "", newDigest), USER_ERR_WRONG_PASSWORD);
    UserRecord out{};
    EXPECT_EQ(USER_Login("Lena", oldDigest, out), USER_OK);

    EXPECT_EQ(USER_EditPassword(10002, oldDigest, "short"), USER_ERR_INVALID);
    EXPECT_EQ(USER_EditPassword(10099, oldDigest, newDigest), USER_ERR_NOT_FOUND);
    EXPECT_FALSE(USER_GetErrorMsg(USER_ERR_NOT_FOUND).empty());

    ASSERT_EQ(USER_EditPassword(10002, oldDigest, newDigest), USER_OK);
    EXPECT_EQ(USER_Login("Lena", oldDigest, out), USER_ERR_WRONG_PASSWORD);
    EXPECT_EQ(USER_Login("Lena", newDigest, out), USER_OK);
    // An empty new digest removes the password.
    ASSERT_EQ(USER_EditPassword(10002, newDigest, ""), USER_OK);
    EXPECT_EQ(USER_Login("Lena", "", out), USER_OK);
    // The administrator starts without one.
    EXPECT_EQ(USER_EditPassword(10001, "", newDigest), USER_OK);
}

TEST_F(UserDbTest, DeleteRemovesTheUserAndAllOfTheirDays)
{
    ASSERT_EQ(USER_CreateUser(MakeUser(10002, "Lena")), USER_OK);
    ASSERT_EQ(USER_CreateUser(MakeUser(10003, "Max")), USER_OK);
    std::string error;
    for (int d = 1; d <= 3; ++d) {
        DeviceStepRecord r = MakeDay(2021, 5, d);
        Fill(r, 100, 110, 6.0);
        ASSERT_EQ(USER_InsertData(10002, 60, 70, r, error), USER_OK) << error;
        ASSERT_EQ(USER_InsertData(10003, 60, 70, r, error), USER_OK) << error;
    }
    EXPECT_EQ(USER_DeleteUser("Nobody"), USER_ERR_NOT_FOUND);
    ASSERT_EQ(USER_DeleteUser("Lena"), USER_OK);
    EXPECT_EQ(RawQuery("SELECT count(*) FROM KX300_Data WHERE number = 10002"), "0");
    EXPECT_EQ(RawQuery("SELECT count(*) FROM KX300_Data WHERE number = 10003"), "3");
    // A new user given the freed number starts without days.
    ASSERT_EQ(USER_CreateUser(MakeUser(10002, "Neu")), USER_OK);
    StepRecord day;
    EXPECT_NE(USER_GetData2(10002, OleDateFromYmd(2021, 5, 1), day, error), USER_OK);
    EXPECT_EQ(USER_GetData2(10003, OleDateFromYmd(2021, 5, 1), day, error), USER_OK);
    EXPECT_EQ(USER_DeleteUser("Admin"), USER_ERR_BUILTIN);
    EXPECT_EQ(USER_GetErrorMsg(USER_ERR_BUILTIN).empty(), false);
}

TEST_F(UserDbTest, ListPagesAreOrderedByNumber)
{
    // Created out of order on purpose.
    for (int i = 45; i >= 1; --i)
        ASSERT_EQ(USER_CreateUser(MakeUser(10001 + i, "u" + std::to_string(i))), USER_OK);
    std::vector<std::unique_ptr<UserRecord>> list;
    ASSERT_EQ(USER_GetUserList(1, 20, list), 20);
    std::vector<int32_t> expected;
    for (int i = 0; i < 20; ++i)
        expected.push_back(10001 + i);
    EXPECT_EQ(Numbers(list), expected);
    // The caller's list keeps what it held; the page is appended.
    ASSERT_EQ(USER_GetUserList(2, 20, list), 20);
    EXPECT_EQ(list.size(), 40u);
    EXPECT_EQ(list[20]->number, 10021);
    EXPECT_EQ(Search("", 3, 20), (std::vector<int32_t>{10041, 10042, 10043, 10044, 10045, 10046}));
    EXPECT_TRUE(Search("", 4, 20).empty());
    EXPECT_TRUE(Search("", 1000000, 20000).empty());
    std::vector<std::unique_ptr<UserRecord>> none;
    EXPECT_EQ(USER_GetUserList(0, 20, none), USER_ERR_INVALID);
    EXPECT_EQ(USER_GetUserList(1, 0, none), USER_ERR_INVALID);
    EXPECT_EQ(USER_GetUserList(-1, 20, none), USER_ERR_INVALID);
    EXPECT_TRUE(none.empty());
    // Page 2 of a search.
    EXPECT_EQ(Search("u1", 2, 3), (std::vector<int32_t>{10013, 10014, 10015}));
}

TEST_F(UserDbTest, KeywordMatchesLiterallyInNameOrNumber)
{
    struct Entry {
        int32_t number;
        const char* name;
    };
    const Entry entries[] = {
        {10002, "100%"}, {10003, "a_b"},     {10004, "O'Neil"}, {10005, "q\"t"},  {10006, "back\\sl"},
        {10007, "ab"},   {10008, "axb"},     {10009, "50% x"},  {20000, "x1000"}, {30001, "张三"},
        {10010, "a%b"},  {10011, "[a]"},     {10012, "*"},
    };
    for (const Entry& e : entries)
        ASSERT_EQ(USER_CreateUser(MakeUser(e.number, e.name)), USER_OK) << e.name;

    EXPECT_EQ(Search("%"), (std::vector<int32_t>{10002, 10009, 10010}));
    EXPECT_EQ(Search("_"), (std::vector<int32_t>{10003}));
    EXPECT_EQ(Search("a_b"), (std::vector<int32_t>{10003}));
    EXPECT_EQ(Search("'"), (std::vector<int32_t>{10004}));
    EXPECT_EQ(Search("\""), (std::vector<int32_t>{10005}));
    EXPECT_EQ(Search("\\"), (std::vector<int32_t>{10006}));
    EXPECT_EQ(Search("a%b"), (std::vector<int32_t>{10010}));
    EXPECT_EQ(Search("[a]"), (std::vector<int32_t>{10011}));
    EXPECT_EQ(Search("*"), (std::vector<int32_t>{10012}));
    EXPECT_EQ(Search("张"), (std::vector<int32_t>{30001}));
    EXPECT_TRUE(Search("' OR 1=1 --").empty());
    EXPECT_TRUE(Search("\" OR \"\"=\"").empty());
    EXPECT_TRUE(Search("Admin' --").empty());
    // Digits match the number written in decimal as well as the name.
    EXPECT_EQ(Search("1000"), (std::vector<int32_t>{10001, 10002, 10003, 10004, 10005, 10006, 10007, 10008, 10009, 20000}));
    EXPECT_EQ(Search("0001"), (std::vector<int32_t>{10001, 30001}));
    EXPECT_EQ(Search("ab"), (std::vector<int32_t>{10007}));
    EXPECT_EQ(Search("AB").size(), 0u);
    // The table is still whole after all that.
    EXPECT_EQ(RawQuery("SELECT count(*) FROM KX300_User"), "14");
}

}  // namespace
