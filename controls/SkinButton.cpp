#include "controls/SkinButton.h"

#include "controls/TipText.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>
#include <cmath>

namespace {
constexpr int kTipMaxWidth = 400;
constexpr COLORREF kDefaultColours[6] = {SysColour::BtnFace, SysColour::BtnText, SysColour::BtnFace,
                                         SysColour::BtnText, SysColour::BtnFace, SysColour::BtnText};

// A 1-pixel rectangle with its top and left sides in one colour and its bottom and right in another.
void Draw3dRect(QPainter& p, const QRect& r, const QColor& topLeft, const QColor& bottomRight)
{
    if (r.width() <= 0 || r.height() <= 0)
        return;
    p.fillRect(QRect(r.left(), r.top(), r.width() - 1, 1), topLeft);
    p.fillRect(QRect(r.left(), r.top(), 1, r.height() - 1), topLeft);
    p.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
    p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
}

void FrameRect(QPainter& p, const QRect& r, const QColor& c) { Draw3dRect(p, r, c, c); }

// The disabled look of an icon: like a monochrome copy of it, the darker opaque
// pixels in one colour and everything else left out, so the shape keeps its detail.
QImage Silhouette(const QImage& icon, const QColor& colour)
{
    QImage src = icon.convertToFormat(QImage::Format_ARGB32);
    QImage out(src.size(), QImage::Format_ARGB32);
    out.setDevicePixelRatio(icon.devicePixelRatio());
    const QRgb ink = colour.rgb() | 0xFF000000u;
    for (int y = 0; y < src.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        auto* o = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < src.width(); ++x)
            o[x] = (qAlpha(in[x]) >= 128 && qGray(in[x]) < 192) ? ink : 0u;
    }
    return out;
}
}  // namespace

QImage MakeGreyIcon(const QImage& icon)
{
    if (icon.isNull())
        return QImage();
    QImage out = icon.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const QRgb px = line[x];
            const int r = qRed(px), g = qGreen(px), b = qBlue(px);
            if (r == 0 && g == 0 && b == 0)
                continue;
            const int grey = static_cast<int>(0.299 * r + 0.587 * g + 0.114 * b);  // truncated
            line[x] = qRgba(grey, grey, grey, qAlpha(px));
        }
    }
    return out;
}

SkinButtonLayout LayoutSkinButton(const QRect& client, int align, QSize iconSize, bool hasCaption, bool pressedShift)
{
    SkinButtonLayout out;
    out.caption = client;
    const int shift = pressedShift ? 1 : 0;
    if (!iconSize.isEmpty()) {
        const int iw = iconSize.width(), ih = iconSize.height();
        QRect icon;
        switch (align) {
        case CSkinButton::AlignTop: {
            const int x = client.left() + (client.width() - iw) / 2;
            if (hasCaption) {
                icon = QRect(x, client.top() + 3, iw, ih);
                out.caption.setTop(client.top() + ih);
            } else {
                icon = QRect(x, client.top() + (client.height() - ih) / 2, iw, ih);
            }
            break;
        }
        case CSkinButton::AlignRight: {
            const int y = client.top() + (client.height() - ih) / 2;
            if (hasCaption) {
                icon = QRect(client.left() + client.width() - 3 - iw, y, iw, ih);
                out.caption.setLeft(client.left() + 3);
                out.caption.setRight(icon.left() - 1);
            } else {
                icon = QRect(client.left() + (client.width() - iw) / 2, y, iw, ih);
            }
            break;
        }
        case CSkinButton::AlignUnder:
            icon = client;
            break;
        default: {  // left of the caption
            const int y = client.top() + (client.height() - ih) / 2;
            if (hasCaption) {
                icon = QRect(client.left() + 3, y, iw, ih);
                out.caption.setLeft(icon.left() + iw);
            } else {
                icon = QRect(client.left() + (client.width() - iw) / 2, y, iw, ih);
            }
            break;
        }
        }
        out.icon = icon.translated(shift, shift);
    }
    if (align == CSkinButton::AlignUnder)
        out.caption = client;
    out.caption.translate(shift, shift);
    return out;
}

int SkinButtonBackSlot(bool hover, bool pressed, bool focused)
{
    if (hover || pressed)
        return CSkinButton::BackHover;
    if (focused)
        return CSkinButton::BackFocus;
    return CSkinButton::BackNormal;
}

CSkinButton::CSkinButton(QWidget* parent) : QPushButton(parent) { Init(); }

CSkinButton::CSkinButton(const QString& text, QWidget* parent) : QPushButton(text, parent) { Init(); }

CSkinButton::~CSkinButton() = default;

