// The built-in texts and the English pack: complete, consistent, and exact where
// the program's messages depend on punctuation and placeholders.
#include "core/StringTable.h"
#include "res/BuiltinStrings.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <memory>
#include <set>
#include <utility>
#include <vector>

namespace {

// Every string-table number the program shows.
std::vector<int> UsedStringIds()
{
    std::vector<int> ids;
    for (int id = 101; id <= 124; ++id)
        ids.push_back(id);
    for (int id : {144, 152, 153, 155, 156, 158, 159, 160, 161, 162, 164, 165, 168, 169, 170, 171, 172, 173})
        ids.push_back(id);
    for (int id = 190; id <= 214; ++id)
        ids.push_back(id);
    for (int id : {216, 217, 218, 221})
        ids.push_back(id);
    for (int id = 235; id <= 246; ++id)
        ids.push_back(id);
    for (int id : {248, 249})
        ids.push_back(id);
    for (int id = 501; id <= 511; ++id)
        ids.push_back(id);
    for (int id = 680; id <= 709; ++id)
        ids.push_back(id);
    return ids;
}

// Texts that are empty on purpose (the device-found caption when opened from the toolbar).
const std::set<int> kEmptyOnPurpose = {164};

QString SourcePath(const char* relative)
{
    return QStringLiteral(TRAVIMO_SOURCE_DIR "/") + QString::fromUtf8(relative);
}

std::unique_ptr<CLanguagePack> LoadEnglish()
{
    QString error;
    auto pack = CLanguagePack::Load(SourcePath("res/program/Language/English.lng"), &error);
    EXPECT_TRUE(pack) << error.toStdString();
    return pack;
}

int Count(const QString& text, const QString& what)
{
    return static_cast<int>(text.count(what));
}

}  // namespace

TEST(BuiltinTable, HoldsEveryUsedStringAndOnlyDeliberateBlanks)
{
    for (int id : UsedStringIds()) {
        bool found = false;
        for (size_t i = 0; i < kBuiltinStringCount; ++i)
            found = found || kBuiltinStrings[i].id == id;
        EXPECT_TRUE(found) << "string " << id << " missing";
        if (kEmptyOnPurpose.count(id))
            EXPECT_TRUE(BuiltinStr(id).isEmpty()) << id;
        else
            EXPECT_FALSE(BuiltinStr(id).isEmpty()) << "string " << id << " is empty";
    }
    EXPECT_TRUE(BuiltinStr(0).isEmpty());
    EXPECT_TRUE(BuiltinStr(999).isEmpty());
}

TEST(BuiltinTable, StringsAreInStrictIdOrderAndValidUtf8)
{
    for (size_t i = 0; i < kBuiltinStringCount; ++i) {
        if (i > 0) {
            EXPECT_LT(kBuiltinStrings[i - 1].id, kBuiltinStrings[i].id) << "at " << kBuiltinStrings[i].id;
        }
        const QByteArray raw(kBuiltinStrings[i].text);
        EXPECT_EQ(QString::fromUtf8(raw).toUtf8(), raw) << kBuiltinStrings[i].id;
    }
}

TEST(BuiltinTable, DialogTextsAreGroupedAscendingWithoutDuplicates)
{
    std::set<std::pair<int, int>> seen;
    for (size_t i = 0; i < kBuiltinDialogTextCount; ++i) {
        const BuiltinDialogText& d = kBuiltinDialogTexts[i];
        if (i > 0) {
            const BuiltinDialogText& p = kBuiltinDialogTexts[i - 1];
            EXPECT_TRUE(p.dialog < d.dialog || (p.dialog == d.dialog && p.control < d.control))
                << "out of order at " << d.dialog << "/" << d.control;
        }
        EXPECT_TRUE(seen.insert({d.dialog, d.control}).second) << d.dialog << "/" << d.control;
        EXPECT_GT(std::strlen(d.text), 0u) << d.dialog << "/" << d.control;
    }
}

