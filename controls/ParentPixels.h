#pragma once
// See-through containers on a skinned page: what the parent paints under a child (its
// background and its own painting, never its other children), so that the child can show it
// and transparent buttons inside the child capture the page's pixels instead of a plain fill.

#include <QPixmap>
#include <QRect>

class QWidget;

// The parent's own pixels under w, at w's device pixel ratio; a null pixmap without a parent.
QPixmap ParentPixels(const QWidget* w);

// The same, kept while the child stays where it is.
class CParentPixels {
public:
    // Taken again when w moved or was resized since the last call, or after Invalidate.
    const QPixmap& Get(const QWidget* w);
    void Invalidate() { m_pixels = QPixmap(); }

private:
    QPixmap m_pixels;
    QRect m_geometry;
};