void CSkinButton::Init()
{
    setFlat(true);
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover, false);
    std::copy(std::begin(kDefaultColours), std::end(kDefaultColours), m_colours.begin());
    connect(this, &QAbstractButton::toggled, this, [this](bool on) { m_check = on ? 1 : 0; });
}

void CSkinButton::Repaint(bool repaint)
{
    if (repaint)
        update();
}

QImage CSkinButton::IconToImage(const QIcon& icon, int w, int h, qreal dpr)
{
    if (icon.isNull() || w <= 0 || h <= 0)
        return QImage();
    QPixmap pm = icon.pixmap(QSize(w, h), dpr);
    if (pm.isNull())
        return QImage();
    QImage img = pm.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    // Icons drawn "at their own size": scale exactly to w x h device-independent pixels.
    const QSize want(qRound(w * dpr), qRound(h * dpr));
    if (img.size() != want)
        img = img.scaled(want, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    img.setDevicePixelRatio(dpr);
    return img;
}

void CSkinButton::SetIconImage(const QIcon& icon, int w, int h, InactiveIcon inactive, bool repaint)
{
    m_icons = {};
    m_iconSizes = {};
    const qreal dpr = std::max<qreal>(1.0, devicePixelRatioF());
    QImage active = IconToImage(icon, w, h, dpr);
    if (!active.isNull()) {
        m_icons[0] = active;
        m_iconSizes[0] = QSize(w, h);
        if (inactive == InactiveIcon::Grey) {
            QImage grey = MakeGreyIcon(active);
            grey.setDevicePixelRatio(dpr);
            m_icons[1] = grey;
            m_iconSizes[1] = QSize(w, h);
        }
    }
    Repaint(repaint);
}

void CSkinButton::SetIconImage(const QIcon& active, int w, int h, const QIcon& inactive, int w2, int h2, bool repaint)
{
    m_icons = {};
    m_iconSizes = {};
    const qreal dpr = std::max<qreal>(1.0, devicePixelRatioF());
    QImage a = IconToImage(active, w, h, dpr);
    if (!a.isNull()) {
        m_icons[0] = a;
        m_iconSizes[0] = QSize(w, h);
        QImage b = IconToImage(inactive, w2, h2, dpr);
        if (!b.isNull()) {
            m_icons[1] = b;
            m_iconSizes[1] = QSize(w2, h2);
        }
    }
    Repaint(repaint);
}

QImage CSkinButton::IconImage(int slot) const
{
    return slot == 0 || slot == 1 ? m_icons[static_cast<size_t>(slot)] : QImage();
}

QSize CSkinButton::IconSize(int slot) const
{
    return slot == 0 || slot == 1 ? m_iconSizes[static_cast<size_t>(slot)] : QSize();
}

int CSkinButton::SetIconAlign(int align, bool repaint)
{
    if (align < AlignLeft || align > AlignUnder)
        return InvalidAlign;
    m_align = align;
    Repaint(repaint);
    return Ok;
}

int CSkinButton::SetStateColour(int slot, COLORREF colour, bool repaint)
{
    if (slot < 0 || slot >= static_cast<int>(m_colours.size()))
        return InvalidIndex;
    m_colours[static_cast<size_t>(slot)] = colour;
    Repaint(repaint);
    return Ok;
}

COLORREF CSkinButton::GetStateColour(int slot) const
{
    if (slot < 0 || slot >= static_cast<int>(m_colours.size()))
        return 0;
    return m_colours[static_cast<size_t>(slot)];
}

void CSkinButton::ResetColours(bool repaint)
{
    std::copy(std::begin(kDefaultColours), std::end(kDefaultColours), m_colours.begin());
    Repaint(repaint);
}

void CSkinButton::SetTipText(const QString& text, bool activate)
{
    if (text.isNull())
        return;
    m_tipText = text;
    m_tipActive = activate;
    setToolTip(activate ? MakeToolTip(text, kTipMaxWidth) : QString());
}

void CSkinButton::UseParentBackground(bool repaint)
{
    m_transparent = true;
    m_background = QPixmap();
    Repaint(repaint);
}

void CSkinButton::RefreshBackground()
{
    m_background = QPixmap();
    update();
}

void CSkinButton::SetBorderColour(COLORREF colour, bool repaint)
{
    m_customBorder = true;
    m_borderColour = colour;
    Repaint(repaint);
}

void CSkinButton::SetAlwaysBorder(bool on, bool repaint)
{
    m_alwaysBorder = on;
    Repaint(repaint);
}

void CSkinButton::SetDrawBorder(bool on, bool repaint)
{
    m_drawBorder = on;
    Repaint(repaint);
}

void CSkinButton::SetDrawFlatFocus(bool on, bool repaint)
{
    m_drawFlatFocus = on;
    Repaint(repaint);
}

void CSkinButton::SetFlatLook(bool flat, bool repaint)
{
    setFlat(flat);
    Repaint(repaint);
}

void CSkinButton::SetMouseEnabled(bool on)
{
    m_mouseEnabled = on;
    if (!on && m_hover)
        EndHover();
}

void CSkinButton::SetCheckboxMode(bool on)
{
    m_checkbox = on;
    setCheckable(on);
    update();
}

void CSkinButton::SetCheck(int check)
{
    if (!m_checkbox)
        return;
    m_check = check;
    {
        const QSignalBlocker quiet(this);  // storing a check is not a click
        setChecked(check == 1 || check == 2);
    }
    update();
}

QSize CSkinButton::sizeHint() const
{
    const QFontMetrics fm(font());
    const QSize caption = text().isEmpty() ? QSize() : fm.size(Qt::TextShowMnemonic, text());
    const QSize icon = m_iconSizes[0];
    int w = 12, h = 8;
    if (m_align == AlignTop) {
        w += std::max(caption.width(), icon.width());
        h += caption.height() + icon.height();
    } else if (m_align == AlignUnder) {
        w += std::max(caption.width(), icon.width());
        h += std::max(caption.height(), icon.height());
    } else {
        w += caption.width() + icon.width() + 6;
        h += std::max(caption.height(), icon.height());
    }
    return QSize(std::max(w, 24), std::max(h, 22));
}

void CSkinButton::CaptureBackground()
{
    QWidget* parent = parentWidget();
    if (!parent || m_capturing)
        return;
    m_capturing = true;
    const qreal dpr = std::max<qreal>(1.0, devicePixelRatioF());
    QPixmap pm(size() * dpr);
    pm.setDevicePixelRatio(dpr);
    pm.fill(parent->palette().color(parent->backgroundRole()));
    // Only the parent's own pixels (its background and painting), never its
    // children: the button itself would otherwise be painted into its background.
    parent->render(&pm, QPoint(), QRegion(geometry()), QWidget::DrawWindowBackground);
    m_background = pm;
    m_capturing = false;
}

void CSkinButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const bool flat = isFlat();
    const bool pressed = isDown() || (m_checkbox && isChecked());
    const bool focused = hasFocus();
    const bool disabled = !isEnabled();
    QRect r = rect();

    if (!flat && (focused || isDefault())) {
        FrameRect(p, r, Qt::black);
        r.adjust(1, 1, -1, -1);
    }

    if (m_transparent) {
        if (m_background.isNull())
            CaptureBackground();
        if (!m_background.isNull())
            p.drawPixmap(rect().topLeft(), m_background);
    } else {
        p.fillRect(r, ColorRefToQColor(m_colours[static_cast<size_t>(SkinButtonBackSlot(m_hover, pressed, focused))]));
    }

    auto draw3dBorder = [&] {
        if (m_customBorder)
            Draw3dRect(p, r, ColorRefToQColor(m_borderColour), ColorRefToQColor(m_borderColour));
        else if (pressed)
            Draw3dRect(p, r, ColorRefToQColor(SysColour::BtnShadow), ColorRefToQColor(SysColour::BtnHighlight));
        else
            Draw3dRect(p, r, ColorRefToQColor(SysColour::BtnHighlight), ColorRefToQColor(SysColour::BtnShadow));
    };
    if (pressed) {
        if (!flat)
            FrameRect(p, r, ColorRefToQColor(SysColour::BtnShadow));
        else if (m_drawBorder)
            draw3dBorder();
    } else if (!flat) {
        Draw3dRect(p, r, ColorRefToQColor(SysColour::BtnHighlight), ColorRefToQColor(SysColour::DkShadow3D));
        Draw3dRect(p, r.adjusted(1, 1, -1, -1), ColorRefToQColor(SysColour::Light3D), ColorRefToQColor(SysColour::BtnShadow));
    } else if (m_alwaysBorder || m_hover) {
        draw3dBorder();
    }

    // Icon: the active one while active (or when there is no inactive one), else the inactive one.
    const bool active = m_checkbox ? (pressed || isChecked()) : (pressed || m_hover);
    const int slot = (active || m_icons[1].isNull()) ? 0 : 1;
    const QString caption = text();
    const bool shift = pressed && !m_checkbox;
    const SkinButtonLayout lay =
        LayoutSkinButton(r, m_align, m_icons[static_cast<size_t>(slot)].isNull() ? QSize() : m_iconSizes[static_cast<size_t>(slot)],
                         !caption.isEmpty(), shift);
    if (!m_icons[static_cast<size_t>(slot)].isNull()) {
        const QImage& img = m_icons[static_cast<size_t>(slot)];
        const QRect target(lay.icon.topLeft(), m_align == AlignUnder ? m_iconSizes[static_cast<size_t>(slot)] : lay.icon.size());
        p.drawImage(target, img);
        if (disabled) {
            // Embossed like a disabled control: the shape in highlight, one pixel lower right, then in shadow.
            p.drawImage(target.translated(1, 1), Silhouette(img, ColorRefToQColor(SysColour::BtnHighlight)));
            p.drawImage(target, Silhouette(img, ColorRefToQColor(SysColour::BtnShadow)));
        }
    }

    if (!caption.isEmpty()) {
        p.setFont(font());
        const int flags = Qt::TextWordWrap | Qt::AlignHCenter | Qt::TextShowMnemonic;
        const QRect measured = p.fontMetrics().boundingRect(QRect(0, 0, std::max(1, lay.caption.width()), 10000), flags, caption);
        QRect textRect(lay.caption.left() + (lay.caption.width() - measured.width()) / 2,
                       lay.caption.top() + (lay.caption.height() - measured.height()) / 2, measured.width(), measured.height());
        if (disabled) {
            p.setPen(ColorRefToQColor(SysColour::BtnHighlight));
            p.drawText(textRect.translated(1, 1), flags, caption);
            p.setPen(ColorRefToQColor(SysColour::BtnShadow));
            p.drawText(textRect, flags, caption);
        } else {
            p.setPen(ColorRefToQColor(m_colours[(m_hover || pressed) ? TextHover : TextNormal]));
            p.drawText(textRect, flags, caption);
        }
    }

    if (focused && (!flat || m_drawFlatFocus)) {
        QPen pen(QColor(0x40, 0x40, 0x40), 1, Qt::DotLine);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        const QRect f = r.adjusted(3, 3, -4, -4);
        if (f.width() > 0 && f.height() > 0)
            p.drawRect(f);
    }
}

