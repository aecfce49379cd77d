#pragma once
// See-through containers on a skinned page: what the parent paints under a child (its
// background and its own painting, never its other children), so that the child can show it
// and transparent buttons inside the child capture the page's pixels instead of a plain fill.

#include <QPixmap>

class QWidget;

// The parent's own pixels under w, at w's device pixel ratio; a null pixmap without a parent.
QPixmap ParentPixels(const QWidget* w);
