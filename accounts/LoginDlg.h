#pragma once
// The "other user" login dialog: a user name and a password, checked against the store.

#include "external/records/Records.h"

#include <QDialog>

class QLineEdit;

class CLoginDlg : public QDialog {
    Q_OBJECT
public:
    // The record that a successful login fills; the caller owns it.
    explicit CLoginDlg(UserRecord* user, QWidget* parent = nullptr);

    QString UserName() const;
    QString Password() const;

public slots:
    void accept() override;  // OK: ends with IDOK only after a successful USER_Login

private:
    UserRecord* m_pUser;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_password = nullptr;
};
