#pragma once
// The change-password dialog. The old password is demanded only when the record given is the
// logged-in user's own record (an administrator setting another user's password is not asked).

#include "accounts/AccountDlg.h"

class QComboBox;
class QLineEdit;
class QTimer;

// The record whose password changes comes with SetUser.
class CPasswordDlg : public CUserRecordDlg {
    Q_OBJECT
public:
    explicit CPasswordDlg(QWidget* parent = nullptr);

public slots:
    void accept() override;  // OK

protected:
    void InitControls() override;

private:
    QLineEdit* m_number = nullptr;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_old = nullptr;
    QLineEdit* m_new = nullptr;
    QLineEdit* m_confirm = nullptr;
    QComboBox* m_rights = nullptr;
    QTimer* m_timer1 = nullptr;
};
