#pragma once
// The chart colours a user keeps in their own Graph.ini (section "Bar", decimal COLORREF
// values): read by the chart page when it starts, written by the settings sheet.

#include <QString>

#include <cstdint>

struct ChartColours {
    uint32_t curve = 0;            // "Calorie": axes and curve (black)
    uint32_t limit = 32768;        // "2TargetColor": the three reference lines (dark green)
    uint32_t cursor = 16711680;    // "CurposLineColor": the position line (blue)
    friend bool operator==(const ChartColours&, const ChartColours&) = default;
};

// The colours in a Graph.ini; a missing file or key gives the defaults above.
ChartColours ReadGraphColours(const QString& iniPath);
// Writes the three keys, creating the user's folder, the file and the section as needed.
// False when any of them could not be written.
bool WriteGraphColours(const QString& iniPath, const ChartColours& colours);
