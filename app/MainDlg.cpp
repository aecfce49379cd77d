#include "app/MainDlg.h"

#include "app/Globals.h"
#include "app/StringTable.h"

CMainDlg::CMainDlg(QWidget* parent) : QDialog(parent)
{
    // A second copy finds this window by the product-name property.
    setProperty(BuiltinStr(102).toUtf8().constData(), 1);
    setWindowTitle(LoadStr(102));
    resize(868, 500);
    g_pMainWindow = this;
}

CMainDlg::~CMainDlg()
{
    if (g_pMainWindow == this)
        g_pMainWindow = nullptr;
}

void CMainDlg::ShowUserPages(const UserRecord&, const QString&) {}

void CMainDlg::ShowLoginPage() {}
