#include "controls/PageBarWnd.h"

#include "controls/ParentPixels.h"
#include "controls/SkinButton.h"
#include "controls/SkinFont.h"
#include "core/DlgItem.h"
#include "core/StringTable.h"

#include <QPainter>

namespace {
constexpr int kButtonInset = 5;  // a button is the cell less 5 pixels: 38 x 38
constexpr int kIconSize = 32;
constexpr int kEmptyTextPos = 25;
constexpr int kEmptyTextString = 510;  // "请添加页面"
}  // namespace

CPageBarWnd::CPageBarWnd(QWidget* parent) : QWidget(parent) {}

// The buttons are children and go with the bar. The page windows are left to their owner; a
// page still parented here would go with the bar too, which is why its owner destroys it first.
CPageBarWnd::~CPageBarWnd() = default;

int CPageBarWnd::AddPage(int index, const QString& caption, const QIcon& icon, const QString& tooltip, QWidget* page)
{
    const int count = GetPageCount();
    if (index < 0 || index > count)
        index = count;

    Entry entry;
    entry.caption = caption;
    entry.page = page;
    entry.id = kFirstCommand + ++m_added;

    auto* button = new CSkinButton(caption, this);
    SetCtrlId(button, entry.id);
    button->setGeometry(0, 0, m_cell - kButtonInset, m_cell - kButtonInset);
    button->SetIconImage(icon, kIconSize, kIconSize);
    button->SetTipText(tooltip, true);
    button->SetDrawFlatFocus(true);  // the keyboard focus must show on a see-through button
    // An icon-only button is known by its tooltip to a screen reader.
    button->setAccessibleName(caption.isEmpty() ? tooltip : caption);
    if (m_transparent)
        button->UseParentBackground();
    button->SetIconAlign(CSkinButton::AlignTop);
    for (int slot : {CSkinButton::BackHover, CSkinButton::BackNormal, CSkinButton::BackFocus})
        button->SetStateColour(slot, m_stripColour);
    const int id = entry.id;
    connect(button, &QAbstractButton::clicked, this, [this, id] { OnCommand(id); });
    button->show();
    entry.button = button;

    m_pages.insert(m_pages.begin() + index, std::move(entry));
    LayoutButtons();

    if (m_selection < 0)
        SelectPage(0);
    else if (m_selection >= index)
        SelectPage(m_selection + 1);
    else
        SelectPage(m_selection);  // the new page's window is hidden like every other
    return index;
}

void CPageBarWnd::LayoutButtons()
{
    // Keyboard order follows the strip, top to bottom.
    QWidget* previous = nullptr;
    for (size_t i = 0; i < m_pages.size(); ++i) {
        CSkinButton* b = m_pages[i].button;
        b->setGeometry(2, int(i) * m_cell + 2, m_cell - kButtonInset, m_cell - kButtonInset);
        if (previous)
            setTabOrder(previous, b);
        previous = b;
    }
}

void CPageBarWnd::SelectPage(int n)
{
    if (n < 0 || n >= GetPageCount())
        return;
    m_selection = n;
    setUpdatesEnabled(false);  // one repaint for the whole switch
    const QRect area = PageRect();
    for (int i = 0; i < GetPageCount(); ++i) {
        Entry& e = m_pages[size_t(i)];
        const bool shown = i == n;
        e.button->SetMouseEnabled(!shown);
        if (m_transparent)
            e.button->UseParentBackground(false);
        for (int slot : {CSkinButton::BackHover, CSkinButton::BackNormal, CSkinButton::BackFocus})
            e.button->SetStateColour(slot, shown ? m_pageColour : m_stripColour, false);
        e.button->update();
        if (!e.page)
            continue;
        if (shown) {
            e.page->setGeometry(area);
            e.page->show();
        } else {
            e.page->hide();
        }
    }
    setUpdatesEnabled(true);
    update();
}

void CPageBarWnd::OnCommand(int id)
{
    if (id < kFirstCommand || id > kLastCommand)
        return;
    for (int i = 0; i < GetPageCount(); ++i) {
        if (m_pages[size_t(i)].id == id) {
            SelectPage(i);
            update();
            return;
        }
    }
}

int CPageBarWnd::IndexOfPage(const QWidget* page) const
{
    for (int i = 0; i < GetPageCount(); ++i)
        if (page && m_pages[size_t(i)].page == page)
            return i;
    return -1;
}

QWidget* CPageBarWnd::Page(int index) const
{
    return index >= 0 && index < GetPageCount() ? m_pages[size_t(index)].page.data() : nullptr;
}

CSkinButton* CPageBarWnd::Button(int index) const
{
    return index >= 0 && index < GetPageCount() ? m_pages[size_t(index)].button : nullptr;
}

QRect CPageBarWnd::PageRect() const
{
    return QRect(m_cell + 2, 2, std::max(0, width() - m_cell - 4), std::max(0, height() - 4));
}

void CPageBarWnd::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    if (QWidget* page = Page(m_selection))
        page->setGeometry(PageRect());
}

void CPageBarWnd::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int w = width(), h = height();
    if (!m_transparent) {
        p.fillRect(QRect(0, 0, m_cell, h), ColorRefToQColor(m_stripColour));
    } else {
        // The page shows through the strip, so that the buttons capture the page's pixels.
        const QPixmap& under = m_parentPixels.Get(this);
        p.drawPixmap(QRect(0, 0, m_cell, h), under, QRectF(0, 0, m_cell * under.devicePixelRatio(), h * under.devicePixelRatio()));
    }
    p.fillRect(QRect(m_cell, 0, w - m_cell, h), ColorRefToQColor(m_pageColour));

    const QColor frame = ColorRefToQColor(m_frameColour);
    p.setPen(frame);
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(m_cell, 0, w - m_cell - 1, h - 1));  // a 1-pixel frame inside the page area
    if (m_selection >= 0) {
        // The selected cell opens into the page area: page colour over the frame's left edge,
        // its top, left and bottom edges in the frame colour.
        const int top = m_cell * m_selection;
        p.fillRect(QRect(0, top, m_cell + 1, m_cell), ColorRefToQColor(m_pageColour));
        p.drawLine(0, top, m_cell, top);
        p.drawLine(0, top, 0, top + m_cell - 1);
        p.drawLine(0, top + m_cell - 1, m_cell, top + m_cell - 1);
    }

    if (m_pages.empty()) {
        p.setFont(SkinFont(QStringLiteral("宋体"), 13, 200));
        p.setPen(Qt::black);
        p.drawText(QRect(kEmptyTextPos, kEmptyTextPos, std::max(0, w - kEmptyTextPos), std::max(0, h - kEmptyTextPos)),
                   Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, LoadStr(kEmptyTextString));
    } else if (m_selection >= 0) {
        p.setPen(Qt::black);
        p.drawText(QRect(m_cell + 8, 25, std::max(0, w - m_cell - 8), std::max(0, h - 25)),
                   Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, m_pages[size_t(m_selection)].caption);
    }
}
