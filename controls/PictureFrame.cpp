#include "controls/PictureFrame.h"

#include "controls/TipText.h"
#include "external/records/WndMessage.h"
#include "external/skin/SkinImage.h"

#include <QCursor>
#include <QImageReader>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace {
constexpr int kHoverCheckMs = 50;
constexpr int kShortestDelayMs = 20;
constexpr int kSlowDelayMs = 100;
constexpr size_t kMaxFrames = 2000;
constexpr qsizetype kMaxFrameBytes = qsizetype(128) * 1024 * 1024;

constexpr int kTipMaxWidth = 200;
}  // namespace

int PictureFrameInterval(const std::vector<int>& delaysMs, int frame)
{
    if (frame < 0 || frame >= static_cast<int>(delaysMs.size()))
        return kSlowDelayMs;
    const int d = delaysMs[static_cast<size_t>(frame)];
    return d < kShortestDelayMs ? kSlowDelayMs : d;
}

int NextPictureFrame(int frame, int count)
{
    if (count <= 0)
        return 0;
    return frame + 1 >= count || frame < 0 ? 0 : frame + 1;
}

CPictureFrame::CPictureFrame(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    m_animTimer.setSingleShot(true);
    m_animTimer.setTimerType(Qt::PreciseTimer);  // frame delays are short; coarse timers may be 5 % early
    connect(&m_animTimer, &QTimer::timeout, this, &CPictureFrame::OnAnimationTick);
    m_hoverTimer.setInterval(kHoverCheckMs);
    connect(&m_hoverTimer, &QTimer::timeout, this, &CPictureFrame::OnHoverCheck);
}

CPictureFrame::~CPictureFrame() = default;

void CPictureFrame::SetPicture(const QString& path, const QString& tipText, int value)
{
    m_path = path;
    m_tipText = tipText;
    m_value = value;
    setToolTip(MakeToolTip(tipText, kTipMaxWidth));

    m_animTimer.stop();
    LoadImage(path);

    if (!m_stretch) {
        resize(m_imageSize.width() + 8, m_imageSize.height() + 8);
        updateGeometry();
    }
    if (m_frames.size() > 1)
        m_animTimer.start(PictureFrameInterval(m_delays, m_frame));
    update();
}

void CPictureFrame::LoadImage(const QString& path)
{
    m_frames.clear();
    m_delays.clear();
    m_imageSize = QSize(0, 0);
    m_frame = 0;
    // A file that does not decode, or a bitmap cut short, shows nothing rather than garbage.
    if (path.isEmpty() || !ImageFileUsable(path))
        return;

    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    // A frame that fails to decode ends the animation there; what was read still shows.
    qsizetype totalBytes = 0;
    while (true) {
        QImage img = reader.read();
        if (img.isNull())
            break;
        m_delays.push_back(reader.nextImageDelay());
        m_frames.push_back(std::move(img));
        if (!reader.supportsAnimation() || !reader.canRead())
            break;
        // A hostile or huge animation cannot exhaust memory: later frames are dropped.
        totalBytes += m_frames.back().sizeInBytes();
        if (m_frames.size() >= kMaxFrames || totalBytes >= kMaxFrameBytes)
            break;
    }
    if (!m_frames.empty()) {
        m_imageSize = m_frames.front().size();
        // Frames of a GIF all have the screen's size, but other readers may differ.
        for (auto& f : m_frames)
            if (f.size() != m_imageSize)
                f = f.scaled(m_imageSize);
    }
}

void CPictureFrame::SetBitmap(const QPixmap& bitmap)
{
    m_bitmap = bitmap;
    update();
}

void CPictureFrame::SetHoverRing2(COLORREF c)
{
    m_hoverRing2 = c;
    update();
}

void CPictureFrame::SetRingColour(COLORREF c)
{
    m_ringColour = c;
    update();
}

void CPictureFrame::SetStretch(bool stretch)
{
    m_stretch = stretch;
    update();
}

