// Language packs at run time: parsing hostile files, switching on the login page,
// falling back to the built-in texts, the placeholders and dialog relabelling.
#include "core/DlgItem.h"
#include "core/Globals.h"
#include "core/Profile.h"
#include "core/StoreText.h"
#include "core/StringTable.h"
#include "external/userdb/UserDb.h"
#include "tests/support/ProgramFolder.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace {

QByteArray ReadSource(const char* relative)
{
    QFile f(QStringLiteral(TRAVIMO_SOURCE_DIR "/") + QString::fromUtf8(relative));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class LanguageFolder : public ProgramFolderTest {
protected:
    void SetUp() override
    {
        ProgramFolderTest::SetUp();
        WriteFile(QStringLiteral("Language.ini"), ReadSource("res/program/Language.ini"));
        WriteFile(QStringLiteral("Language/English.lng"), ReadSource("res/program/Language/English.lng"));
        WriteFile(QStringLiteral("Language/Chinese.lng"), BuiltinTableAsPack(QStringLiteral("简体中文")));
    }

    // Adds a language whose pack file holds the given bytes; returns its index.
    int AddLanguage(const QString& file, const QByteArray* content)
    {
        const QString ini = LanguageIniPath();
        const int index = Profile::GetInt(ini, "Default", "Count", 1);
        Profile::WriteString(ini, QStringLiteral("Language%1").arg(index), "Name", file);
        Profile::WriteString(ini, QStringLiteral("Language%1").arg(index), "Dll", file);
        Profile::WriteString(ini, "Default", "Count", QString::number(index + 1));
        if (content)
            WriteFile(QStringLiteral("Language/") + file, *content);
        return index;
    }
};

}  // namespace

TEST(PackFormat, EscapesRoundTripThroughAPackLine)
{
    const QString samples[] = {
        QStringLiteral("plain"),
        QStringLiteral("line one\r\nline two"),
        QStringLiteral("\n\nleading breaks"),
        QStringLiteral("C:\\Travimo\\Photo\\0.bmp"),
        QStringLiteral("a literal \\n is not a break"),
        QStringLiteral("ends in a backslash\\"),
        QStringLiteral("tab\there"),
        QStringLiteral("  leading and trailing blanks  "),
        QStringLiteral("key=value=more"),
        QStringLiteral("; not a comment"),
        QStringLiteral("[not a section]"),
        QStringLiteral("中文，全角！"),
        QString(),
    };
    for (const QString& s : samples) {
        EXPECT_EQ(UnescapePackText(EscapePackText(s)), s) << s.toStdString();
        EXPECT_FALSE(EscapePackText(s).contains(QLatin1Char('\n'))) << s.toStdString();
        QString error;
        auto pack = CLanguagePack::Parse("[Strings]\n7=" + EscapePackText(s).toUtf8() + "\n", &error);
        ASSERT_TRUE(pack) << error.toStdString();
        EXPECT_EQ(pack->String(7), s) << s.toStdString();
    }
    // Unknown escapes stay as written.
    EXPECT_EQ(UnescapePackText(QStringLiteral("\\q\\")), QStringLiteral("\\q\\"));
}

TEST(PackFormat, AcceptsCommentsBlankLinesBomAndCrLf)
{
    const QByteArray data = "\xEF\xBB\xBF; comment\r\n# another\r\n\r\n[Pack]\r\nName = Test \r\n"
                            "[Strings]\r\n  192 =Quit\r\n[dialog 131]\r\n0=Login page\r\n1087=Lang:\r\n";
    QString error;
    auto pack = CLanguagePack::Parse(data, &error);
    ASSERT_TRUE(pack) << error.toStdString();
    EXPECT_EQ(pack->Name(), QStringLiteral("Test"));
    EXPECT_EQ(pack->String(192), QStringLiteral("Quit"));
    EXPECT_EQ(pack->DialogText(131, 0), QStringLiteral("Login page"));
    EXPECT_EQ(pack->DialogText(131, 1087), QStringLiteral("Lang:"));
    EXPECT_FALSE(pack->String(193).has_value());
    EXPECT_FALSE(pack->DialogText(131, 1).has_value());
}

