// A skin cannot break the program: every piece a skin lacks, or that can't be read, comes
// from the default skin built into the program, and the main window says so once.

#include "app/AboutDlg.h"
#include "app/MainDlg.h"
#include "core/Globals.h"
#include "core/SkinSections.h"
#include "core/StringTable.h"
#include "core/Timings.h"
#include "external/records/WndMessage.h"
#include "external/skin/Skin.h"
#include "external/skin/SkinFrame.h"
#include "external/skin/SkinImage.h"
#include "res/resource.h"
#include "tests/support/ProgramFolder.h"
#include "tests/app/ShellFixture.h"
#include "tests/support/TestDialogs.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QTest>
#include <QTimer>

namespace {

class SkinFallback : public ShellFixture {
protected:
    QString Skin() const { return SkinFolder(); }
    // Cuts a file of the current skin to half its length.
    void CutShort(const QString& name)
    {
        QByteArray bytes = ReadFile(QStringLiteral("Skin/标准/") + name);
        ASSERT_GT(bytes.size(), 100);
        WriteFile(QStringLiteral("Skin/标准/") + name, bytes.left(bytes.size() / 2));
    }
};

TEST_F(SkinFallback, EachUnusablePieceComesFromTheBuiltInSkin)
{
    ASSERT_TRUE(MissingSkinPieces().isEmpty()) << MissingSkinPieces().join(',').toStdString();
    const QString builtin = BuiltinSkinFolder();
    QFile::remove(Skin() + "close_normal.bmp");
    CutShort("title_left.bmp");
    WriteFile(QStringLiteral("Skin/标准/P2_back.bmp"), QByteArray(2000, '\x7f'));
    QFile::remove(Skin() + "TrayIcon_Normal.ico");
    QFile::remove(Skin() + "ColumnHeader4.bmp");
    // A key naming a file the skin lacks gives the built-in file of the key's default name.
    WriteFile(QStringLiteral("Skin/标准/Set.ini"), ReadFile(QStringLiteral("Skin/标准/Set.ini"))
                                                      .replace("MaxOverBmp=max_over.bmp", "MaxOverBmp=gone.bmp"));

    const WindowSkinSettings w = ReadWindowSkin(Skin());
    EXPECT_EQ(w.closeNormal, builtin + "close_normal.bmp");
    EXPECT_EQ(w.titleLeft, builtin + "title_left.bmp");
    EXPECT_EQ(w.maxOver, builtin + "max_over.bmp");
    EXPECT_EQ(w.titleRight, Skin() + "title_right.bmp");  // what the skin has stays the skin's
    EXPECT_EQ(ReadLoginPageSkin().backBmp, builtin + "P2_back.bmp");
    EXPECT_EQ(ReadTrayIconSkin().normal, builtin + "TrayIcon_Normal.ico");
    EXPECT_EQ(ReadColumnHeaderSkin().images[4], builtin + "ColumnHeader4.bmp");
    EXPECT_EQ(ReadColumnHeaderSkin().images[5], Skin() + "ColumnHeader5.bmp");
    QStringList missing = MissingSkinPieces();
    missing.sort();
    EXPECT_EQ(missing, (QStringList{"ColumnHeader4.bmp", "P2_back.bmp", "TrayIcon_Normal.ico", "close_normal.bmp",
                                    "max_over.bmp", "title_left.bmp"}));
}

TEST_F(SkinFallback, EveryBuiltInPieceLoadsEvenWithoutAnySkinFolder)
{
    g_strSkinName = QString::fromUtf8("\xef\xbf\xbd\xc3");  // what invalid bytes in the ini become
    const QStringList missing = MissingSkinPieces();
    EXPECT_EQ(missing.size(), 36 + kColumnHeaderImages);
    for (const QString& piece : missing) {
        SCOPED_TRACE(piece.toStdString());
        const QString path = BuiltinSkinFolder() + piece;
        EXPECT_FALSE(LoadImageFile(path, 1.0).isNull());
        if (piece.endsWith(".bmp")) {  // and the built-in skin has the @2x art too
            EXPECT_EQ(LoadImageFile(path, 2.0).devicePixelRatio(), 2.0);
        }
    }
    EXPECT_FALSE(LoadIconFile(ReadTrayIconSkin().findPedometer).isNull());
    // The built-in skin comes whole: its Set.ini places its pieces and colours its caption.
    EXPECT_EQ(ReadWindowSkin(SkinFolder()).textColor, 0xFFFFFFu);
    EXPECT_EQ(ReadLoginPageSkin().leftLogPos, QPoint(20, 64));
}

TEST_F(SkinFallback, ABrokenSkinStillGivesAWholeFrameATrayImageAndOneNotice)
{
    // Every bitmap of the skin is garbage and its icons are gone.
    for (const QString& name : QDir(Skin()).entryList({"*.bmp"}, QDir::Files))
        WriteFile(QStringLiteral("Skin/标准/") + name, "BM garbage");
    for (const QString& name : QDir(Skin()).entryList({"*.ico"}, QDir::Files))
        QFile::remove(Skin() + name);
    m_dialogs.trayAvailable = true;
    CMainDlg dlg;
    Run(dlg, [&] {
        ASSERT_TRUE(WaitForLoginPage(dlg));
        // Caption, buttons and borders: the window can be moved and closed.
        const SkinLayout l = CSkinFrame::Of(&dlg, false)->Layout();
        EXPECT_EQ(dlg.contentsMargins(), QMargins(4, 32, 4, 4));
        EXPECT_FALSE(l.close.isEmpty());
        EXPECT_FALSE(l.min.isEmpty());
        EXPECT_FALSE(l.icon.isEmpty());
        EXPECT_FALSE(dlg.windowIcon().isNull());
        // The tray icon has an image, and the notice came once, as a balloon.
        EXPECT_FALSE(dlg.Tray().Icon().isNull());
        EXPECT_EQ(dlg.Tray().BalloonTitle(), LoadStr(801));
        EXPECT_EQ(dlg.Tray().BalloonText(), LoadStr(802));
        dlg.HideBalloon();
        dlg.ShowLoginPage();
        EXPECT_TRUE(dlg.Tray().BalloonText().isEmpty());
        // The about box keeps saying it.
        CAboutDlg about(&dlg);
        auto* note = about.findChild<QLabel*>(QStringLiteral("skinNote"));
        ASSERT_NE(note, nullptr);
        EXPECT_EQ(note->text(), LoadStr(802));
        Exit(dlg);
    });
    EXPECT_FALSE(dlg.SkinPiecesFromBuiltin().isEmpty());
}

TEST_F(SkinFallback, ACompleteSkinSaysNothing)
{
    m_dialogs.trayAvailable = true;
    CMainDlg dlg;
    Run(dlg, [&] {
        ASSERT_TRUE(WaitForLoginPage(dlg));
        EXPECT_TRUE(dlg.Tray().BalloonText().isEmpty());
        CAboutDlg about(&dlg);
        EXPECT_EQ(about.findChild<QLabel*>(QStringLiteral("skinNote")), nullptr);
        Exit(dlg);
    });
    EXPECT_TRUE(dlg.SkinPiecesFromBuiltin().isEmpty());
}

}  // namespace
