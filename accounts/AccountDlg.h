#pragma once
// The common ground of the account dialogs: controls filled once, when the dialog is first
// shown; and, for the dialogs about one stored user, the record they work on.

#include "external/records/Records.h"

#include <QDialog>

class QLineEdit;

class CAccountDlg : public QDialog {
    Q_OBJECT
public:
    // Fills the controls; runs once, on the first show or on this call, whichever comes first.
    void OnInitDialog();

protected:
    explicit CAccountDlg(QWidget* parent) : QDialog(parent) {}
    virtual void InitControls() = 0;
    void showEvent(QShowEvent* e) override;

private:
    bool m_initDone = false;
};

class CUserRecordDlg : public CAccountDlg {
    Q_OBJECT
public:
    // The record the dialog works on; the caller owns it.
    void SetUser(UserRecord* user) { m_pUser = user; }
    UserRecord* GetUser() const { return m_pUser; }

protected:
    using CAccountDlg::CAccountDlg;
    // Shows the record's number and name. Shows nothing and returns false without a record or
    // without a logged-in user.
    bool ShowIdentity(QLineEdit* number, QLineEdit* name) const;

    UserRecord* m_pUser = nullptr;
};