TEST(PackFormat, RefusesMalformedPacksAsAWhole)
{
    const QByteArray bad[] = {
        "",                                         // no [Strings]
        "[Pack]\nName=x\n",                         // no [Strings]
        "[Strings]\n192 Exit\n",                    // no '='
        "[Strings]\n=Exit\n",                       // no id
        "[Strings]\nabc=Exit\n",                    // id not a number
        "192=Exit\n[Strings]\n",                    // text outside a section
        "[Strings]\n192=Exit\n[Menus]\n1=x\n",      // unknown section
        "[Strings]\n[Dialog x]\n0=Caption\n",       // dialog without a number
        "[Strings]\n192=\xE9xit\n",                 // Latin-1, not UTF-8
        "[Strings]\n192=\xFF\xFE\n",                // not UTF-8
        "[Strings]\n192=\xE9\x80",                  // a character cut off at the end
    };
    for (const QByteArray& data : bad) {
        QString error;
        EXPECT_FALSE(CLanguagePack::Parse(data, &error)) << data.toStdString();
        EXPECT_FALSE(error.isEmpty()) << data.toStdString();
    }
    EXPECT_FALSE(CLanguagePack::Load(QStringLiteral("/nonexistent/Travimo/English.lng")));
}

TEST_F(LanguageFolder, SwitchingToEnglishChangesTextsAndRemembersTheChoice)
{
    ASSERT_EQ(LoadStr(192), QStringLiteral("退出"));
    QString error;
    ASSERT_TRUE(SwitchLanguage(1, &error)) << error.toStdString();
    EXPECT_EQ(LoadStr(192), QStringLiteral("Exit"));
    EXPECT_EQ(LoadStr(191), QStringLiteral("Other user"));
    EXPECT_EQ(LoadStr(190), QStringLiteral("Please select a language"));
    EXPECT_EQ(LoadStr(193), QStringLiteral("Log in"));
    EXPECT_EQ(LoadDlgText(144, 0), QStringLiteral("User Login"));
    EXPECT_EQ(LoadStr(164), QString());
    EXPECT_EQ(Profile::GetString(LanguageIniPath(), "Default", "Index", "?"), QStringLiteral("1"));
    // The other keys of Language.ini survive the write.
    EXPECT_EQ(Profile::GetInt(LanguageIniPath(), "Default", "Count", 0), 2);
    EXPECT_EQ(Profile::GetInt(LanguageIniPath(), "Default", "ShowCombo", 0), 1);
    EXPECT_EQ(Profile::GetString(LanguageIniPath(), "Language1", "Dll", ""), QStringLiteral("English.lng"));
    EXPECT_EQ(g_nLanguage, 0);  // only the start-up index

    ASSERT_TRUE(SwitchLanguage(0, &error)) << error.toStdString();
    EXPECT_EQ(LoadStr(192), QStringLiteral("退出"));
    EXPECT_EQ(LoadStr(112), BuiltinStr(112));
    EXPECT_EQ(Profile::GetString(LanguageIniPath(), "Default", "Index", "?"), QStringLiteral("0"));
}

