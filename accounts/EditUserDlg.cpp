#include "accounts/EditUserDlg.h"

#include "accounts/AccountRules.h"
#include "accounts/DialogParts.h"
#include "core/DialogService.h"
#include "core/DlgItem.h"
#include "core/Globals.h"
#include "core/StoreText.h"
#include "core/StringTable.h"
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
    m_form->FinishGrid(grid, row);
    outer->addLayout(grid);

    const std::vector<QWidget*> okCancel = AddOkCancelRow(this, outer);
    std::vector<QWidget*> chain{m_form->m_number};
    for (QWidget* w : m_form->FieldsAfterNumberRow())
        chain.push_back(w);
    chain.push_back(m_form->m_writeBox);
    chain.insert(chain.end(), okCancel.begin(), okCancel.end());
    SetTabChain(chain);

    m_timer1 = MakeDialogTimer(this, 1000);
    connect(m_timer1, &QTimer::timeout, this, [this] { m_form->FollowDevice(); });

    ApplyDialogTexts(this, IDD_EDIT_USER);
}

CEditUserDlg::~CEditUserDlg() = default;

void CEditUserDlg::InitControls()
{
    m_form->FollowDevice();
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
        UpdateLoadedRecords(*m_pUser, [&w](UserRecord& r) { CopyProfileKeepingDigest(r, w); });
    }

    const bool writeWanted = m_form->WriteWanted();
    if (writeWanted && !OverwriteAllowed(this, w.number))
        return;
    bool written = false;
    if (writeWanted)
        written = WriteProfileToDevice(w);

    if (result == 1) {
        ShowMessageBox(this, LoadStr(!writeWanted ? 507 : written ? 508 : 509));
    } else {
        // The store refused the change: say so instead of closing as if it had been saved.
        ShowMessageBox(this, StoreErrorText(result));
    }
    m_timer1->stop();
    QDialog::accept();
}
