#include "controls/BalloonTip.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <algorithm>
#include <cstdlib>

namespace {
constexpr int kPointerHeight = 14;
constexpr int kPointerWidth = 16;
constexpr int kPointerInset = 18;  // pointer base distance from the body's nearer corner
constexpr int kRadius = 8;
constexpr int kPad = 9;
constexpr int kIconSize = 16;

std::vector<CBalloonTip*>& Registry()
{
    static std::vector<CBalloonTip*> all;
    return all;
}

const QColor kBodyFill(0xFF, 0xFF, 0xE1);
const QColor kBodyEdge(0x76, 0x76, 0x76);
const QColor kTextColour(0x22, 0x22, 0x22);

QFont TitleFont(const QFont& base)
{
    QFont f = base;
    f.setBold(true);
    return f;
}

// The balloon outline: rounded body plus a pointer whose tip is at (tipX, 0)
// (pointer up) or (tipX, height) (pointer down).
QPainterPath BalloonPath(const QRectF& body, qreal tipX, bool up)
{
    QPainterPath path;
    path.addRoundedRect(body, kRadius, kRadius);
    const qreal baseX = std::clamp(tipX < body.center().x() ? tipX + 2 : tipX - kPointerWidth - 2,
                                   body.left() + kRadius, body.right() - kRadius - kPointerWidth);
    QPainterPath pointer;
    if (up) {
        pointer.moveTo(baseX, body.top() + 1);
        pointer.lineTo(tipX, body.top() - kPointerHeight);
        pointer.lineTo(baseX + kPointerWidth, body.top() + 1);
    } else {
        pointer.moveTo(baseX, body.bottom() - 1);
        pointer.lineTo(tipX, body.bottom() + kPointerHeight);
        pointer.lineTo(baseX + kPointerWidth, body.bottom() - 1);
    }
    pointer.closeSubpath();
    return path.united(pointer).simplified();
}

qint64 CoveredArea(const QRect& r, const std::vector<QRect>& keepClear)
{
    qint64 area = 0;
    for (const QRect& k : keepClear) {
        const QRect i = r.intersected(k);
        if (!i.isEmpty())
            area += qint64(i.width()) * i.height();
    }
    return area;
}

// The buttons of the window, in global coordinates: a balloon must leave them clickable.
std::vector<QRect> ButtonsOf(QWidget* window)
{
    std::vector<QRect> rects;
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>()) {
        if (b->isVisible())
            rects.emplace_back(b->mapToGlobal(QPoint(0, 0)), b->size());
    }
    return rects;
}
}  // namespace

BalloonPlace PlaceBalloon(QPoint anchor, QSize size, int pointerInset, const QRect& screen,
                          const std::vector<QRect>& keepClear)
{
    // Where the body may stand sideways: the usual place, or just clear of a rectangle to keep
    // free, as long as the pointer still leaves the body well inside its rounded corners.
    constexpr int kPointerRoom = 12;
    const int usualLeft = anchor.x() - pointerInset;
    std::vector<int> lefts{usualLeft};
    for (const QRect& k : keepClear) {
        for (int left : {k.left() - size.width(), k.right() + 1}) {
            const int offset = anchor.x() - left;
            if (offset >= kPointerRoom && offset <= size.width() - kPointerRoom)
                lefts.push_back(left);
        }
    }
    const int rightmost = std::max(screen.left(), screen.right() + 1 - size.width());
    const int lowest = std::max(screen.top(), screen.bottom() + 1 - size.height());
    struct Candidate {
        BalloonPlace place;
        qint64 covered = 0;
        bool moved = false;  // pushed up or down onto the screen: the pointer no longer reaches the anchor
        int shift = 0;       // sideways from the usual place
    };
    auto better = [](const Candidate& a, const Candidate& b) {
        if (a.covered != b.covered)
            return a.covered < b.covered;
        if (a.moved != b.moved)
            return !a.moved;
        return a.shift < b.shift;
    };
    std::optional<Candidate> best;
    for (bool up : {true, false}) {  // below first: it wins a tie
        const int wantedTop = up ? anchor.y() : anchor.y() + 1 - size.height();  // the pointer's tip on the anchor
        for (int wantedLeft : lefts) {
            Candidate c;
            const QPoint topLeft(std::clamp(wantedLeft, screen.left(), rightmost),
                                 std::clamp(wantedTop, screen.top(), lowest));
            c.place = {topLeft, up};
            c.covered = CoveredArea(QRect(topLeft, size), keepClear);
            c.moved = topLeft.y() != wantedTop;
            c.shift = std::abs(wantedLeft - usualLeft);
            if (!best || better(c, *best))
                best = c;
        }
    }
    return best->place;
}

