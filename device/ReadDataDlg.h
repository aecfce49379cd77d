#pragma once
// The read dialog (162): lists the day records the connected pedometer holds, stores the ticked
// ones for its user and can erase the pedometer - after storing every day it holds, so that
// erasing never loses a day without saying so.

#include "accounts/AccountDlg.h"

#include <QBasicTimer>

#include <memory>

class CReadProgressDlg;
class QCheckBox;
class QPushButton;
class QTreeWidget;
struct DeviceStepRecord;

// The list's columns: heading string, width and alignment.
struct ReadColumn {
    int heading;
    int width;
    Qt::Alignment alignment;
};
inline constexpr ReadColumn kReadColumns[] = {
    {235, 95, Qt::AlignLeft},  {236, 80, Qt::AlignRight}, {237, 80, Qt::AlignRight}, {238, 80, Qt::AlignRight},
    {239, 0, Qt::AlignRight},  {240, 0, Qt::AlignRight},  {241, 0, Qt::AlignRight},  {242, 80, Qt::AlignLeft},
};

// The texts of one row: date "%d-%d-%d", number, name, steps, two empty, calories "%1.1f", empty.
QStringList ReadRowTexts(const DeviceStepRecord& day, const UserRecord& user);

class CReadDataDlg : public CAccountDlg {
    Q_OBJECT
public:
    explicit CReadDataDlg(QWidget* parent = nullptr);
    ~CReadDataDlg() override;

    QTreeWidget* List() const { return m_list; }
    CReadProgressDlg* ProgressWindow() const { return m_progress.get(); }
    // Timer 1: fills the list once the transfer is complete.
    void OnTimer1();

public slots:
    void accept() override;  // "导出": stores the ticked days

protected:
    void InitControls() override;
    void timerEvent(QTimerEvent* e) override;

private:
    void FillList();
    void OnSelectAll(bool checked);
    void OnDeleteAll();
    // The pedometer went: its records are gone, so are the rows that pointed at them.
    void OnDeviceRemoved();
    std::vector<const DeviceStepRecord*> TickedDays() const;

    QTreeWidget* m_list = nullptr;
    QCheckBox* m_selectAll = nullptr;
    QPushButton* m_export = nullptr;
    QPushButton* m_deleteAll = nullptr;
    std::unique_ptr<CReadProgressDlg> m_progress;
    QBasicTimer m_timer1;
    bool m_deviceGone = false;
};
