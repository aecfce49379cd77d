#pragma once
// The change-password dialog. The old password is demanded only when the record given is the
// logged-in user's own record (an administrator setting another user's password is not asked).

#include "external/records/Records.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QTimer;

class CPasswordDlg : public QDialog {
    Q_OBJECT
public:
    explicit CPasswordDlg(QWidget* parent = nullptr);

    // The record whose password changes; the caller owns it.
    void SetUser(UserRecord* user) { m_pUser = user; }
    UserRecord* GetUser() const { return m_pUser; }

    void OnInitDialog();

public slots:
    void accept() override;  // OK

protected:
    void showEvent(QShowEvent* e) override;

private:
    QLineEdit* m_number = nullptr;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_old = nullptr;
    QLineEdit* m_new = nullptr;
    QLineEdit* m_confirm = nullptr;
    QComboBox* m_rights = nullptr;
    QTimer* m_timer1 = nullptr;
    UserRecord* m_pUser = nullptr;
    bool m_initDone = false;
};