TEST_F(LanguageFolder, AFailedSwitchKeepsTheTextsAndLanguageIni)
{
    const QByteArray notUtf8 = "[Strings]\n192=Sortir \xE9\n";
    const QByteArray badLine = "[Strings]\n192=Sortir\nthis line is no text\n";
    const QByteArray noStrings = "[Pack]\nName=Empty\n";
    const int missing = AddLanguage(QStringLiteral("Missing.lng"), nullptr);
    const int latin1 = AddLanguage(QStringLiteral("Latin1.lng"), &notUtf8);
    const int broken = AddLanguage(QStringLiteral("Broken.lng"), &badLine);
    const int empty = AddLanguage(QStringLiteral("Empty.lng"), &noStrings);
    const int beyond = 40;  // no such section: the default file name, which is not there either

    for (bool fromEnglish : {false, true}) {
        if (fromEnglish) {
            ASSERT_TRUE(SwitchLanguage(1));
        }
        const QString before = LoadStr(192);
        const QString beforeDlg = LoadDlgText(131, 1087);
        const QByteArray ini = ReadFile(QStringLiteral("Language.ini"));
        for (int index : {missing, latin1, broken, empty, beyond, -1}) {
            QString error;
            EXPECT_FALSE(SwitchLanguage(index, &error)) << index;
            EXPECT_FALSE(error.isEmpty()) << index;
            EXPECT_EQ(LoadStr(192), before) << index;
            EXPECT_EQ(LoadDlgText(131, 1087), beforeDlg) << index;
            EXPECT_EQ(ReadFile(QStringLiteral("Language.ini")), ini) << index;
        }
    }
}

TEST_F(LanguageFolder, MissingTextsFallBackToTheBuiltinOnes)
{
    const QByteArray partial = "[Pack]\nName=Partial\n[Strings]\n192=Quit\n[Dialog 131]\n1019=Quit\n";
    const int index = AddLanguage(QStringLiteral("Partial.lng"), &partial);
    ASSERT_TRUE(SwitchLanguage(index));
    EXPECT_EQ(LoadStr(192), QStringLiteral("Quit"));
    EXPECT_EQ(LoadStr(193), QStringLiteral("登录"));
    EXPECT_EQ(LoadDlgText(131, 1019), QStringLiteral("Quit"));
    EXPECT_EQ(LoadDlgText(131, 1087), QStringLiteral("使用语言："));
    EXPECT_TRUE(LoadStr(4242).isEmpty());
    EXPECT_TRUE(LoadDlgText(999, 1).isEmpty());
}

TEST_F(LanguageFolder, StartupLoadsThePackOfIndex)
{
    Profile::WriteString(LanguageIniPath(), "Default", "Index", QStringLiteral("1"));
    LoadStartupLanguage();
    EXPECT_EQ(g_nLanguage, 1);
    ASSERT_NE(g_hLangRes, nullptr);
    EXPECT_EQ(LoadStr(192), QStringLiteral("Exit"));

    // A pack that can't be loaded leaves the built-in texts in force.
    Profile::WriteString(LanguageIniPath(), "Default", "Index", QStringLiteral("7"));
    LoadStartupLanguage();
    EXPECT_EQ(g_nLanguage, 7);
    EXPECT_EQ(g_hLangRes, nullptr);
    EXPECT_EQ(LoadStr(192), QStringLiteral("退出"));
}

TEST_F(ProgramFolderTest, StartupWithoutLanguageIniUsesTheBuiltinTexts)
{
    LoadStartupLanguage();
    EXPECT_EQ(g_nLanguage, 0);
    EXPECT_EQ(g_hLangRes, nullptr);
    EXPECT_EQ(LanguagePackPath(0), Dir() + QStringLiteral("Language/ChineseprcRC.dll"));
    EXPECT_EQ(LoadStr(102), QStringLiteral("Travimo"));
}

TEST_F(ProgramFolderTest, TheBuiltProgramFolderShipsBothPacks)
{
    CopyStandardFiles();
    for (int index : {0, 1}) {
        QString error;
        EXPECT_TRUE(CLanguagePack::Load(LanguagePackPath(index), &error)) << error.toStdString();
    }
    ASSERT_TRUE(SwitchLanguage(1));
    EXPECT_EQ(LoadStr(192), QStringLiteral("Exit"));
    ASSERT_TRUE(SwitchLanguage(0));
    EXPECT_EQ(LoadStr(192), QStringLiteral("退出"));
}

