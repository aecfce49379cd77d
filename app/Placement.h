#pragma once
// Where the main window goes: always inside the screen's available area, so that its caption,
// close box and borders can be reached. Pure arithmetic on rectangles.

#include <QRect>
#include <QSize>

// `wanted` moved into `area`, and shrunk to the area where it is larger, but never below
// `minimum` unless the area itself is smaller. An empty area leaves `wanted` as it is.
QRect FitWindowRect(const QRect& wanted, QSize minimum, const QRect& area);

// A window of `size` centred in `area`, shrunk the same way.
QRect CentredWindowRect(QSize size, QSize minimum, const QRect& area);
