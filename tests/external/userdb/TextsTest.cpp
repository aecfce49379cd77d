// The store's texts through the program's string table: every result code and
// every way USER_Init fails names a string-table text whose built-in wording,
// with "<r>" filled by the detail, is exactly what the store says itself.
#include "tests/external/userdb/UserDbFixture.h"

#include "external/userdb/UserDbInternal.h"
#include "res/BuiltinStrings.h"

#include <unistd.h>

#include <sys/stat.h>

#include <set>

namespace {

std::string ProgramText(int id)
{
    for (size_t i = 0; i < kBuiltinStringCount; ++i) {
        if (kBuiltinStrings[i].id == id)
            return kBuiltinStrings[i].text;
    }
    return std::string();
}

// The program's text of a code's last failure, filled as the program fills it.
std::string ProgramMessage(int code, int* idOut = nullptr)
{
    std::string detail;
    const int id = USER_GetErrorTextId(code, detail);
    if (idOut)
        *idOut = id;
    std::string text = ProgramText(id);
    if (const size_t at = text.find("<r>"); at != std::string::npos)
        text.replace(at, 3, detail);
    return text;
}

TEST(StoreTexts, TheProgramTableCarriesTheStoreTextsUnchanged)
{
    for (auto [first, last] : {std::pair{kUserDbFirstTextId, kUserDbLastTextId}, std::pair{kUserDbFileFirstTextId, kUserDbFileLastTextId}}) {
        for (int id = first; id <= last; ++id) {
            EXPECT_FALSE(std::string(UserDbBuiltinText(id)).empty()) << id;
            EXPECT_EQ(ProgramText(id), UserDbBuiltinText(id)) << id;
        }
        EXPECT_STREQ(UserDbBuiltinText(first - 1), "");
        EXPECT_STREQ(UserDbBuiltinText(last + 1), "");
    }
}

TEST_F(UserDbTest, EveryCodeNamesAProgramTextSayingWhatTheStoreSays)
{
    // Nothing failed yet: each code gives its own text.
    const int codes[] = {USER_OK, USER_ERR_ALREADY_STORED, USER_ERR_GENERAL, USER_ERR_NOT_OPEN, USER_ERR_EXISTS,
                         USER_ERR_WRONG_PASSWORD, USER_ERR_NOT_FOUND, USER_ERR_INVALID, USER_ERR_BAD_DAY, USER_ERR_BUILTIN,
                         USER_ERR_NO_FREE_NUMBER, USER_ERR_NO_DATA, USER_ERR_DAMAGED, USER_ERR_STORE_MISSING,
                         USER_ERR_IN_USE, USER_ERR_BAD_BACKUP, USER_ERR_BACKUP_FAILED, -99, 7};
    std::set<int> ids;
    for (int code : codes) {
        int id = 0;
        const std::string text = ProgramMessage(code, &id);
        ids.insert(id);
        EXPECT_TRUE((id >= kUserDbFirstTextId && id <= kUserDbLastTextId) ||
                    (id >= kUserDbFileFirstTextId && id <= kUserDbFileLastTextId))
            << code;
        EXPECT_FALSE(text.empty()) << code;
        EXPECT_EQ(text, USER_GetErrorMsg(code)) << code;
    }
    EXPECT_EQ(ids.size(), std::size(codes) - 1);  // the two unknown codes share a text
    EXPECT_NE(ProgramMessage(-99).find("-99"), std::string::npos);

    // After a failure its code names the precise text, detail included.
    UserRecord u{};
    ASSERT_EQ(USER_Login("Nobody", "", u), USER_ERR_NO_USER);
    EXPECT_EQ(ProgramMessage(USER_ERR_NO_USER), USER_GetErrorMsg(USER_ERR_NO_USER));
    EXPECT_NE(ProgramMessage(USER_ERR_NO_USER).find("Nobody"), std::string::npos);
    ASSERT_EQ(USER_GetUser(10777, u), USER_ERR_NOT_FOUND);
    EXPECT_EQ(ProgramMessage(USER_ERR_NOT_FOUND), USER_GetErrorMsg(USER_ERR_NOT_FOUND));
    EXPECT_NE(ProgramMessage(USER_ERR_NOT_FOUND).find("10777"), std::string::npos);
    // Another code still gets its own text.
    EXPECT_EQ(ProgramMessage(USER_ERR_BUILTIN), "内置管理员不能删除");
}

class InitTextTest : public UserDbTest {
protected:
    void SetUp() override
    {
        UserDbTest::SetUp();
        USER_Term(0, "508317");
    }
    // Opens the store and expects the failure with text id and a detail holding `detail`.
    void ExpectInitFailure(const std::string& connection, const char* userTable, int id, const std::string& detail)
    {
        std::string error;
        const int rc = USER_Init(connection, userTable, "KX300_Data", error);
        ASSERT_NE(rc, 0) << "id " << id;
        int got = 0;
        EXPECT_EQ(ProgramMessage(rc, &got), error) << "id " << id;
        EXPECT_EQ(got, id) << error;
        EXPECT_NE(error.find(detail), std::string::npos) << error;
    }
};

TEST_F(InitTextTest, EveryWayOpeningFailsHasItsOwnText)
{
    const std::string here = ConnectionFor(m_folder);
    ExpectInitFailure(here, "bad name", 627, "");
    ExpectInitFailure("Provider=x;", "KX300_User", 628, "");
    ExpectInitFailure(ConnectionFor(m_folder + "absent/"), "KX300_User", 629, m_folder + "absent");

    ASSERT_EQ(mkdir((m_folder + "dir/").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((m_folder + "dir/User.db").c_str(), 0755), 0);
    ExpectInitFailure(ConnectionFor(m_folder + "dir/"), "KX300_User", 631, "dir/User.db");

    ASSERT_EQ(mkdir((m_folder + "dangling/").c_str(), 0755), 0);
    ASSERT_EQ(symlink("/nonexistent/User.db", (m_folder + "dangling/User.db").c_str()), 0);
    ExpectInitFailure(ConnectionFor(m_folder + "dangling/"), "KX300_User", 632, "dangling/User.db");

    WriteFile("letter/User.db", QByteArray("This is a letter, not a database.\n").repeated(200));
    ExpectInitFailure(ConnectionFor(m_folder + "letter/"), "KX300_User", 633, "letter/User.db");

    ASSERT_TRUE(RawExec("PRAGMA user_version = 9"));
    ExpectInitFailure(here, "KX300_User", 635, "9");
    ASSERT_TRUE(RawExec("PRAGMA user_version = 1; PRAGMA application_id = 77"));
    ExpectInitFailure(here, "KX300_User", 634, StorePath());
    ASSERT_TRUE(RawExec("PRAGMA application_id = 1414682189"));  // ours again

    // Tables of another name in our store.
    ExpectInitFailure(here, "Other_User", 638, "Other_User");
}

}  // namespace