TEST(Placeholders, ReplaceNumbersAndTexts)
{
    EXPECT_EQ(ReplaceR(BuiltinStr(165), 12), QStringLiteral("共导出记录 12 条。"));
    EXPECT_EQ(ReplaceR(BuiltinStr(165), 0), QStringLiteral("共导出记录 0 条。"));
    EXPECT_EQ(ReplaceR(BuiltinStr(152), -5), QStringLiteral("用户ID：-5"));
    EXPECT_EQ(ReplaceR(QStringLiteral("<r>+<r>"), 3), QStringLiteral("3+3"));
    EXPECT_EQ(ReplaceR(QStringLiteral("none"), 3), QStringLiteral("none"));
    EXPECT_EQ(ReplaceR(QStringLiteral("<r0> <r1>"), 3), QStringLiteral("<r0> <r1>"));
    EXPECT_EQ(ReplaceR(BuiltinStr(112), QStringLiteral("张三")),
              QStringLiteral("注意，此操作将不能恢复。\r\n您确定要删除用户 张三 吗？"));
    // A replacement that itself looks like a placeholder is not expanded again.
    EXPECT_EQ(ReplaceR(QStringLiteral("[<r>]"), QStringLiteral("<r>")), QStringLiteral("[<r>]"));
    EXPECT_EQ(ReplaceR(BuiltinStr(249), QStringLiteral("08:30 1.25")), QStringLiteral("当前位置[08:30 1.25千卡]"));
    EXPECT_EQ(ReplaceR01(BuiltinStr(196), 10002, 10005),
              QStringLiteral("原计步器中的ID为 10002, 您确定写入新的ID: 10005吗?"));
    EXPECT_EQ(ReplaceR01(QStringLiteral("<r1><r0><r1>"), 1, 2), QStringLiteral("212"));
    EXPECT_EQ(ReplaceR01(QStringLiteral("<r>"), 1, 2), QStringLiteral("<r>"));
}

TEST_F(LanguageFolder, ApplyDialogTextsLabelsControlsByNumber)
{
    QDialog dlg;
    auto* ok = new QPushButton(QStringLiteral("x"), &dlg);
    SetCtrlId(ok, 1);
    auto* cancel = new QPushButton(QStringLiteral("x"), &dlg);
    SetCtrlId(cancel, 2);
    auto* nameLabel = new QLabel(QStringLiteral("x"), &dlg);
    SetCtrlId(nameLabel, 1202);
    auto* nameEdit = new QLineEdit(QStringLiteral("typed by the user"), &dlg);
    SetCtrlId(nameEdit, 1032);  // no text of its own: left alone
    auto* plain = new QLabel(QStringLiteral("no number"), &dlg);
    auto* unknown = new QLabel(QStringLiteral("kept"), &dlg);
    SetCtrlId(unknown, 1999);
    auto* group = new QGroupBox(QStringLiteral("x"), &dlg);
    auto* inGroup = new QLabel(QStringLiteral("x"), group);
    SetCtrlId(inGroup, 1210);

    ApplyDialogTexts(&dlg, 144);
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("用户登录"));
    EXPECT_EQ(ok->text(), QStringLiteral("登录"));
    EXPECT_EQ(cancel->text(), QStringLiteral("取消"));
    EXPECT_EQ(nameLabel->text(), BuiltinDlgText(144, 1202));
    EXPECT_EQ(nameEdit->text(), QStringLiteral("typed by the user"));
    EXPECT_EQ(plain->text(), QStringLiteral("no number"));
    EXPECT_EQ(unknown->text(), QStringLiteral("kept"));
    EXPECT_EQ(inGroup->text(), BuiltinDlgText(144, 1210));

    ASSERT_TRUE(SwitchLanguage(1));
    ApplyDialogTexts(&dlg, 144);
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("User Login"));
    EXPECT_EQ(ok->text(), QStringLiteral("Log in"));
    EXPECT_EQ(cancel->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(nameLabel->text(), QStringLiteral("User name:"));
    EXPECT_EQ(inGroup->text(), QStringLiteral("Password:"));
    EXPECT_EQ(nameEdit->text(), QStringLiteral("typed by the user"));

    ApplyDialogTexts(nullptr, 144);  // harmless
}

