#pragma once
// The synchronisation dialog (161): the profile the computer keeps for the pedometer's user
// beside the one the pedometer holds, and one press of "开始同步" copies one onto the other.

#include "accounts/AccountDlg.h"
#include "external/records/Records.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// An alarm time as the dialog shows it: each part "0%d" cut to its last two characters, joined by ':'.
QString AlarmText(int hour, int minute, int second);
// The alarm value of such a text: the colons removed, read as hhmmss, on 2008-01-01.
int32_t AlarmFromText(const QString& text);

// What the pedometer side of the dialog shows.
struct PedometerSide {
    int sexIndex = 0;  // 0 "男", 1 "女"
    int height = 0;
    int weight = 0;
    int age = 0;
    int targetCalories = 0;
    QString alarm;
};

// The record after synchronising from the pedometer: its sex (1 male, 0 female), height, stride
// (the same rule as the account dialogs), weight, age, calorie target and alarm from the pedometer.
UserRecord SyncedFromPedometer(const UserRecord& record, const PedometerSide& side);

class CSyncDlg : public CAccountDlg {
    Q_OBJECT
public:
    explicit CSyncDlg(QWidget* parent = nullptr);

    // The record to synchronise (the pedometer's user); set before the dialog runs.
    void SetRecord(UserRecord* record) { m_pRecord = record; }
    // 0 computer to pedometer (the default), 1 pedometer to computer.
    int Direction() const { return m_direction; }

public slots:
    void accept() override;  // "开始同步"

protected:
    void InitControls() override;

private:
    struct Side {
        QLineEdit* number = nullptr;
        QComboBox* sex = nullptr;
        QLineEdit* age = nullptr;
        QLineEdit* weight = nullptr;
        QLineEdit* height = nullptr;
        QLineEdit* target = nullptr;
        QLineEdit* alarm = nullptr;
    };
    void ShowComputerSide(const UserRecord& r);
    PedometerSide ReadPedometerSide() const;
    void ShowPedometerSide(const PedometerSide& side);
    void SyncToComputer();
    void SyncToPedometer();
    // The pedometer went: nothing more is synchronised.
    void OnDeviceRemoved();

    Side m_pc, m_dev;
    QRadioButton* m_toDevice = nullptr;
    QRadioButton* m_toComputer = nullptr;
    QPushButton* m_start = nullptr;
    UserRecord* m_pRecord = nullptr;
    int m_direction = 0;
};
