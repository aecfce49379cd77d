#include "accounts/EditUserDlg.h"

#include "accounts/AccountRules.h"
#include "accounts/DialogParts.h"
#include "app/DlgItem.h"
#include "app/Globals.h"
#include "app/StringTable.h"
#include "external/userdb/UserDb.h"
#include "res/resource.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QVBoxLayout>

#include <cstring>

void CopyProfileKeepingDigest(UserRecord& target, const UserRecord& edited)
{
    char digest[sizeof target.password];
    std::memcpy(digest, target.password, sizeof digest);
    target = edited;
    std::memcpy(target.password, digest, sizeof digest);
}

CEditUserDlg::CEditUserDlg(QWidget* parent) : CUserRecordDlg(parent)
{
    auto* outer = new QVBoxLayout(this);
    auto* grid = MakeFieldGrid();
    int row = 0;
    m_form = std::make_unique<CUserProfileForm>(this, grid, row);
    MakeReadOnly(m_form->m_number);
    m_form->m_name->setMaxLength(10);
    grid->addWidget(m_form->m_writeBox, row, 0, 1, 7);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(5, 1);
    outer->addLayout(grid);

    AddOkCancelRow(this, outer);

    m_timer1 = new QTimer(this);
    m_timer1->setInterval(1000);
    connect(this, &QDialog::finished, m_timer1, &QTimer::stop);  // however the dialog ends
    connect(m_timer1, &QTimer::timeout, this, [this] { m_form->m_writeBox->setEnabled(g_pDeviceUser != nullptr); });

    ApplyDialogTexts(this, IDD_EDIT_USER);
}

CEditUserDlg::~CEditUserDlg() = default;

void CEditUserDlg::InitControls()
{
    m_form->m_writeBox->setEnabled(g_pDeviceUser != nullptr);
    if (!ShowIdentity(m_form->m_number, m_form->m_name))
        return;
    m_form->FillBody(*m_pUser);
    m_form->m_name->setFocus();  // the number can't be changed here
    m_timer1->start();
}

void CEditUserDlg::accept()
{
    if (!NameGiven(m_form->m_name))
        return;
    if (!m_pUser) {
        QDialog::reject();
        return;
    }

    UserRecord w = *m_pUser;
    std::memset(w.name, 0, sizeof w.name);
    std::memset(w.password, 0, sizeof w.password);
    m_form->ReadInto(w);  // photo, rights and the step and distance targets keep the record's values

    const int result = USER_EditUser(w);
    if (result == 1) {
        // The edited copy carries no digest: each in-memory record keeps its own.
        CopyProfileKeepingDigest(*m_pUser, w);
        if (g_pLoginUser && g_pLoginUser->number == w.number)
            CopyProfileKeepingDigest(*g_pLoginUser, w);
        if (g_pDeviceUser && g_pDeviceUser->number == w.number)
            CopyProfileKeepingDigest(*g_pDeviceUser, w);
    }

    const bool writeWanted = g_pDeviceUser && m_form->m_writeBox->checkState() != Qt::Unchecked;
    if (writeWanted && NeedsOverwriteQuestion(g_pDeviceUser->number)) {
        const QString question = ReplaceR01(LoadStr(196), g_pDeviceUser->number, w.number);
        if (AccountMessageBox(this, question, QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
            return;
    }
    bool written = false;
    if (writeWanted)
        written = WriteProfileToDevice(w);

    if (result == 1) {
        AccountMessageBox(this, LoadStr(!writeWanted ? 507 : written ? 508 : 509));
    } else {
        // The store refused the change: say so instead of closing as if it had been saved.
        AccountMessageBox(this, QString::fromStdString(USER_GetErrorMsg(result)));
    }
    m_timer1->stop();
    QDialog::accept();
}
