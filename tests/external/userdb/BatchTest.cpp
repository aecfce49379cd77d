// Many days in one call: the same outcomes as storing them one by one, and
// nothing of a batch kept when the store fails in its middle.
#include "tests/external/userdb/UserDbFixture.h"

#include <limits>

namespace {

constexpr int32_t kBatchUser = 10002;
constexpr int32_t kSingleUser = 10003;

class BatchTest : public UserDbTest {
protected:
    void SetUp() override
    {
        UserDbTest::SetUp();
        ASSERT_EQ(USER_CreateUser(MakeUser(kBatchUser, "Batch")), USER_OK);
        ASSERT_EQ(USER_CreateUser(MakeUser(kSingleUser, "Single")), USER_OK);
    }
    static std::vector<const DeviceStepRecord*> Pointers(const std::vector<DeviceStepRecord>& days)
    {
        std::vector<const DeviceStepRecord*> p;
        for (const DeviceStepRecord& d : days)
            p.push_back(&d);
        return p;
    }
    std::string m_error;
    std::string StoredDays(int32_t number) const
    {
        return RawQuery("SELECT group_concat(day || ':' || steps || ':' || weight || ':' || hex(record), ',') FROM "
                        "(SELECT * FROM KX300_Data WHERE number = " + std::to_string(number) + " ORDER BY day)");
    }
};

DeviceStepRecord Active(int y, int m, int d, int from, int to)
{
    DeviceStepRecord r = MakeDay(y, m, d);
    Fill(r, from, to, 6.5, 120);
    return r;
}

TEST_F(BatchTest, MixedBatchHasTheOutcomesOfOneByOne)
{
    // Already stored before the batch: one day to meet again unchanged, one to meet fuller, one to meet stale.
    const DeviceStepRecord same = Active(2022, 3, 1, 100, 150);
    const DeviceStepRecord grows = Active(2022, 3, 2, 100, 150);
    const DeviceStepRecord full = Active(2022, 3, 3, 100, 300);
    DeviceStepRecord fuller = grows;
    Fill(fuller, 400, 450, 7.0);
    const DeviceStepRecord stale = Active(2022, 3, 3, 100, 120);
    DeviceStepRecord badStatus = Active(2022, 3, 8, 0, 10);
    badStatus.date.status = 2;
    DeviceStepRecord badValue = Active(2022, 3, 9, 0, 10);
    badValue.slotKcal[5] = std::numeric_limits<double>::quiet_NaN();
    const DeviceStepRecord later = Active(2022, 3, 5, 10, 90);

    const std::vector<DeviceStepRecord> batch = {
        Active(2022, 3, 4, 10, 80),  // new
        same,                        // identical
        fuller,                      // fuller than stored
        stale,                       // less full than stored
        MakeDay(1999, 12, 31),       // before 2000
        MakeDay(2100, 1, 1),         // after 2099
        badStatus,
        badValue,
        Active(2022, 3, 5, 10, 40),  // new ...
        later,                       // ... then a fuller read of it in the same batch
        Active(2022, 3, 5, 10, 40),  // ... then the stale one again
        later,                       // ... and the same one again
    };
    for (int32_t number : {kBatchUser, kSingleUser}) {
        for (const DeviceStepRecord* d : {&same, &grows, &full})
            ASSERT_EQ(USER_InsertData(number, 60, 70, *d, m_error), USER_OK) << m_error;
    }

    std::vector<int> expected;
    std::string firstText;
    for (const DeviceStepRecord& d : batch) {
        std::string error;
        expected.push_back(USER_InsertData(kSingleUser, 60, 70, d, error));
        if (expected.back() != USER_OK && firstText.empty())
            firstText = error;
    }
    EXPECT_EQ(expected, (std::vector<int>{1, 0, 1, 0, USER_ERR_BAD_DAY, USER_ERR_BAD_DAY, USER_ERR_BAD_DAY,
                                          USER_ERR_BAD_DAY, 1, 1, 0, 0}));

    std::vector<int> results;
    std::string error;
    EXPECT_EQ(USER_InsertDataBatch(kBatchUser, 60, 70, Pointers(batch), results, error), 4);
    EXPECT_EQ(results, expected);
    EXPECT_EQ(error, firstText);
    EXPECT_EQ(USER_GetErrorMsg(USER_ERR_ALREADY_STORED), firstText);
    EXPECT_EQ(StoredDays(kBatchUser), StoredDays(kSingleUser));

    // A batch that stores everything leaves no text behind.
    const std::vector<DeviceStepRecord> fresh = {Active(2022, 4, 1, 0, 5), Active(2022, 4, 2, 0, 5)};
    EXPECT_EQ(USER_InsertDataBatch(kBatchUser, 60, 70, Pointers(fresh), results, error), 2);
    EXPECT_EQ(results, (std::vector<int>{1, 1}));
    EXPECT_TRUE(error.empty());
}

TEST_F(BatchTest, StoreFailureInTheMiddleKeepsNothingOfTheBatch)
{
    const DeviceStepRecord before = Active(2022, 3, 1, 0, 50);
    ASSERT_EQ(USER_InsertData(kBatchUser, 60, 70, before, m_error), USER_OK);
    const std::string stored = StoredDays(kBatchUser);
    // The disk "fails" when the third day is written.
    ASSERT_TRUE(RawExec("CREATE TRIGGER trouble BEFORE INSERT ON KX300_Data WHEN NEW.day = 20220310 "
                        "BEGIN SELECT RAISE(ABORT, 'disk trouble'); END;"));
    DeviceStepRecord refused = Active(2022, 3, 12, 0, 5);
    refused.steps = -1;
    const std::vector<DeviceStepRecord> batch = {Active(2022, 3, 8, 0, 50), Active(2022, 3, 9, 0, 50),
                                                 refused, Active(2022, 3, 10, 0, 50), Active(2022, 3, 11, 0, 50)};
    std::vector<int> results;
    std::string error;
    EXPECT_EQ(USER_InsertDataBatch(kBatchUser, 60, 70, Pointers(batch), results, error), USER_ERR_GENERAL);
    EXPECT_EQ(results, (std::vector<int>{USER_ERR_GENERAL, USER_ERR_GENERAL, USER_ERR_BAD_DAY, USER_ERR_GENERAL,
                                         USER_ERR_GENERAL}));
    EXPECT_NE(error.find("disk trouble"), std::string::npos) << error;
    EXPECT_EQ(USER_GetErrorMsg(USER_ERR_GENERAL), error);
    EXPECT_EQ(StoredDays(kBatchUser), stored);

    // The store goes on working, and the same batch is stored once the disk is well again.
    ASSERT_TRUE(RawExec("DROP TRIGGER trouble"));
    EXPECT_EQ(USER_InsertDataBatch(kBatchUser, 60, 70, Pointers(batch), results, error), 4);
    EXPECT_EQ(RawQuery("SELECT count(*) FROM KX300_Data"), "5");
    EXPECT_EQ(RawQuery("PRAGMA integrity_check"), "ok");
}

TEST_F(BatchTest, WholeBatchRefusalsStoreNothing)
{
    const std::vector<DeviceStepRecord> batch = {Active(2022, 3, 8, 0, 50), Active(2022, 3, 9, 0, 50)};
    std::vector<int> results;
    std::string error;
    EXPECT_EQ(USER_InsertDataBatch(10099, 60, 70, Pointers(batch), results, error), USER_ERR_NOT_FOUND);
    EXPECT_EQ(results, (std::vector<int>{USER_ERR_NOT_FOUND, USER_ERR_NOT_FOUND}));
    EXPECT_NE(error.find("10099"), std::string::npos);

    const std::vector<const DeviceStepRecord*> withNull = {&batch[0], nullptr};
    EXPECT_EQ(USER_InsertDataBatch(kBatchUser, 60, 70, withNull, results, error), 1);
    EXPECT_EQ(results, (std::vector<int>{1, USER_ERR_BAD_DAY}));

    EXPECT_EQ(USER_InsertDataBatch(kBatchUser, 60, 70, {}, results, error), 0);
    EXPECT_TRUE(results.empty());

    USER_Term(0, "508317");
    EXPECT_EQ(USER_InsertDataBatch(kBatchUser, 60, 70, Pointers(batch), results, error), USER_ERR_NOT_OPEN);
    EXPECT_EQ(results, (std::vector<int>{USER_ERR_NOT_OPEN, USER_ERR_NOT_OPEN}));
    EXPECT_FALSE(error.empty());
    ASSERT_EQ(Reopen(), 0);
    EXPECT_EQ(RawQuery("SELECT count(*) FROM KX300_Data"), "1");
}

}  // namespace
