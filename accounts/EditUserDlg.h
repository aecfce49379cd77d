#pragma once
// The edit-user dialog: changes an existing user's profile (not password or rights) and,
// when wanted, writes it into the connected pedometer.

#include "accounts/AccountDlg.h"
#include "accounts/UserProfileForm.h"
#include "external/records/Records.h"

#include <memory>

class QTimer;

// The record to edit comes with SetUser; on IDOK after a successful save it holds the new values.
class CEditUserDlg : public CUserRecordDlg {
    Q_OBJECT
public:
    explicit CEditUserDlg(QWidget* parent = nullptr);
    ~CEditUserDlg() override;

public slots:
    void accept() override;  // OK

protected:
    void InitControls() override;

private:
    std::unique_ptr<CUserProfileForm> m_form;
    QTimer* m_timer1 = nullptr;
};

// Copies an edited profile over an in-memory record, keeping that record's password digest
// (the edited copy carries none).
void CopyProfileKeepingDigest(UserRecord& target, const UserRecord& edited);
