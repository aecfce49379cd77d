#pragma once
// The create-user dialog: a new account's number, name, body profile, targets, password and
// rights; optionally writes the profile into the connected pedometer.

#include "accounts/AccountDlg.h"
#include "accounts/UserProfileForm.h"
#include "external/records/Records.h"

#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QTimer;

class CNewUserDlg : public CAccountDlg {
    Q_OBJECT
public:
    explicit CNewUserDlg(QWidget* parent = nullptr);
    ~CNewUserDlg() override;

    // 0 = none: the dialog suggests a free number.
    void SetPresetNumber(int number) { m_presetNumber = number; }
    // 1: the dialog is for the connected pedometer and closes when it is removed.
    void SetDeviceMode(int mode) { m_deviceMode = mode; }
    // The record created on OK; read it after IDOK.
    const UserRecord* GetNewUser() const { return &m_newUser; }

    // The number check (button 1099, or leaving a changed number box).
    void OnCheckNumber();

public slots:
    void accept() override;  // OK

protected:
    void InitControls() override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void OnOK();
    // Refuses a number the pedometer cannot hold, with the number box's balloon.
    bool NumberFits();
    void OnTimer1();
    void OnNumberChanged();
    // The check of a changed number box the focus has left, unless the dialog's work is done or under way.
    void CheckLeftNumber();

    std::unique_ptr<CUserProfileForm> m_form;
    QLineEdit* m_password = nullptr;
    QLineEdit* m_confirm = nullptr;
    QComboBox* m_rights = nullptr;
    QLabel* m_status = nullptr;
    QTimer* m_timer1 = nullptr;
    UserRecord m_newUser{};
    int m_presetNumber = 0;
    int m_deviceMode = 0;
    int m_numberTested = 1;
    bool m_settingNumber = false;
    bool m_inOk = false;  // the OK action runs (a question may be open)
    bool m_done = false;  // the user is stored: the dialog's work is done
};
