#pragma once
// The device-found dialog (149): what to do with the pedometer just plugged in (or, from the
// toolbar, the one connected): log in as its owner, nothing, read its new data, or synchronise
// the profile. Results: 2 log in, 1 nothing, 3 read, 4 synchronise, 0 Enter, -1 Esc or closing.

#include "accounts/AccountDlg.h"

class QCheckBox;
class QLabel;
class QPushButton;

class CDeviceFoundDlg : public CAccountDlg {
    Q_OBJECT
public:
    explicit CDeviceFoundDlg(QWidget* parent = nullptr);

    // 1 when opened for an arrival; 0 (from the toolbar) asks with the remember box disabled and
    // offers to forget a remembered choice.
    void SetFromArrival(int fromArrival) { m_fromArrival = fromArrival; }
    // Whether the remember box was ticked when login, nothing or read was chosen.
    bool Remember() const { return m_remember; }

public slots:
    void reject() override;

protected:
    void InitControls() override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    // Ends with a result; the first three choices read the remember box.
    void Choose(int result, bool readsRemember);
    void ForgetChoice();

    QLabel* m_deviceId = nullptr;
    QLabel* m_deviceName = nullptr;
    QCheckBox* m_rememberBox = nullptr;
    QPushButton* m_login = nullptr;
    QPushButton* m_forget = nullptr;
    int m_fromArrival = 0;
    bool m_remember = false;
};
