#pragma once
// The read progress window (170): a small always-on-top window that shows, once a second, how
// far the device library's transfer has come, and hides itself when it is complete.

#include <QBasicTimer>
#include <QDialog>

class QLabel;
class QProgressBar;

// The bar position for a transfer: current x 100 / total, truncated; 0 when total is 0.
int ProgressPercent(int current, int total);

class CReadProgressDlg : public QDialog {
    Q_OBJECT
public:
    // A top-level window of its own (owner: the desktop), hidden until the first tick.
    CReadProgressDlg();

    void StartTimer();
    bool IsTimerActive() const { return m_timer.isActive(); }
    // One tick: shows the window (without taking the focus) and the progress values.
    void OnTimer();

protected:
    void timerEvent(QTimerEvent* e) override;

private:
    QLabel* m_text = nullptr;
    QProgressBar* m_bar = nullptr;
    QBasicTimer m_timer;
};
