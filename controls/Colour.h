#pragma once
// Colour values in files and interfaces are Windows-style COLORREF numbers,
// 0x00BBGGRR. These helpers convert them for painting, and name the fixed
// "system" colours the owner-drawn controls use.
//
// The system colours are fixed classic values rather than the desktop palette,
// so that the skinned look is the same on every desktop theme and painted
// pixels can be checked in tests.

#include <QColor>
#include <cstdint>

using COLORREF = uint32_t;

// COLORREF of red, green and blue 0 ... 255.
constexpr COLORREF ColorRefFromRgb(int r, int g, int b)
{
    return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int ColorRefRed(COLORREF c) { return static_cast<int>(c & 0xFF); }
constexpr int ColorRefGreen(COLORREF c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int ColorRefBlue(COLORREF c) { return static_cast<int>((c >> 16) & 0xFF); }

// Opaque colour of a COLORREF (the top byte is ignored).
inline QColor ColorRefToQColor(uint32_t c) { return QColor(ColorRefRed(c), ColorRefGreen(c), ColorRefBlue(c)); }
// COLORREF of a colour (alpha is dropped).
inline uint32_t QColorToColorRef(const QColor& c) { return ColorRefFromRgb(c.red(), c.green(), c.blue()); }

// Fixed system colours (COLORREF).
namespace SysColour {
constexpr COLORREF BtnFace = ColorRefFromRgb(0xF0, 0xF0, 0xF0);
constexpr COLORREF BtnText = ColorRefFromRgb(0, 0, 0);
constexpr COLORREF BtnShadow = ColorRefFromRgb(0xA0, 0xA0, 0xA0);
constexpr COLORREF BtnHighlight = ColorRefFromRgb(0xFF, 0xFF, 0xFF);
constexpr COLORREF Light3D = ColorRefFromRgb(0xE3, 0xE3, 0xE3);
constexpr COLORREF DkShadow3D = ColorRefFromRgb(0x69, 0x69, 0x69);
constexpr COLORREF Highlight = ColorRefFromRgb(0x33, 0x99, 0xFF);
constexpr COLORREF HighlightText = ColorRefFromRgb(0xFF, 0xFF, 0xFF);
constexpr COLORREF Window = ColorRefFromRgb(0xFF, 0xFF, 0xFF);
constexpr COLORREF WindowText = ColorRefFromRgb(0, 0, 0);
}  // namespace SysColour