void CPictureFrame::SetCornerSize(int size)
{
    m_cornerSize = std::max(0, size);
    update();
}

std::pair<COLORREF, COLORREF> CPictureFrame::CurrentRingColours() const
{
    if (m_hover && !m_path.isEmpty())
        return {m_hoverRing1, m_hoverRing2};
    return {m_ringColour, m_ringColour};
}

QSize CPictureFrame::sizeHint() const
{
    if (m_stretch)
        return QWidget::sizeHint().isValid() ? QWidget::sizeHint() : size();
    return QSize(m_imageSize.width() + 8, m_imageSize.height() + 8);
}

void CPictureFrame::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect r = rect();
    const qreal c = m_cornerSize / 2.0;  // the corner size is the ellipse's width and height
    // Outlines are 1-pixel GDI-style rectangles: no anti-aliasing, covering left ... right - 1.
    p.setRenderHint(QPainter::Antialiasing, false);
    auto roundRect = [&](const QRect& rr, const QColor& pen, const QBrush& brush) {
        if (rr.width() <= 0 || rr.height() <= 0)
            return;
        p.setPen(QPen(pen, 1));
        p.setBrush(brush);
        const QRect g = rr.adjusted(0, 0, -1, -1);
        if (c > 0)
            p.drawRoundedRect(g, c, c);
        else
            p.drawRect(g);
    };

    // The device context's default pen and brush: black outline, white fill.
    roundRect(r, Qt::black, Qt::white);
    const auto [ring1, ring2] = CurrentRingColours();
    roundRect(r.adjusted(1, 1, -1, -1), ColorRefToQColor(ring1), Qt::NoBrush);
    roundRect(r, ColorRefToQColor(ring2), Qt::NoBrush);
    p.setPen(QPen(ColorRefToQColor(m_innerFrameColour), 1));
    p.setBrush(Qt::NoBrush);
    const QRect inner = r.adjusted(2, 2, -2, -2);
    if (inner.width() > 0 && inner.height() > 0)
        p.drawRect(inner.adjusted(0, 0, -1, -1));

    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    const QRect stretched(3, 3, r.width() - 6, r.height() - 6);
    if (!m_frames.empty()) {
        const QImage& img = m_frames[static_cast<size_t>(m_frame)];
        if (m_stretch)
            p.drawImage(stretched, img);
        else
            p.drawImage(QPoint(4, 4), img);
    } else if (!m_bitmap.isNull()) {
        if (m_stretch)
            p.drawPixmap(stretched, m_bitmap);
        else
            p.drawPixmap(QPoint(4, 4), m_bitmap);
    }
}

void CPictureFrame::enterEvent(QEnterEvent* e)
{
    QWidget::enterEvent(e);
    StartHover();
}

void CPictureFrame::mouseMoveEvent(QMouseEvent* e)
{
    QWidget::mouseMoveEvent(e);
    StartHover();
}

void CPictureFrame::StartHover()
{
    if (m_hover)
        return;
    m_hover = true;
    m_hoverTimer.start();
    update();
}

QPoint CPictureFrame::CursorPos() const { return QCursor::pos(); }

void CPictureFrame::OnHoverCheck()
{
    const QRect windowRect(mapToGlobal(QPoint(0, 0)), size());
    if (windowRect.contains(CursorPos()))
        return;
    m_hoverTimer.stop();
    m_hover = false;
    update();
}

void CPictureFrame::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(e);
    e->accept();
    if (m_hover && !m_path.isEmpty() && parentWidget())
        PostMessage(parentWidget(), WM_PICTURE_CLICKED, static_cast<uintptr_t>(static_cast<intptr_t>(m_value)),
                    reinterpret_cast<intptr_t>(this));
}

void CPictureFrame::OnAnimationTick()
{
    if (m_frames.size() < 2)
        return;
    m_frame = NextPictureFrame(m_frame, static_cast<int>(m_frames.size()));
    update();
    m_animTimer.start(PictureFrameInterval(m_delays, m_frame));
    emit FrameChanged(m_frame);
}
