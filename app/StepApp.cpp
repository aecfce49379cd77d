#include "app/StepApp.h"

#include "app/InstanceGuard.h"
#include "app/MainDlg.h"
#include "core/DialogService.h"
#include "core/Globals.h"
#include "core/SkinSections.h"
#include "core/StringTable.h"
#include "external/skin/Skin.h"

#include <QApplication>

CStepApp::CStepApp() = default;

CStepApp::~CStepApp() = default;

bool CStepApp::InitInstance()
{
    m_guard = std::make_unique<CInstanceGuard>(InstanceGuardName());
    switch (m_guard->Take()) {
    case CInstanceGuard::Result::First:
        break;
    case CInstanceGuard::Result::OtherShown:
        m_exitStatus = kExitOk;
        return false;
    case CInstanceGuard::Result::OtherNotAnswering:
        // Never a second copy on the same store while the first lives: say so in the user's language.
        SetProgramPaths(QCoreApplication::applicationFilePath());
        LoadStartupLanguage();
        ReadProgramIni();
        DialogService().MessageBox(nullptr, LoadStr(800), QMessageBox::Ok, QMessageBox::Warning, QMessageBox::Ok);
        m_exitStatus = kExitOtherCopyNotAnswering;
        return false;
    }

    SetProgramPaths(QCoreApplication::applicationFilePath());
    EnsureDataFolder();  // where it can't be made, opening the store says so
    LoadStartupLanguage();
    ReadProgramIni();
    QApplication::setWindowIcon(LoadIconFile(ReadWindowSkin(SkinFolder()).icon));
    return true;
}

int CStepApp::ExitInstance()
{
    WS_FreeSkin();
    m_guard.reset();
    return kExitOk;
}

int CStepApp::RunMainWindow()
{
    CMainDlg dlg;
    dlg.DoModal();
    return dlg.InitFailed() ? kExitFatalError : kExitOk;
}

int CStepApp::Run()
{
    if (!InitInstance())
        return m_exitStatus;
    const int status = RunMainWindow();
    ExitInstance();
    return status;
}