// Qt's own texts (here the standard buttons of a message box) follow the pack's locale.
TEST_F(LanguageFolder, QtStandardButtonsSpeakThePacksLanguage)
{
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    ASSERT_TRUE(QFile::exists(folder + QStringLiteral("/qtbase_zh_CN.qm")))
        << "Qt's translations are missing from " << folder.toStdString() << " (package qt6-translations-l10n)";
    const QByteArray german = "[Pack]\nName=Deutsch\nLocale=de\n[Strings]\n102=Travimo\n";
    const QByteArray unnamed = "[Pack]\nName=Other\n[Strings]\n102=Travimo\n";
    const int germanIndex = AddLanguage(QStringLiteral("German.lng"), &german);
    const int unnamedIndex = AddLanguage(QStringLiteral("Other.lng"), &unnamed);
    auto buttons = [] {
        QMessageBox box(QMessageBox::Question, QStringLiteral("t"), QStringLiteral("x"),
                        QMessageBox::Ok | QMessageBox::Yes | QMessageBox::No);
        QStringList texts;
        for (auto b : {QMessageBox::Ok, QMessageBox::Yes, QMessageBox::No})
            texts << box.button(b)->text().remove(QLatin1Char('&'));
        return texts.join(QLatin1Char(' '));
    };

    LoadStartupLanguage();  // Index 0: the Chinese pack
    EXPECT_EQ(CurrentQtLocale(), QStringLiteral("zh_CN"));
    const QString chinese = buttons();
    EXPECT_EQ(chinese, QStringLiteral("确定 是(Y) 否(N)"));
    ASSERT_TRUE(SwitchLanguage(1));
    EXPECT_EQ(buttons(), QStringLiteral("OK Yes No"));
    ASSERT_TRUE(SwitchLanguage(germanIndex));
    EXPECT_EQ(buttons(), QStringLiteral("OK Ja Nein"));
    // A pack that names no locale shows the built-in texts' language where it has none of its own.
    ASSERT_TRUE(SwitchLanguage(unnamedIndex));
    EXPECT_EQ(buttons(), chinese);
    // A refused pack changes nothing.
    const QByteArray broken = "no section\n";
    ASSERT_FALSE(SwitchLanguage(AddLanguage(QStringLiteral("Broken.lng"), &broken)));
    EXPECT_EQ(buttons(), chinese);
    ASSERT_TRUE(SwitchLanguage(1));  // leave Qt's texts in English for the other tests
}

TEST_F(LanguageFolder, TheStoresMessagesFollowTheLanguage)
{
    std::string error;
    // A folder that does not exist: the store says which, in the chosen language.
    const std::string missing = "Data Source=" + Dir().toStdString() + "nowhere/User.mdb;";
    const int result = USER_Init(missing, "KX300_User", "KX300_Data", error);
    ASSERT_NE(result, 0);
    const QString chinese = StoreErrorText(result);
    EXPECT_TRUE(chinese.contains(Dir() + "nowhere")) << chinese.toStdString();
    ASSERT_TRUE(SwitchLanguage(1));
    const QString english = StoreErrorText(result);
    EXPECT_NE(english, chinese);
    EXPECT_TRUE(english.contains(Dir() + "nowhere")) << english.toStdString();
    EXPECT_EQ(StoreErrorText(USER_ERR_NOT_FOUND), LoadStr(USER_GetErrorTextId(USER_ERR_NOT_FOUND, error)));
    EXPECT_FALSE(StoreErrorText(USER_ERR_NOT_FOUND).contains(QStringLiteral("找")));
}