void PaintBalloonIcon(QPainter& p, const QRectF& r, int icon)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const qreal s = std::min(r.width(), r.height());
    const QRectF sq(r.center().x() - s / 2, r.center().y() - s / 2, s, s);
    switch (icon) {
    case CBalloonTip::IconError: {
        QRadialGradient g(sq.center() - QPointF(s / 6, s / 6), s * 0.7);
        g.setColorAt(0, QColor(0xF5, 0x6C, 0x5E));
        g.setColorAt(1, QColor(0xC4, 0x1F, 0x1A));
        p.setPen(QPen(QColor(0x9A, 0x14, 0x10), 1));
        p.setBrush(g);
        p.drawEllipse(sq.adjusted(0.5, 0.5, -0.5, -0.5));
        p.setPen(QPen(Qt::white, std::max<qreal>(1.6, s / 8), Qt::SolidLine, Qt::RoundCap));
        const qreal k = s * 0.27;
        p.drawLine(sq.center() + QPointF(-k, -k), sq.center() + QPointF(k, k));
        p.drawLine(sq.center() + QPointF(-k, k), sq.center() + QPointF(k, -k));
        break;
    }
    case CBalloonTip::IconWarning: {
        QPainterPath tri;
        tri.moveTo(sq.center().x(), sq.top() + 0.5);
        tri.lineTo(sq.right() - 0.5, sq.bottom() - 0.5);
        tri.lineTo(sq.left() + 0.5, sq.bottom() - 0.5);
        tri.closeSubpath();
        p.setPen(QPen(QColor(0xB8, 0x86, 0x00), 1));
        p.setBrush(QColor(0xFF, 0xD2, 0x3C));
        p.drawPath(tri);
        p.setPen(QPen(Qt::black, std::max<qreal>(1.5, s / 9), Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(sq.center().x(), sq.top() + s * 0.35), QPointF(sq.center().x(), sq.top() + s * 0.66));
        p.drawPoint(QPointF(sq.center().x(), sq.top() + s * 0.82));
        break;
    }
    case CBalloonTip::IconInfo: {
        p.setPen(QPen(QColor(0x1C, 0x5A, 0xA8), 1));
        p.setBrush(QColor(0x2F, 0x7C, 0xD6));
        p.drawEllipse(sq.adjusted(0.5, 0.5, -0.5, -0.5));
        p.setPen(QPen(Qt::white, std::max<qreal>(1.6, s / 8), Qt::SolidLine, Qt::RoundCap));
        p.drawPoint(QPointF(sq.center().x(), sq.top() + s * 0.28));
        p.drawLine(QPointF(sq.center().x(), sq.top() + s * 0.45), QPointF(sq.center().x(), sq.top() + s * 0.75));
        break;
    }
    default:
        break;
    }
    p.restore();
}

CBalloonTip* CBalloonTip::ShowBalloonTip(int icon, const QString& title, const QString& text, QWidget* target,
                                         std::optional<QPoint> point, int timeoutMs)
{
    if (!target)
        return nullptr;
    const QPoint anchor = point ? *point : target->mapToGlobal(QPoint(0, 0)) + QPoint(10, 10);
    // One balloon per window: the newest fault replaces the one reported before.
    for (CBalloonTip* old : Registry()) {
        if (old->parentWidget() == target->window() && !old->m_replaced) {
            old->m_replaced = true;
            old->hide();
            old->deleteLater();
        }
    }
    auto* tip = new CBalloonTip(icon, title, text, target, anchor);  // deletes itself
    tip->show();
    tip->raise();
    tip->m_timeoutTimer.start(std::max(0, timeoutMs));
    tip->m_targetTimer.start();
    QApplication::beep();
    target->setFocus(Qt::OtherFocusReason);
    return tip;
}

std::vector<CBalloonTip*> CBalloonTip::LiveBalloons() { return Registry(); }

CBalloonTip::CBalloonTip(int icon, const QString& title, const QString& text, QWidget* target, QPoint anchor)
    : QWidget(target->window(), Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus),
      m_icon(icon), m_title(title), m_text(text), m_target(target), m_anchor(anchor)
{
    Registry().push_back(this);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setObjectName(QStringLiteral("CBalloonTip"));

    m_timeoutTimer.setSingleShot(true);
    m_timeoutTimer.setTimerType(Qt::PreciseTimer);  // a coarse timer may end the balloon 5 % early
    m_removeTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_timeoutTimer, &QTimer::timeout, this, &CBalloonTip::EndTip);
    m_removeTimer.setSingleShot(true);
    m_removeTimer.setInterval(kRemoveDelayMs);
    connect(&m_removeTimer, &QTimer::timeout, this, [this] { deleteLater(); });
    m_targetTimer.setInterval(kTargetCheckMs);
    connect(&m_targetTimer, &QTimer::timeout, this, &CBalloonTip::OnTargetCheck);
    // Hidden, closed or blocked by a message box, the window no longer shows the fault.
    target->window()->installEventFilter(this);
    EndOnEditOf(target);
    Layout();
}

void CBalloonTip::EndOnEditOf(QWidget* control)
{
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        connect(edit, &QLineEdit::textEdited, this, &CBalloonTip::EndTip);
    else if (auto* combo = qobject_cast<QComboBox*>(control))
        connect(combo, &QComboBox::activated, this, &CBalloonTip::EndTip);
}

