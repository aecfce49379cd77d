#include "controls/ColourCombo.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QScreen>
#include <QStyleOptionComboBox>
#include <QStyledItemDelegate>
#include <QStylePainter>

const std::vector<NamedColour>& StandardColours()
{
    static const std::vector<NamedColour> colours = {
        {"Black", ColorRefFromRgb(0, 0, 0)},          {"Maroon", ColorRefFromRgb(128, 0, 0)},
        {"Green", ColorRefFromRgb(0, 128, 0)},        {"Olive", ColorRefFromRgb(128, 128, 0)},
        {"Navy", ColorRefFromRgb(0, 0, 128)},         {"Purple", ColorRefFromRgb(128, 0, 128)},
        {"Teal", ColorRefFromRgb(0, 128, 128)},       {"Gray", ColorRefFromRgb(128, 128, 128)},
        {"Silver", ColorRefFromRgb(192, 192, 192)},   {"Red", ColorRefFromRgb(255, 0, 0)},
        {"Lime", ColorRefFromRgb(0, 255, 0)},         {"Yellow", ColorRefFromRgb(255, 255, 0)},
        {"Blue", ColorRefFromRgb(0, 0, 255)},         {"Fuchsia", ColorRefFromRgb(255, 0, 255)},
        {"Aqua", ColorRefFromRgb(0, 255, 255)},       {"White", ColorRefFromRgb(255, 255, 255)},
        {"Money Green", ColorRefFromRgb(192, 220, 192)}, {"Cream", ColorRefFromRgb(255, 251, 240)},
        {"Medium Gray", ColorRefFromRgb(160, 160, 164)}, {"More Colors", ColorRefFromRgb(213, 233, 249)},
    };
    return colours;
}

ColourItemLayout LayoutColourItem(const QRect& item, int swatchWidth, int swatchHeight)
{
    ColourItemLayout out;
    out.swatch = QRect(item.left() + 1, item.top() + (item.height() - swatchHeight) / 2, swatchWidth, swatchHeight);
    out.text = QRect(QPoint(out.swatch.left() + swatchWidth + 5, item.top()), item.bottomRight());
    return out;
}

namespace {
class ColourItemDelegate : public QStyledItemDelegate {
public:
    explicit ColourItemDelegate(CColourCombo* combo) : QStyledItemDelegate(combo), m_combo(combo) {}
    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        m_combo->PaintItem(*p, option.rect, index.row(), option.state & QStyle::State_Selected);
    }
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        return QSize(CColourCombo::kSwatchWidth + 80, CColourCombo::kItemHeight);
    }

private:
    CColourCombo* m_combo;
};
}  // namespace

CColourCombo::CColourCombo(QWidget* parent, bool sorted) : QComboBox(parent), m_sorted(sorted)
{
    setItemDelegate(new ColourItemDelegate(this));
    setEditable(false);
    setMaxVisibleItems(20);
}

CColourCombo::~CColourCombo() = default;

void CColourCombo::InitColours()
{
    clear();
    m_items.clear();
    for (const NamedColour& c : StandardColours()) {
        const QString name = QString::fromLatin1(c.name);
        int at = count();
        if (m_sorted) {
            at = 0;
            while (at < count() && QString::compare(itemText(at), name, Qt::CaseInsensitive) <= 0)
                ++at;
        }
        insertItem(at, name);
        m_items.push_back({at, c.colour, name});
    }
    m_firstColour = m_items.empty() ? 0 : m_items.front().colour;
    setCurrentIndex(-1);  // a freshly filled list has no selection
}

void CColourCombo::SetSelectedColour(COLORREF colour)
{
    for (size_t i = 0; i < m_items.size() && static_cast<int>(i) < count(); ++i) {
        if (m_items[i].colour == colour) {
            setCurrentIndex(static_cast<int>(i));
            return;
        }
    }
}

COLORREF CColourCombo::GetSelectedColour() const
{
    const int i = currentIndex();
    if (i < 0 || i >= static_cast<int>(m_items.size()))
        return 0;
    return m_items[static_cast<size_t>(i)].colour;
}

void CColourCombo::PaintItem(QPainter& p, const QRect& r, int position, bool selected) const
{
    if (position < 0 || position >= static_cast<int>(m_items.size()))
        return;
    const Item& item = m_items[static_cast<size_t>(position)];
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(r, ColorRefToQColor(selected ? SysColour::Highlight : SysColour::Window));
    const ColourItemLayout lay = LayoutColourItem(r, kSwatchWidth, kSwatchHeight);
    p.fillRect(lay.swatch, ColorRefToQColor(item.colour));
    p.setPen(Qt::black);
    p.setBrush(Qt::NoBrush);
    p.drawRect(lay.swatch.adjusted(0, 0, -1, -1));
    p.setFont(font());
    const QString shown = p.fontMetrics().elidedText(item.name, Qt::ElideRight, std::max(0, lay.text.width()));
    p.drawText(lay.text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip, shown);
    p.restore();
}

QSize CColourCombo::sizeHint() const
{
    QSize s = QComboBox::sizeHint();
    s.setHeight(kFieldHeight + 8);
    return s;
}

QSize CColourCombo::minimumSizeHint() const
{
    QSize s = QComboBox::minimumSizeHint();
    s.setHeight(kFieldHeight + 8);
    return s;
}

void CColourCombo::showPopup()
{
    QComboBox::showPopup();
    QWidget* popup = view() ? view()->window() : nullptr;
    if (!popup || popup == window())
        return;
    QPoint at = mapToGlobal(QPoint(0, height()));
    if (QScreen* s = screen()) {
        const QRect avail = s->availableGeometry();
        if (at.y() + popup->height() > avail.bottom() + 1)
            at.setY(mapToGlobal(QPoint(0, 0)).y() - popup->height());
        at.setX(std::clamp(at.x(), avail.left(), std::max(avail.left(), avail.right() + 1 - popup->width())));
    }
    popup->move(at);
}

void CColourCombo::paintEvent(QPaintEvent*)
{
    QStylePainter p(this);
    QStyleOptionComboBox opt;
    initStyleOption(&opt);
    opt.currentText.clear();
    opt.currentIcon = QIcon();
    p.drawComplexControl(QStyle::CC_ComboBox, opt);
    QRect field = style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, this);
    // The selection field is 14 pixels high, centred in the box.
    field = QRect(field.left(), field.top() + (field.height() - kFieldHeight) / 2, field.width(), kFieldHeight);
    if (currentIndex() >= 0)
        PaintItem(p, field, currentIndex(), hasFocus() && !view()->isVisible());
}