TEST(BuiltinTable, MessagesKeepTheirExactWording)
{
    EXPECT_EQ(BuiltinStr(101), QStringLiteral("关于 Travimo..."));
    EXPECT_EQ(BuiltinStr(102), QStringLiteral("Travimo"));
    EXPECT_EQ(BuiltinStr(112), QStringLiteral("注意，此操作将不能恢复。\r\n您确定要删除用户 <r> 吗？"));
    EXPECT_EQ(BuiltinStr(114), QStringLiteral("该用户已经存在，请选择其它用户名。"));
    EXPECT_EQ(BuiltinStr(152), QStringLiteral("用户ID：<r>"));
    EXPECT_EQ(BuiltinStr(165), QStringLiteral("共导出记录 <r> 条。"));
    EXPECT_EQ(BuiltinStr(168), QStringLiteral("Microsoft Office Excel 工作簿(*.xls)|*.xls||"));
    EXPECT_EQ(BuiltinStr(194), QStringLiteral("发现未初始化的计步器。\r\n请以管理员身份登录后为此计步器烧写用户资料。"));
    EXPECT_EQ(BuiltinStr(196), QStringLiteral("原计步器中的ID为 <r0>, 您确定写入新的ID: <r1>吗?"));
    EXPECT_EQ(BuiltinStr(211), QStringLiteral("有效总量比[%]"));
    EXPECT_EQ(BuiltinStr(214), QStringLiteral("即将删除计步器中的所有计步数据。\n\n您确认要删除数据吗?"));
    EXPECT_EQ(BuiltinStr(216), QStringLiteral("同步资料成功."));
    EXPECT_EQ(BuiltinStr(218), QStringLiteral("找不到对应的用户,单击此处为此ID创建一个新用户."));
    EXPECT_EQ(BuiltinStr(246), QStringLiteral("千卡/2分钟"));
    EXPECT_EQ(BuiltinStr(248), QStringLiteral("运动量: <r>千卡"));
    EXPECT_EQ(BuiltinStr(249), QStringLiteral("当前位置[<r>千卡]"));
    // The login page's texts as the resource has them and as a language switch reloads them.
    EXPECT_EQ(BuiltinDlgText(131, 1087), QStringLiteral("使用语言："));
    EXPECT_EQ(BuiltinStr(190), QStringLiteral("请选择语言"));
    EXPECT_EQ(BuiltinDlgText(144, 0), QStringLiteral("用户登录"));
    EXPECT_EQ(BuiltinDlgText(145, 32772), QStringLiteral("退出(&X)"));
    EXPECT_EQ(BuiltinDlgText(149, 1057), QStringLiteral("型  号：KX300"));
    EXPECT_EQ(BuiltinDlgText(152, 1213), QStringLiteral("旧 密 码："));
    EXPECT_EQ(BuiltinDlgText(154, 32792), QStringLiteral("导出到&Excel文件"));
}

TEST(EnglishPack, ParsesAndNamesItself)
{
    auto en = LoadEnglish();
    ASSERT_TRUE(en);
    EXPECT_EQ(en->Name(), QStringLiteral("English"));
    EXPECT_EQ(en->StringCount(), static_cast<int>(kBuiltinStringCount));
}

TEST(EnglishPack, TranslatesEveryBuiltinTextAndNothingElse)
{
    auto en = LoadEnglish();
    ASSERT_TRUE(en);
    QSet<int> builtinIds;
    for (size_t i = 0; i < kBuiltinStringCount; ++i) {
        const int id = kBuiltinStrings[i].id;
        builtinIds.insert(id);
        const auto text = en->String(id);
        ASSERT_TRUE(text.has_value()) << "no translation of string " << id;
        EXPECT_EQ(text->isEmpty(), kEmptyOnPurpose.count(id) == 1) << "string " << id;
    }
    for (int id : en->StringIds())
        EXPECT_TRUE(builtinIds.contains(id)) << "English string " << id << " has no built-in text";

    QSet<QPair<int, int>> builtinKeys;
    for (size_t i = 0; i < kBuiltinDialogTextCount; ++i) {
        const BuiltinDialogText& d = kBuiltinDialogTexts[i];
        builtinKeys.insert({d.dialog, d.control});
        const auto text = en->DialogText(d.dialog, d.control);
        ASSERT_TRUE(text.has_value()) << "no translation of dialog text " << d.dialog << "/" << d.control;
        EXPECT_FALSE(text->isEmpty()) << d.dialog << "/" << d.control;
    }
    for (const auto& key : en->DialogTextKeys())
        EXPECT_TRUE(builtinKeys.contains(key)) << "English dialog text " << key.first << "/" << key.second
                                               << " has no built-in text";
}

