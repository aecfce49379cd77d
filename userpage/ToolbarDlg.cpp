#include "userpage/ToolbarDlg.h"

#include "controls/ParentPixels.h"
#include "controls/SkinButton.h"
#include "core/DlgItem.h"
#include "core/SkinSections.h"
#include "core/StringTable.h"
#include "res/resource.h"

#include <QPainter>
#include <QTimerEvent>

const std::array<int, 7> CToolbarDlg::kRowOrder = {IDC_TB_USB,   IDC_TB_PROFILE,  IDC_TB_PASSWORD, IDC_TB_PRINT,
                                                   IDC_TB_SETTINGS, IDC_TB_LOGOUT, IDC_TB_ABOUT};

CToolbarDlg::CToolbarDlg(QWidget* parent) : QWidget(parent)
{
    SetCtrlId(this, IDD_TOOLBAR);
    resize(600, kHeight);
    const ToolbarSkin skin = ReadToolbarSkin();
    struct Dress {
        int id;
        const QString& icon;
        int tip;
    };
    // Dressed in the order the skin lists them; placed in the row order.
    const Dress dresses[] = {{IDC_TB_USB, skin.usb, 198},       {IDC_TB_SETTINGS, skin.setting, 199},
                             {IDC_TB_PRINT, skin.print, 200},   {IDC_TB_ABOUT, skin.logo, 201},
                             {IDC_TB_LOGOUT, skin.logout, 202}, {IDC_TB_PROFILE, skin.user, 203},
                             {IDC_TB_PASSWORD, skin.password, 204}};
    for (const Dress& d : dresses) {
        auto* b = new CSkinButton(this);
        SetCtrlId(b, d.id);
        b->hide();  // shown at the first layout
        b->setGeometry(QRect(QPoint(0, kButtonTop), kButtonSize));
        // A missing icon file leaves the button without icon, in its place.
        b->SetIconImage(LoadIconFile(d.icon), kIconSize, kIconSize);
        b->SetIconAlign(CSkinButton::AlignTop);
        b->UseParentBackground();
        b->SetTipText(LoadStr(d.tip), true);
        b->SetDrawFlatFocus(true);  // the keyboard focus must show on a see-through button
        b->setAccessibleDescription(LoadStr(d.tip));
        const int id = d.id;
        connect(b, &QAbstractButton::clicked, this, [this, id] { emit Command(id); });
        const auto at = std::find(kRowOrder.begin(), kRowOrder.end(), d.id);
        m_buttons[size_t(at - kRowOrder.begin())] = b;
    }
    ApplyDialogTexts(this, IDD_TOOLBAR);
    for (size_t i = 1; i < m_buttons.size(); ++i)
        setTabOrder(m_buttons[i - 1], m_buttons[i]);
    m_timer1.start(kFirstLayoutMs, this);
}

CSkinButton* CToolbarDlg::Button(int id) const
{
    const auto at = std::find(kRowOrder.begin(), kRowOrder.end(), id);
    return at == kRowOrder.end() ? nullptr : m_buttons[size_t(at - kRowOrder.begin())];
}

void CToolbarDlg::LayoutButtons()
{
    if (!Button(IDC_TB_SETTINGS))
        return;
    // Only the horizontal position changes: each keeps its size and its top.
    int x = kRowLeft;
    for (CSkinButton* b : m_buttons) {
        b->move(x, b->y());
        x += b->width();
    }
    update();
}

void CToolbarDlg::Refresh()
{
    m_parentPixels.Invalidate();
    show();
    update();
    if (!Button(IDC_TB_SETTINGS))
        return;
    for (CSkinButton* b : m_buttons) {
        b->show();
        b->RefreshBackground();
    }
}

void CToolbarDlg::paintEvent(QPaintEvent*)
{
    // The page's band shows through the strip; the buttons capture it from here.
    QPainter(this).drawPixmap(0, 0, m_parentPixels.Get(this));
}

void CToolbarDlg::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    LayoutButtons();
}

void CToolbarDlg::timerEvent(QTimerEvent* e)
{
    if (e->timerId() != m_timer1.timerId()) {
        QWidget::timerEvent(e);
        return;
    }
    m_timer1.stop();  // once
    LayoutButtons();
    Refresh();
}