bool CBalloonTip::eventFilter(QObject* watched, QEvent* e)
{
    switch (e->type()) {
    case QEvent::Hide:
    case QEvent::Close:
    case QEvent::WindowBlocked:
        if (isVisible())
            EndTip();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, e);
}

CBalloonTip::~CBalloonTip()
{
    auto& all = Registry();
    all.erase(std::remove(all.begin(), all.end(), this), all.end());
}

void CBalloonTip::Layout()
{
    const QFontMetrics tfm(TitleFont(font()));
    const QFontMetrics fm(font());
    const bool hasIcon = m_icon >= IconInfo && m_icon <= IconError;
    const int iconW = hasIcon ? kIconSize + 6 : 0;

    const QRect textBound =
        m_text.isEmpty() ? QRect() : fm.boundingRect(QRect(0, 0, kMaxTextWidth, 10000), Qt::TextWordWrap, m_text);
    const int titleW = m_title.isEmpty() ? 0 : tfm.horizontalAdvance(m_title);
    const int titleH = m_title.isEmpty() ? 0 : std::max(tfm.height(), hasIcon ? kIconSize : 0);
    const int contentW = std::max({iconW + titleW, textBound.width(), 40});
    const int gap = (!m_title.isEmpty() && !m_text.isEmpty()) ? 6 : 0;
    const int contentH = std::max(titleH + gap + textBound.height(), hasIcon ? kIconSize : 0);

    const int bodyW = contentW + 2 * kPad;
    const int bodyH = contentH + 2 * kPad;

    // Below the anchor by default; above it when the screen has no room below or the balloon
    // would cover a button there. A target off the screen still gets a readable balloon.
    QScreen* screen = QGuiApplication::screenAt(m_anchor);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect avail = screen ? screen->availableGeometry() : QRect(0, 0, 1 << 15, 1 << 15);
    const QSize size(bodyW, bodyH + kPointerHeight);
    const BalloonPlace place = PlaceBalloon(m_anchor, size, kPointerInset + kPointerWidth / 2, avail,
                                            m_target ? ButtonsOf(m_target->window()) : std::vector<QRect>());
    m_pointerUp = place.pointerUp;
    const int left = place.topLeft.x();
    setGeometry(QRect(place.topLeft, size));

    m_body = QRect(0, m_pointerUp ? kPointerHeight : 0, bodyW, bodyH);
    m_pointerX = std::clamp(m_anchor.x() - left, 1, bodyW - 2);
    const int cx = m_body.left() + kPad;
    int cy = m_body.top() + kPad;
    m_iconRect = hasIcon ? QRect(cx, cy + (titleH ? (titleH - kIconSize) / 2 : 0), kIconSize, kIconSize) : QRect();
    m_titleRect = QRect(cx + iconW, cy, titleW, titleH);
    cy += titleH + gap;
    m_textRect = QRect(cx, cy, std::max(textBound.width(), kMaxTextWidth), textBound.height());
    if (hasIcon && m_title.isEmpty())  // without a title the text sits beside the icon
        m_textRect.moveLeft(cx + iconW);

    const QPainterPath shape = BalloonPath(QRectF(m_body).adjusted(0.5, 0.5, -0.5, -0.5), m_pointerX + 0.5, m_pointerUp);
    // Without a compositor a translucent window shows black corners; a mask does not.
    // The mask takes in the whole outline so that the border is not cut in half.
    QPainterPathStroker stroker;
    stroker.setWidth(2);
    const QPainterPath covered = shape.united(stroker.createStroke(shape));
    setMask(QRegion(covered.toFillPolygon().toPolygon()));
}

void CBalloonTip::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.fillRect(rect(), kBodyFill);
    const QPainterPath shape = BalloonPath(QRectF(m_body).adjusted(0.5, 0.5, -0.5, -0.5), m_pointerX + 0.5, m_pointerUp);
    QLinearGradient g(0, m_body.top(), 0, m_body.bottom());
    g.setColorAt(0, QColor(0xFF, 0xFF, 0xFF));
    g.setColorAt(1, kBodyFill);
    p.setPen(QPen(kBodyEdge, 1));
    p.setBrush(g);
    p.drawPath(shape);

    if (!m_iconRect.isNull())
        PaintBalloonIcon(p, m_iconRect, m_icon);
    p.setPen(kTextColour);
    if (!m_title.isEmpty()) {
        p.setFont(TitleFont(font()));
        p.drawText(m_titleRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_title);
    }
    if (!m_text.isEmpty()) {
        p.setFont(font());
        p.drawText(m_textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, m_text);
    }
}

void CBalloonTip::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton)
        EndTip();
    e->accept();
}

void CBalloonTip::EndTip()
{
    if (m_replaced)
        return;  // already on its way out
    m_timeoutTimer.stop();
    hide();
    if (!m_removeTimer.isActive())
        m_removeTimer.start();
}

void CBalloonTip::OnTargetCheck()
{
    if (m_target)
        return;
    m_targetTimer.stop();
    m_timeoutTimer.stop();
    EndTip();
}
