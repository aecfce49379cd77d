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
