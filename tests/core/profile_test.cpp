#include "core/Profile.h"
#include "tests/support/ProgramFolder.h"

#include <QFile>

namespace {

class ProfileFiles : public ProgramFolderTest {
protected:
    QString Ini() { return PathOf("t.ini"); }
};

TEST_F(ProfileFiles, MissingFileSectionOrKeyGivesTheDefault)
{
    EXPECT_EQ(Profile::GetString(Ini(), "App", "SkinName", "标准"), "标准");
    EXPECT_EQ(Profile::GetInt(Ini(), "App", "Count", 7), 7);
    WriteFile("t.ini", "[Other]\nSkinName=x\n");
    EXPECT_EQ(Profile::GetString(Ini(), "App", "SkinName", "d"), "d");
    EXPECT_EQ(Profile::GetInt(Ini(), "App", "SkinName", 3), 3);
}

TEST_F(ProfileFiles, NamesAreCaseInsensitiveAndTrimmedFirstMatchWins)
{
    WriteFile("t.ini", "  [ app ]  \r\n  skinname =  Blue  \r\nSKINNAME=Red\r\n[APP]\r\nOther=1\r\n");
    EXPECT_EQ(Profile::GetString(Ini(), "App", "SkinName"), "Blue");
    // Only the first section of a name is read.
    EXPECT_EQ(Profile::GetString(Ini(), "app", "Other", "none"), "none");
}

TEST_F(ProfileFiles, LineEndingsBomCommentsAndJunkLines)
{
    WriteFile("t.ini", "\xEF\xBB\xBF[A]\nno equals sign here\n;k=commented\n=novalue\nk=v1\r\nq=\"quoted value\"\n");
    EXPECT_EQ(Profile::GetString(Ini(), "A", "k"), "v1");
    EXPECT_EQ(Profile::GetString(Ini(), "A", "q"), "quoted value");
    EXPECT_EQ(Profile::GetString(Ini(), "A", "no equals sign here", "d"), "d");
}

TEST_F(ProfileFiles, LongValuesAreCutOnACharacterBoundary)
{
    QByteArray value;
    for (int i = 0; i < 100; ++i)
        value += "中";  // 3 bytes each: 255 bytes is exactly 85 characters
    WriteFile("t.ini", "[A]\nk=" + value + "\nascii=" + QByteArray(400, 'x') + "\n");
    const QString got = Profile::GetString(Ini(), "A", "k");
    EXPECT_EQ(got.size(), 85);
    EXPECT_LE(got.toUtf8().size(), 255);
    EXPECT_EQ(Profile::GetString(Ini(), "A", "ascii").size(), 255);
    WriteFile("t.ini", "[A]\nk=a" + value + "\n");  // 1 + 3n bytes: the cut falls inside a character
    const QByteArray cut = Profile::GetString(Ini(), "A", "k").toUtf8();
    EXPECT_EQ(cut.size(), 253);
    EXPECT_FALSE(QString::fromUtf8(cut).contains(QChar::ReplacementCharacter));
}

TEST_F(ProfileFiles, IntegersAreReadLikeAtoi)
{
    WriteFile("t.ini", "[A]\na=12abc\nb=abc\nc= -7\nd=0x10\ne=99999999999999\nf=\ng=+5\n");
    EXPECT_EQ(Profile::GetInt(Ini(), "A", "a", -1), 12);
    EXPECT_EQ(Profile::GetInt(Ini(), "A", "b", -1), 0);
    EXPECT_EQ(Profile::GetInt(Ini(), "A", "c", -1), -7);
    EXPECT_EQ(Profile::GetInt(Ini(), "A", "d", -1), 0);
    EXPECT_EQ(Profile::GetInt(Ini(), "A", "e", -1), INT_MAX);
    EXPECT_EQ(Profile::GetInt(Ini(), "A", "f", -1), 0);
    EXPECT_EQ(Profile::GetInt(Ini(), "A", "g", -1), 5);
    EXPECT_EQ(Profile::Atoi("-99999999999999"), INT_MIN);
}

TEST_F(ProfileFiles, WritingCreatesFileAndSection)
{
    ASSERT_TRUE(Profile::WriteString(Ini(), "Default", "Index", "1"));
    EXPECT_EQ(Profile::GetString(Ini(), "Default", "Index"), "1");
    ASSERT_TRUE(Profile::WriteInt(Ini(), "Other", "N", 42));
    EXPECT_EQ(Profile::GetInt(Ini(), "Other", "N", 0), 42);
    EXPECT_EQ(Profile::GetString(Ini(), "Default", "Index"), "1");
}

TEST_F(ProfileFiles, WritingKeepsEveryOtherLine)
{
    WriteFile("t.ini", "; top comment\n[Default]\nIndex=0\n; keep me\nCount=2\n\n[Language0]\nName=简体中文\n");
    ASSERT_TRUE(Profile::WriteString(Ini(), "default", "INDEX", "1"));
    ASSERT_TRUE(Profile::WriteString(Ini(), "Default", "ShowCombo", "1"));
    const QString text = QString::fromUtf8(ReadFile("t.ini"));
    EXPECT_TRUE(text.contains("; top comment"));
    EXPECT_TRUE(text.contains("; keep me"));
    EXPECT_TRUE(text.contains("Name=简体中文"));
    EXPECT_EQ(Profile::GetString(Ini(), "Default", "Index"), "1");
    EXPECT_EQ(Profile::GetInt(Ini(), "Default", "Count", 0), 2);
    EXPECT_EQ(Profile::GetInt(Ini(), "Default", "ShowCombo", 0), 1);
    // The new key went into its own section, not after the next one.
    EXPECT_LT(text.indexOf("ShowCombo"), text.indexOf("[Language0]"));
    EXPECT_EQ(text.count("Index="), 1);
}

TEST_F(ProfileFiles, FailedWriteLeavesTheFileAlone)
{
    WriteFile("t.ini", "[A]\nk=1\n");
    // A folder where the file should be: the write fails, nothing else changes.
    EXPECT_FALSE(Profile::WriteString(PathOf("missing-folder/x.ini"), "A", "k", "2"));
    EXPECT_EQ(Profile::GetString(Ini(), "A", "k"), "1");
}

TEST_F(ProfileFiles, KeysAreListedOnceInFileOrder)
{
    WriteFile("t.ini", "[Bar]\nB=1\nA=2\nb=3\n[Next]\nC=4\n");
    EXPECT_EQ(Profile::Keys(Ini(), "bar"), (QStringList{"B", "A"}));
}

TEST_F(ProfileFiles, BinaryGarbageNeverCrashes)
{
    QByteArray junk;
    for (int i = 0; i < 4096; ++i)
        junk += static_cast<char>((i * 131 + 7) % 256);
    WriteFile("t.ini", junk);
    EXPECT_EQ(Profile::GetString(Ini(), "A", "k", "d"), "d");
    EXPECT_TRUE(Profile::WriteString(Ini(), "A", "k", "v"));
    EXPECT_EQ(Profile::GetString(Ini(), "A", "k"), "v");
}

}  // namespace
