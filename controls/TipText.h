#pragma once
// Tooltip texts of the skinned controls: wrapped to the control's maximum tip
// width and always shown as typed (never taken for markup).

#include <QFontMetrics>
#include <QString>

// Breaks `text` into lines no wider than maxWidth pixels: at the last space
// when a line has one, else between characters (CJK text has no spaces).
// Existing line breaks are kept; a single character wider than maxWidth gets
// a line of its own.
QString WrapTipText(const QString& text, const QFontMetrics& fm, int maxWidth);

// The tooltip string for a plain text wrapped at maxWidth in the tooltip font.
QString MakeToolTip(const QString& text, int maxWidth);