void CSkinButton::TryStartHover(const QPoint& pos)
{
    if (!rect().contains(pos))
        return EndHover();
    if (!m_trackAlways && !QApplication::activeWindow())
        return;
    if (!m_hover) {
        m_hover = true;
        update();
    }
}

void CSkinButton::mouseMoveEvent(QMouseEvent* e)
{
    if (!m_mouseEnabled) {
        e->accept();
        return;
    }
    QPushButton::mouseMoveEvent(e);
    if (((e->buttons() & Qt::LeftButton) && !m_hover) || !isFlat())
        return;
    TryStartHover(e->position().toPoint());
}

void CSkinButton::enterEvent(QEnterEvent* e)
{
    QPushButton::enterEvent(e);
    if (m_mouseEnabled && isFlat() && !(QApplication::mouseButtons() & Qt::LeftButton))
        TryStartHover(e->position().toPoint());
}

void CSkinButton::mousePressEvent(QMouseEvent* e)
{
    if (!m_mouseEnabled && e->button() == Qt::LeftButton) {
        e->accept();
        return;
    }
    QPushButton::mousePressEvent(e);
}

void CSkinButton::mouseReleaseEvent(QMouseEvent* e)
{
    if (!m_mouseEnabled && e->button() == Qt::LeftButton && !isDown()) {
        e->accept();
        return;
    }
    QPushButton::mouseReleaseEvent(e);
}

