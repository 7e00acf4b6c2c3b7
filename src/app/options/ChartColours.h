#pragma once
// The colours and line width of the four main charts, as the colour window sets them and
// section `color` of the settings file keeps them (Windows colour values, 0x00BBGGRR).

#include <cstdint>

namespace tesmar {

class IniFile;

struct ChartColours {
    std::uint32_t cbFon = 0xFFFFFF;         // background
    std::uint32_t cbChA = 0x0000FF;         // channel A line (red)
    std::uint32_t cbScaleChA = 0x0000FF;    // left axis labels
    std::uint32_t cbChB = 0xFF0000;         // channel B line (blue)
    std::uint32_t cbScaleChB = 0xFF0000;    // right axis labels
    std::uint32_t cbGrid = 0xC8C8C8;        // grid lines and ticks
    std::uint32_t cbOutLineGrid = 0x000000; // frame and axis lines
    std::uint32_t cbX = 0x008000;           // bottom axis title (green)
    std::uint32_t cbScaleX = 0x000000;      // bottom axis labels
    int udWidth = 1;                        // pixels, 1 … 5
    bool operator==(const ChartColours&) const = default;
};

inline constexpr int kMinLineWidth = 1;
inline constexpr int kMaxLineWidth = 5;

// Missing or unreadable keys keep the values given; colours are cut to 24 bits and the width is
// kept within 1 … 5 so that a hand-edited file cannot make the charts unreadable.
ChartColours ReadChartColours(const IniFile& ini, const ChartColours& defaults = {});
void WriteChartColours(IniFile& ini, const ChartColours& colours);

} // namespace tesmar
