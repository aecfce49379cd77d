#include "userpage/RightColumnDlg.h"

#include "core/DlgItem.h"
#include "core/StringTable.h"
#include "res/resource.h"

#include <QLabel>

CRightColumnDlg::CRightColumnDlg(QWidget* parent) : QWidget(parent)
{
    SetCtrlId(this, IDD_RIGHT_COLUMN);
    // No fill of its own: the page's background shows between and around the panes.
    setAttribute(Qt::WA_NoSystemBackground);
}

void CRightColumnDlg::InsertPane(int index, QWidget* pane)
{
    if (!pane)
        return;
    if (index < 0 || index > GetPaneCount())
        index = GetPaneCount();
    m_panes.insert(m_panes.begin() + index, pane);
    ArrangePanes();
}

QWidget* CRightColumnDlg::Pane(int index) const
{
    return index >= 0 && index < GetPaneCount() ? m_panes[size_t(index)].data() : nullptr;
}

void CRightColumnDlg::ArrangePanes()
{
    int y = 0;
    for (const QPointer<QWidget>& pane : m_panes) {
        if (!pane)
            continue;
        pane->move(0, y);
        y += pane->height() + kPaneGap;
    }
    update();
}

void CRightColumnDlg::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    ArrangePanes();
}

CSparePaneDlg::CSparePaneDlg(QWidget* parent) : QWidget(parent)
{
    SetCtrlId(this, IDD_SPARE_PANE);
    auto* text = new QLabel(this);
    text->setTextFormat(Qt::PlainText);
    SetCtrlId(text, IDC_SPARE_TEXT);
    text->move(8, 8);
    ApplyDialogTexts(this, IDD_SPARE_PANE);
    text->adjustSize();
    resize(196, 60);
}