void CSkinButton::mouseDoubleClickEvent(QMouseEvent* e)
{
    // A double click is a second press.
    mousePressEvent(e);
}

void CSkinButton::leaveEvent(QEvent* e)
{
    QPushButton::leaveEvent(e);
    EndHover();
}

void CSkinButton::focusOutEvent(QFocusEvent* e)
{
    QPushButton::focusOutEvent(e);
    EndHover();
}

void CSkinButton::EndHover()
{
    if (!m_hover)
        return;
    m_hover = false;
    update();
}

void CSkinButton::changeEvent(QEvent* e)
{
    QPushButton::changeEvent(e);
    switch (e->type()) {
    case QEvent::ActivationChange:
        if (!isActiveWindow())
            EndHover();
        break;
    case QEvent::EnabledChange:
        if (!isEnabled()) {
            EndHover();
            // The focus moves on rather than staying on a control that cannot take input.
            if (hasFocus() || (window() && window()->focusWidget() == this)) {
                if (!focusNextChild() && parentWidget())
                    parentWidget()->setFocus();
            }
        }
        update();
        break;
    case QEvent::PaletteChange:
    case QEvent::StyleChange:
        m_background = QPixmap();
        break;
    default:
        break;
    }
}

void CSkinButton::moveEvent(QMoveEvent* e)
{
    QPushButton::moveEvent(e);
    m_background = QPixmap();  // the parent's pixels under the button are others now
}

void CSkinButton::resizeEvent(QResizeEvent* e)
{
    QPushButton::resizeEvent(e);
    m_background = QPixmap();
}