TEST(EnglishPack, KeepsPlaceholdersLineBreaksAndFilters)
{
    auto en = LoadEnglish();
    ASSERT_TRUE(en);
    for (size_t i = 0; i < kBuiltinStringCount; ++i) {
        const int id = kBuiltinStrings[i].id;
        const QString zh = QString::fromUtf8(kBuiltinStrings[i].text);
        const QString tr = en->String(id).value_or(QString());
        for (const QString& ph : {QStringLiteral("<r>"), QStringLiteral("<r0>"), QStringLiteral("<r1>"),
                                  QStringLiteral("<r2>"), QStringLiteral("<r3>"), QStringLiteral("<r4>")})
            EXPECT_EQ(Count(tr, ph), Count(zh, ph)) << ph.toStdString() << " in string " << id;
        EXPECT_EQ(Count(tr, QStringLiteral("\n")), Count(zh, QStringLiteral("\n"))) << "line breaks in " << id;
        EXPECT_EQ(Count(tr, QStringLiteral("\r")), Count(zh, QStringLiteral("\r"))) << "line breaks in " << id;
    }
    // The save dialog's filter must stay a valid description|pattern|| list.
    EXPECT_TRUE(en->String(168)->endsWith(QStringLiteral("|*.xls||")));
    EXPECT_TRUE(en->String(699)->endsWith(QStringLiteral("|*.xlsx||")));
    EXPECT_TRUE(en->String(700)->endsWith(QStringLiteral("|*.csv||")));
    // Menu accelerators: one '&' each where the built-in text has one.
    for (size_t i = 0; i < kBuiltinDialogTextCount; ++i) {
        const BuiltinDialogText& d = kBuiltinDialogTexts[i];
        const QString zh = QString::fromUtf8(d.text);
        const QString tr = en->DialogText(d.dialog, d.control).value_or(QString());
        EXPECT_EQ(Count(tr, QStringLiteral("&")), Count(zh, QStringLiteral("&"))) << d.dialog << "/" << d.control;
    }
}

TEST(EnglishPack, ReadsNaturally)
{
    auto en = LoadEnglish();
    ASSERT_TRUE(en);
    EXPECT_EQ(en->String(192), QStringLiteral("Exit"));
    EXPECT_EQ(en->String(193), QStringLiteral("Log in"));
    EXPECT_EQ(en->DialogText(145, 32772), QStringLiteral("E&xit"));
    EXPECT_EQ(en->DialogText(131, 1087), QStringLiteral("Language:"));
    // No Chinese left over in any translation.
    const QRegularExpression han(QStringLiteral("\\p{Han}"));
    for (int id : en->StringIds())
        EXPECT_FALSE(en->String(id)->contains(han)) << "string " << id;
    for (const auto& key : en->DialogTextKeys())
        EXPECT_FALSE(en->DialogText(key.first, key.second)->contains(han)) << key.first << "/" << key.second;
}

TEST(ChinesePack, TheGeneratedPackCarriesTheBuiltinTableUnchanged)
{
    QString error;
    auto pack = CLanguagePack::Parse(BuiltinTableAsPack(QStringLiteral("简体中文")), &error);
    ASSERT_TRUE(pack) << error.toStdString();
    EXPECT_EQ(pack->Name(), QStringLiteral("简体中文"));
    ASSERT_EQ(pack->StringCount(), static_cast<int>(kBuiltinStringCount));
    for (size_t i = 0; i < kBuiltinStringCount; ++i)
        EXPECT_EQ(pack->String(kBuiltinStrings[i].id), QString::fromUtf8(kBuiltinStrings[i].text)) << kBuiltinStrings[i].id;
    ASSERT_EQ(pack->DialogTextKeys().size(), static_cast<qsizetype>(kBuiltinDialogTextCount));
    for (size_t i = 0; i < kBuiltinDialogTextCount; ++i) {
        const BuiltinDialogText& d = kBuiltinDialogTexts[i];
        EXPECT_EQ(pack->DialogText(d.dialog, d.control), QString::fromUtf8(d.text));
    }
}

TEST(LanguageIni, NamesTheTwoShippedPacks)
{
    QFile f(SourcePath("res/program/Language.ini"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString ini = QString::fromUtf8(f.readAll());
    EXPECT_TRUE(ini.contains(QStringLiteral("Count=2")));
    EXPECT_TRUE(ini.contains(QStringLiteral("Name=简体中文")));
    EXPECT_TRUE(ini.contains(QStringLiteral("Dll=Chinese.lng")));
    EXPECT_TRUE(ini.contains(QStringLiteral("Name=English")));
    EXPECT_TRUE(ini.contains(QStringLiteral("Dll=English.lng")));
}
