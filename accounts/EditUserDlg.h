#pragma once
// The edit-user dialog: changes an existing user's profile (not password or rights) and,
// when wanted, writes it into the connected pedometer.

#include "accounts/UserProfileForm.h"
#include "external/records/Records.h"

#include <QDialog>

#include <memory>

class QTimer;

class CEditUserDlg : public QDialog {
    Q_OBJECT
public:
    explicit CEditUserDlg(QWidget* parent = nullptr);
    ~CEditUserDlg() override;

    // The record to edit; the caller owns it. On IDOK after a successful save it holds the new values.
    void SetUser(UserRecord* user) { m_pUser = user; }
    UserRecord* GetUser() const { return m_pUser; }

    void OnInitDialog();

public slots:
    void accept() override;  // OK

protected:
    void showEvent(QShowEvent* e) override;

private:
    std::unique_ptr<CUserProfileForm> m_form;
    QTimer* m_timer1 = nullptr;
    UserRecord* m_pUser = nullptr;
    bool m_initDone = false;
};

// Copies an edited profile over an in-memory record, keeping that record's password digest
// (the edited copy carries none).
void CopyProfileKeepingDigest(UserRecord& target, const UserRecord& edited);
