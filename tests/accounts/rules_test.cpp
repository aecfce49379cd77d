// The account rules that need no window: slot layout, stride, digests, number boxes,
// the overwrite question and the device write sequence.
#include "tests/accounts/AccountsFixture.h"

#include "accounts/AccountRules.h"
#include "external/md5/Md5.h"

#include <QLineEdit>
#include <QTest>

TEST(LoginSlotLayout, NoUsersLaysOutNothing)
{
    EXPECT_TRUE(LayoutLoginSlots(0, 186, 60, 60, 300).empty());
    EXPECT_TRUE(LayoutLoginSlots(-1, 186, 60, 60, 300).empty());
}

TEST(LoginSlotLayout, OneUserSitsInTheMiddle)
{
    const auto places = LayoutLoginSlots(1, 186, 60, 60, 300);
    ASSERT_EQ(places.size(), 1u);
    EXPECT_EQ(places[0].picture, QPoint(186, 116));  // (300 - 68) / 2
    EXPECT_EQ(places[0].label, QPoint(186 + 60 + 8, 121));
}

TEST(LoginSlotLayout, TwoUsersAreCentredOneUnderTheOther)
{
    const auto places = LayoutLoginSlots(2, 186, 60, 60, 300);
    ASSERT_EQ(places.size(), 2u);
    EXPECT_EQ(places[0].picture, QPoint(186, 82));  // (300 - 136) / 2
    EXPECT_EQ(places[1].picture, QPoint(186, 150));
    EXPECT_EQ(places[1].label, QPoint(254, 155));
    // Centred: as much room above the first as below the last (plus the trailing gap of 8).
    EXPECT_EQ(places[0].picture.y(), 300 - (places[1].picture.y() + 60 + 8));
}

TEST(LoginSlotLayout, OddRoomAndTooSmallPagesDivideTowardsZero)
{
    EXPECT_EQ(LayoutLoginSlots(1, 0, 60, 60, 301)[0].picture.y(), 116);  // 233 / 2
    // 49 - 136 = -87: towards zero is -43 (not the floor -44).
    EXPECT_EQ(LayoutLoginSlots(2, 0, 60, 60, 49)[0].picture.y(), -43);
}

TEST(StrideSuggestion, TableForBothSexes)
{
    EXPECT_EQ(SuggestStride(170, 0), 70);  // 70.55
    EXPECT_EQ(SuggestStride(170, 1), 70);  // 70.21
    EXPECT_EQ(SuggestStride(150, 0), 62);  // 62.25
    EXPECT_EQ(SuggestStride(150, 1), 61);  // 61.95
    EXPECT_EQ(SuggestStride(200, 0), 83);  // exactly 83 in double precision
    EXPECT_EQ(SuggestStride(200, 1), 82);  // 82.6
}

TEST(StrideSuggestion, TruncatesTowardsZeroAndSurvivesExtremes)
{
    EXPECT_EQ(SuggestStride(0, 0), 0);
    EXPECT_EQ(SuggestStride(-10, 0), -4);  // -4.15 truncated, not floored
    EXPECT_EQ(SuggestStride(999999999, 1), 412999999);
}

TEST(PasswordDigest, EmptyStaysEmptyAndCaseMatters)
{
    EXPECT_EQ(PasswordDigestOf(QString()), "");
    EXPECT_EQ(PasswordDigestOf(QStringLiteral("")), "");
    const std::string lower = PasswordDigestOf(QStringLiteral("secret"));
    const std::string upper = PasswordDigestOf(QStringLiteral("SECRET"));
    EXPECT_EQ(lower.size(), 32u);
    EXPECT_NE(lower, upper);
    // Five rounds, each over the previous hexadecimal text.
    std::string d = "secret";
    for (int i = 0; i < 5; ++i)
        d = MD5_GetStringMD5(d);
    EXPECT_EQ(lower, d);
    EXPECT_NE(lower, MD5_GetStringMD5("secret"));
}

TEST(OverwriteQuestion, OnlyForIdsThatHoldAUserNumber)
{
    EXPECT_FALSE(NeedsOverwriteQuestion(10000));
    EXPECT_TRUE(NeedsOverwriteQuestion(10001));
    EXPECT_TRUE(NeedsOverwriteQuestion(999998));
    EXPECT_FALSE(NeedsOverwriteQuestion(999999));
    EXPECT_FALSE(NeedsOverwriteQuestion(0));
    EXPECT_FALSE(NeedsOverwriteQuestion(-5));
}

