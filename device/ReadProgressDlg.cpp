#include "device/ReadProgressDlg.h"

#include "core/DlgItem.h"
#include "core/StringTable.h"
#include "device/DeviceProgress.h"
#include "res/resource.h"

#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QTimerEvent>
#include <QVBoxLayout>

int ProgressPercent(int current, int total)
{
    if (total == 0)
        return 0;
    return static_cast<int>(static_cast<long long>(current) * 100 / total);
}

CReadProgressDlg::CReadProgressDlg() : QDialog(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    SetCtrlId(this, IDD_READ_PROGRESS);
    setAttribute(Qt::WA_ShowWithoutActivating);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(16, 14, 16, 14);
    m_text = new QLabel(this);
    SetCtrlId(m_text, IDC_PROGRESS_TEXT);
    m_bar = new QProgressBar(this);
    SetCtrlId(m_bar, IDC_PROGRESS_BAR);
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    m_bar->setMinimumWidth(320);
    auto* hint = new QLabel(this);
    SetCtrlId(hint, IDC_PROGRESS_HINT);
    hint->setWordWrap(true);
    outer->addWidget(m_text);
    outer->addWidget(m_bar);
    outer->addWidget(hint);
    ApplyDialogTexts(this, IDD_READ_PROGRESS);
    m_bar->setAccessibleName(m_text->text());
}

void CReadProgressDlg::StartTimer()
{
    m_timer.start(1000, this);
}

void CReadProgressDlg::timerEvent(QTimerEvent* e)
{
    if (e->timerId() == m_timer.timerId()) {
        OnTimer();
        return;
    }
    QDialog::timerEvent(e);
}

void CReadProgressDlg::OnTimer()
{
    const int total = g_nUsbTotal.load();
    const int current = g_nUsbCurrent.load();
    const int extra = g_nUsbExtra.load();
    if (!isVisible()) {
        adjustSize();
        if (QScreen* s = QGuiApplication::primaryScreen())
            move(s->availableGeometry().center() - rect().center());
        show();
    }
    const QString reading = LoadStr(221);
    setWindowTitle(reading + QStringLiteral("(%1/%2)...").arg(current).arg(total));
    m_text->setText(reading + QStringLiteral("(%1, %2/%3)...").arg(extra).arg(current).arg(total));
    m_bar->setValue(ProgressPercent(current, total));
    if (current == total) {
        m_timer.stop();
        hide();
    }
}
