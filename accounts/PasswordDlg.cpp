#include "accounts/PasswordDlg.h"

#include "accounts/AccountRules.h"
#include "accounts/DialogParts.h"
#include "core/DialogService.h"
#include "core/DlgItem.h"
#include "core/Globals.h"
#include "core/StoreText.h"
#include "core/StringTable.h"
#include "external/userdb/UserDb.h"
#include "res/resource.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QVBoxLayout>

CPasswordDlg::CPasswordDlg(QWidget* parent) : CUserRecordDlg(parent)
{
    auto* outer = new QVBoxLayout(this);
    auto* grid = MakeFieldGrid();
    int row = 0;
    auto addRow = [&](int labelId, QWidget* field) {
        grid->addWidget(MakeDlgLabel(this, labelId, field), row, 0);
        grid->addWidget(field, row, 1);
        ++row;
    };
    m_number = new QLineEdit(this);
    SetCtrlId(m_number, IDC_USER_NUMBER);
    MakeReadOnly(m_number);
    addRow(1201, m_number);
    m_name = new QLineEdit(this);
    SetCtrlId(m_name, IDC_USER_NAME);
    MakeReadOnly(m_name);
    addRow(1202, m_name);
    m_old = MakePasswordEdit(this, IDC_OLD_PASSWORD);
    addRow(1213, m_old);
    m_new = MakePasswordEdit(this, IDC_USER_PASSWORD);
    addRow(1214, m_new);
    m_confirm = MakePasswordEdit(this, IDC_USER_CONFIRM);
    addRow(1211, m_confirm);
    m_rights = MakeRightsCombo(this);
    m_rights->setEnabled(false);
    addRow(1212, m_rights);
    grid->setColumnStretch(1, 1);
    grid->setColumnMinimumWidth(1, 160);
    outer->addLayout(grid);

    const std::vector<QWidget*> okCancel = AddOkCancelRow(this, outer);
    std::vector<QWidget*> chain{m_number, m_name, m_old, m_new, m_confirm, m_rights};
    chain.insert(chain.end(), okCancel.begin(), okCancel.end());
    SetTabChain(chain);

    // Timer 1: once the dialog is up, the focus goes to the old password (when there is one).
    m_timer1 = new QTimer(this);
    m_timer1->setSingleShot(true);
    m_timer1->setInterval(100);
    connect(m_timer1, &QTimer::timeout, this, [this] {
        if (m_pUser && m_pUser->password[0] != '\0')
            m_old->setFocus();
    });

    ApplyDialogTexts(this, IDD_PASSWORD);
}

void CPasswordDlg::InitControls()
{
    if (!ShowIdentity(m_number, m_name))
        return;
    m_old->setEnabled(m_pUser->password[0] != '\0');
    m_rights->setCurrentIndex(m_pUser->rights == 1 ? 1 : 0);
    // The dialog opens on the first box the user can type in, not on the read-only ones.
    (m_old->isEnabled() ? m_old : m_new)->setFocus();
    m_timer1->start();
}

void CPasswordDlg::accept()
{
    if (!m_pUser) {
        QDialog::reject();
        return;
    }
    const bool own = m_pUser == g_pLoginUser;
    const std::string stored = RecordPassword(*m_pUser);
    const QString oldPassword = m_old->text();
    if (own && !stored.empty() && oldPassword.isEmpty()) {
        RefuseField(m_old, 159);
        return;
    }
    if (!PasswordPairAgrees(m_new, m_confirm))
        return;
    if (own && !stored.empty() && PasswordDigestOf(oldPassword) != stored) {
        RefuseField(m_old, 160, FieldFix::Clear);
        return;
    }

    const std::string newDigest = PasswordDigestOf(m_new->text());
    const int result = USER_EditPassword(m_pUser->number, stored, newDigest);
    if (result == 1) {
        // Keep the records in memory in step with the store, so a second change in the same
        // login is checked against the new password.
        UpdateLoadedRecords(*m_pUser, [&newDigest](UserRecord& r) { SetRecordPassword(r, newDigest); });
        ShowMessageBox(this, LoadStr(158));
    } else {
        ShowMessageBox(this, StoreErrorText(result));
    }
    QDialog::accept();
}
