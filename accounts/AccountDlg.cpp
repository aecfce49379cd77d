#include "accounts/AccountDlg.h"

#include "core/Globals.h"

#include <QLineEdit>

void CAccountDlg::OnInitDialog()
{
    if (m_initDone)
        return;
    m_initDone = true;
    InitControls();
}

void CAccountDlg::showEvent(QShowEvent* e)
{
    OnInitDialog();
    QDialog::showEvent(e);
}

bool CUserRecordDlg::ShowIdentity(QLineEdit* number, QLineEdit* name) const
{
    if (!m_pUser || !g_pLoginUser)
        return false;
    number->setText(QString::number(m_pUser->number));
    name->setText(QString::fromStdString(RecordName(*m_pUser)));
    return true;
}
