#include "controls/ParentPixels.h"

#include <QWidget>

QPixmap ParentPixels(const QWidget* w)
{
    QWidget* parent = w ? w->parentWidget() : nullptr;
    if (!parent || w->size().isEmpty())
        return QPixmap();
    const qreal dpr = std::max<qreal>(1.0, w->devicePixelRatioF());
    QPixmap pm(w->size() * dpr);
    pm.setDevicePixelRatio(dpr);
    pm.fill(parent->palette().color(parent->backgroundRole()));
    parent->render(&pm, QPoint(), QRegion(w->geometry()), QWidget::DrawWindowBackground);
    return pm;
}

const QPixmap& CParentPixels::Get(const QWidget* w)
{
    if (m_pixels.isNull() || !w || w->geometry() != m_geometry) {
        m_pixels = ParentPixels(w);
        m_geometry = w ? w->geometry() : QRect();
    }
    return m_pixels;
}