TEST(NumberBoxes, ReadAsSignedIntegers)
{
    EXPECT_EQ(ReadNumberText(QString()), 0);
    EXPECT_EQ(ReadNumberText(QStringLiteral("0012")), 12);
    EXPECT_EQ(ReadNumberText(QStringLiteral("99999999999")), INT32_MAX);
    EXPECT_EQ(ReadNumberText(QStringLiteral("12a")), 0);
}

TEST(NumberBoxes, TakeDigitsOnly)
{
    QLineEdit e;
    e.setValidator(MakeDigitsValidator(2, &e));
    e.setMaxLength(2);
    QTest::keyClicks(&e, QStringLiteral("a1-b2x3"));
    EXPECT_EQ(e.text(), QStringLiteral("12"));
}

TEST(NameBox, TenBytesOfUtf8WithoutCuttingACharacter)
{
    QLineEdit e;
    e.setValidator(new CUtf8LimitValidator(10, &e));
    // Typed one character at a time, as the keyboard (or an input method) delivers them.
    for (QChar c : QStringLiteral("张三李四王五"))  // 3 bytes each: three fit (9 bytes)
        e.insert(QString(c));
    EXPECT_EQ(e.text(), QStringLiteral("张三李"));
    QTest::keyClicks(&e, QStringLiteral("ab"));  // one byte left: 'a' fits, 'b' does not
    EXPECT_EQ(e.text(), QStringLiteral("张三李a"));
    EXPECT_EQ(e.text().toUtf8().size(), 10);

    QLineEdit ascii;
    ascii.setValidator(new CUtf8LimitValidator(10, &ascii));
    QTest::keyClicks(&ascii, QStringLiteral("abcdefghijkl"));
    EXPECT_EQ(ascii.text(), QStringLiteral("abcdefghij"));
    // A pasted text that does not fit is refused whole, never cut inside a character.
    QLineEdit pasted;
    pasted.setValidator(new CUtf8LimitValidator(10, &pasted));
    pasted.insert(QStringLiteral("ab张三李四"));
    EXPECT_EQ(pasted.text(), QString());
    pasted.insert(QStringLiteral("ab张三"));
    EXPECT_EQ(pasted.text(), QStringLiteral("ab张三"));

    // Four-byte characters (outside the basic plane) count as four bytes and stay whole.
    QLineEdit wide;
    wide.setValidator(new CUtf8LimitValidator(10, &wide));
    const QString smile = QString::fromUtf8("\xF0\x9F\x98\x80");
    wide.insert(QStringLiteral("ab"));
    wide.insert(smile);
    wide.insert(smile);
    EXPECT_EQ(wide.text().toUtf8().size(), 10);
    wide.insert(QStringLiteral("c"));
    EXPECT_EQ(wide.text(), QStringLiteral("ab") + smile + smile);
    wide.end(false);
    wide.backspace();  // removes the whole last character
    EXPECT_EQ(wide.text().toUtf8().size(), 6);
}

class DeviceWriteTest : public AccountsTest {};

TEST_F(DeviceWriteTest, WritesIdProfileTargetAndAlarmInOrder)
{
    UserRecord r{};
    r.number = 10007;
    r.sex = 2;
    r.height = 165;
    r.weight = 52;
    r.age = 41;
    r.stride = 68;  // never written
    r.targetCalories = 320;
    r.alarm = MakeAlarmTime(6, 45, 30);
    EXPECT_TRUE(WriteProfileToDevice(r));
    const std::vector<std::string> expected = {"SetID 10007", "SetSHW 0 165 52 41 1", "SetDayTargetCalorie 320",
                                               "SetAlarmClock 6:45:30"};
    EXPECT_EQ(m_deviceCalls, expected);
}

TEST_F(DeviceWriteTest, MaleIsOneAndAFailedProfileWriteFailsTheWrite)
{
    UserRecord r{};
    r.number = 10008;
    r.sex = 1;
    m_shwResult = 0;
    EXPECT_FALSE(WriteProfileToDevice(r));
    ASSERT_EQ(m_deviceCalls.size(), 4u);  // the later writes still happen
    EXPECT_EQ(m_deviceCalls[1].rfind("SetSHW 1 ", 0), 0u);
}
