#include "ChartColours.h"

#include "settings/IniFile.h"

#include <algorithm>

namespace tesmar {

namespace {

struct ColourKey {
    const char* key;
    std::uint32_t ChartColours::*field;
};

constexpr ColourKey kColourKeys[] = {
    {"cbFon", &ChartColours::cbFon},           {"cbChA", &ChartColours::cbChA},
    {"cbScaleChA", &ChartColours::cbScaleChA}, {"cbChB", &ChartColours::cbChB},
    {"cbScaleChB", &ChartColours::cbScaleChB}, {"cbGrid", &ChartColours::cbGrid},
    {"cbOutLineGrid", &ChartColours::cbOutLineGrid}, {"cbX", &ChartColours::cbX},
    {"cbScaleX", &ChartColours::cbScaleX},
};

} // namespace

ChartColours ReadChartColours(const IniFile& ini, const ChartColours& defaults)
{
    ChartColours c = defaults;
    for (const ColourKey& k : kColourKeys) {
        const long long value = ini.readInteger("color", k.key, defaults.*k.field);
        c.*k.field = value >= 0 && value <= 0xFFFFFF ? static_cast<std::uint32_t>(value) : defaults.*k.field;
    }
    const long long width = ini.readInteger("color", "udWidth", defaults.udWidth);
    c.udWidth = static_cast<int>(std::clamp<long long>(width, kMinLineWidth, kMaxLineWidth));
    return c;
}

void WriteChartColours(IniFile& ini, const ChartColours& colours)
{
    for (const ColourKey& k : kColourKeys)
        ini.writeInteger("color", k.key, colours.*k.field);
    ini.writeInteger("color", "udWidth", colours.udWidth);
}

} // namespace tesmar
