#include "accounts/NewUserDlg.h"

#include "accounts/AccountRules.h"
#include "accounts/DialogParts.h"
#include "core/DeviceLinkApi.h"
#include "core/DialogService.h"
#include "core/DlgItem.h"
#include "core/Globals.h"
#include "core/StoreText.h"
#include "core/StringTable.h"
#include "external/userdb/UserDb.h"
#include "res/resource.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>
#include <QTimer>
#include <QVBoxLayout>

CNewUserDlg::CNewUserDlg(QWidget* parent) : CAccountDlg(parent)
{
    auto* outer = new QVBoxLayout(this);
    auto* grid = MakeFieldGrid();
    int row = 0;
    m_form = std::make_unique<CUserProfileForm>(this, grid, row);

    // Number row: the check button and the status beside the number box.
    auto* check = new QPushButton(this);
    SetCtrlId(check, IDC_CHECK_NUMBER);
    grid->addWidget(check, m_form->m_numberRow, 4);
    m_status = MakeDlgLabel(this, IDC_NUMBER_STATUS);
    grid->addWidget(m_status, m_form->m_numberRow, 5, 1, 2);

    m_password = MakePasswordEdit(this, IDC_USER_PASSWORD);
    grid->addWidget(MakeDlgLabel(this, 1210, m_password), row, 0);
    grid->addWidget(m_password, row, 1);
    m_confirm = MakePasswordEdit(this, IDC_USER_CONFIRM);
    grid->addWidget(MakeDlgLabel(this, 1211, m_confirm), row, 4);
    grid->addWidget(m_confirm, row, 5);
    ++row;

    m_rights = MakeRightsCombo(this);
    grid->addWidget(MakeDlgLabel(this, 1212, m_rights), row, 0);
    grid->addWidget(m_rights, row, 1);
    ++row;
    m_form->FinishGrid(grid, row);
    outer->addLayout(grid);

    const std::vector<QWidget*> okCancel = AddOkCancelRow(this, outer);
    // Tab goes as the eye reads: row by row, left to right.
    std::vector<QWidget*> chain{m_form->m_number, check};
    for (QWidget* w : m_form->FieldsAfterNumberRow())
        chain.push_back(w);
    chain.insert(chain.end(), {m_password, m_confirm, m_rights, m_form->m_writeBox});
    chain.insert(chain.end(), okCancel.begin(), okCancel.end());
    SetTabChain(chain);

    connect(check, &QPushButton::clicked, this, &CNewUserDlg::OnCheckNumber);
    connect(m_form->m_number, &QLineEdit::textChanged, this, &CNewUserDlg::OnNumberChanged);
    m_form->m_number->installEventFilter(this);

    m_timer1 = MakeDialogTimer(this, 1000);
    connect(m_timer1, &QTimer::timeout, this, &CNewUserDlg::OnTimer1);

    ApplyDialogTexts(this, IDD_NEW_USER);
}

CNewUserDlg::~CNewUserDlg()
{
    // The form goes before the widgets: no focus change may reach the number check from here on.
    m_form->m_number->removeEventFilter(this);
}

void CNewUserDlg::InitControls()
{
    m_form->m_sex->setCurrentIndex(0);
    m_form->SetAlarm(19, 30, 0);

    if (g_pDeviceUser)
        m_form->FillBody(*g_pDeviceUser);
    m_rights->setCurrentIndex(0);

    m_settingNumber = true;
    if (m_presetNumber != 0) {
        m_form->m_number->setText(QString::number(m_presetNumber));
    } else {
        int32_t suggestion = 0;
        const int result = USER_GetNumForNewUser(suggestion);
        if (ShowSuggestedNumber(result, suggestion))
            m_form->m_number->setText(QString::number(suggestion));
    }
    m_settingNumber = false;

    m_status->setText(LoadStr(501));
    m_form->FollowDevice();
    if (g_pDeviceUser && g_pDeviceUser->number == kBlankDeviceId)
        m_form->m_writeBox->setChecked(true);
    m_timer1->start();
}

void CNewUserDlg::OnTimer1()
{
    m_form->FollowDevice();
    if (m_deviceMode && !g_pDeviceUser && !m_inOk) {
        // The pedometer this dialog was opened for is gone: leave without saving.
        m_timer1->stop();
        reject();
    }
}

void CNewUserDlg::OnNumberChanged()
{
    if (m_settingNumber)
        return;
    m_status->setText(LoadStr(503));
    m_numberTested = 0;
}

bool CNewUserDlg::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == m_form->m_number && e->type() == QEvent::FocusOut) {
        // Only leaving the box for another control of this dialog checks it: not a message box or
        // another window taking the focus, nor a menu of the box (the focus comes back to it).
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(e)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            // Once the focus has moved: a refusal then gives it back with the text selected, which
            // the box itself would deselect if it were refused while it is still losing the focus.
            QMetaObject::invokeMethod(this, &CNewUserDlg::CheckLeftNumber, Qt::QueuedConnection);
        }
    }
    return QDialog::eventFilter(watched, e);
}

void CNewUserDlg::CheckLeftNumber()
{
    if (m_numberTested == 0 && isVisible() && !m_inOk && !m_done)
        OnCheckNumber();
}

bool CNewUserDlg::NumberFits()
{
    const QString text = m_form->m_number->text().trimmed();
    if (UserNumberFitsPedometer(text.toLongLong()))
        return true;
    m_status->setText(LoadStr(761));
    RefuseField(m_form->m_number, 760, FieldFix::SelectAll);
    return false;
}

void CNewUserDlg::OnCheckNumber()
{
    if (m_done)
        return;
    m_numberTested = 1;
    if (!NumberFits())
        return;
    QLineEdit* number = m_form->m_number;
    const bool free = USER_NumberIsUnuse(ReadNumberText(number->text())) != 0;
    m_status->setText(LoadStr(free ? 501 : 502));
    if (!free)
        RefuseField(number, 504, FieldFix::SelectAll);
}

void CNewUserDlg::accept()
{
    m_inOk = true;
    OnOK();
    m_inOk = false;
}

void CNewUserDlg::OnOK()
{
    if (m_done || !NumberFits() || !NameGiven(m_form->m_name) || !PasswordPairAgrees(m_password, m_confirm))
        return;
    const QString password = m_password->text();

    UserRecord user{};
    m_form->ReadInto(user);
    user.rights = m_rights->currentIndex();
    SetRecordPassword(user, PasswordDigestOf(password));

    const bool writeWanted = m_form->WriteWanted();
    if (writeWanted && !OverwriteAllowed(this, user.number))
        return;

    const int result = USER_CreateUser(user);
    if (result == USER_ERR_EXISTS) {
        RefuseField(m_form->m_number, 114, FieldFix::SelectAll);
        return;
    }
    if (result != 1) {
        // Nothing was stored: say why and let the user correct it, rather than report a user that does not exist.
        ShowMessageBox(this, StoreErrorText(result));
        return;
    }
    m_newUser = user;
    m_done = true;  // from here on nothing of the dialog is checked again
    if (writeWanted) {
        WriteProfileToDevice(user);
        ShowMessageBox(this, LoadStr(505));
    } else {
        ShowMessageBox(this, LoadStr(506));
    }
    if (m_deviceMode && g_pDeviceUser && g_pDeviceLink)
        g_pDeviceLink->DeviceUserCreated(user);
    m_timer1->stop();
    QDialog::accept();
}
