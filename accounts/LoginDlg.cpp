#include "accounts/LoginDlg.h"

#include "accounts/AccountRules.h"
#include "accounts/DialogParts.h"
#include "core/DlgItem.h"
#include "core/StringTable.h"
#include "external/userdb/UserDb.h"
#include "res/resource.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

CLoginDlg::CLoginDlg(UserRecord* user, QWidget* parent) : QDialog(parent), m_pUser(user)
{
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(16, 16, 16, 12);
    outer->setSpacing(14);
    auto* grid = MakeFieldGrid();
    m_name = new QLineEdit(this);
    SetCtrlId(m_name, IDC_USER_NAME);
    m_name->setValidator(new CUtf8LimitValidator(kNameMaxBytes, m_name));
    m_password = MakePasswordEdit(this, IDC_PASSWORD);
    grid->addWidget(MakeDlgLabel(this, 1202, m_name), 0, 0);
    grid->addWidget(m_name, 0, 1);
    grid->addWidget(MakeDlgLabel(this, 1210, m_password), 1, 0);
    grid->addWidget(m_password, 1, 1);
    grid->setColumnMinimumWidth(1, 220);
    grid->setVerticalSpacing(8);
    grid->setColumnStretch(1, 1);
    outer->addLayout(grid);

    std::vector<QWidget*> chain{m_name, m_password};
    const std::vector<QWidget*> okCancel = AddOkCancelRow(this, outer);
    chain.insert(chain.end(), okCancel.begin(), okCancel.end());
    SetTabChain(chain);

    ApplyDialogTexts(this, IDD_LOGIN_DLG);
}

QString CLoginDlg::UserName() const
{
    return m_name->text();
}

QString CLoginDlg::Password() const
{
    return m_password->text();
}

void CLoginDlg::accept()
{
    if (!NameGiven(m_name))
        return;
    const QString password = m_password->text();
    UserRecord scratch{};
    UserRecord& target = m_pUser ? *m_pUser : scratch;
    const int result = USER_Login(m_name->text().toStdString(), PasswordDigestOf(password), target);
    switch (result) {
    case 1:
        QDialog::accept();
        return;
    case USER_ERR_NO_USER:
        RefuseField(m_name, 121, FieldFix::SelectAll);
        return;
    case USER_ERR_WRONG_PASSWORD:
        RefuseField(m_password, password.isEmpty() ? 113 : 122);
        return;
    default:
        return;  // the dialog stays open
    }
}
