#pragma once
// Colours as the settings and data files keep them: Windows colour values, 0x00BBGGRR.

#include <QColor>

#include <cstdint>

namespace tesmar {

inline QColor ColourFromBgr(std::uint32_t bgr)
{
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

inline std::uint32_t BgrFromColour(const QColor& colour)
{
    return static_cast<std::uint32_t>(colour.red()) | static_cast<std::uint32_t>(colour.green()) << 8 |
           static_cast<std::uint32_t>(colour.blue()) << 16;
}

} // namespace tesmar
