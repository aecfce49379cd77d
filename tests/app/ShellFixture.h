#pragma once
// A program folder with the default skin and language packs, short start-up timings, and a
// main window run modally with a script inside its loop.

#include "app/MainDlg.h"
#include "core/Timings.h"
#include "external/records/WndMessage.h"
#include "external/skin/Skin.h"
#include "res/resource.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/TestDialogs.h"

#include <QTest>
#include <QTimer>

#include <functional>

class ShellFixture : public ProgramFolderTest {
protected:
    void SetUp() override
    {
        ProgramFolderTest::SetUp();
        CopyStandardFiles();
        CopyFromBuild(QStringLiteral("Show.bmp"));
        Timings().startupPicture = 30;
        Timings().fade = 0;
    }
    void TearDown() override
    {
        Timings() = ProgramTimings{};
        WS_FreeSkin();
        ProgramFolderTest::TearDown();
    }

    // Runs the window modally; the script runs inside its loop once it started.
    static int Run(CMainDlg& dlg, const std::function<void()>& script)
    {
        QTimer::singleShot(0, &dlg, script);
        return dlg.DoModal();
    }
    static bool WaitForLoginPage(CMainDlg& dlg)
    {
        return QTest::qWaitFor([&] { return dlg.LoginPage() != nullptr && dlg.isVisible(); }, 5000);
    }
    static void Exit(CMainDlg& dlg) { SendMessage(&dlg, WM_COMMAND, ID_TRAY_EXIT); }

    TestDialogService m_dialogs;
};
