#pragma once
// The scale language of the knob: one text line per entry, a sequence of "#<letter>[=]argument"
// tags giving the entry's number, power of ten, unit, hint and how its tick and label are drawn.

#include "ui/knob/TROscKnobData.h"

#include <optional>
#include <string>
#include <string_view>

namespace tesmar {

struct ScaleLabelStyle {
    enum class FontSize { Default, Absolute, Relative };

    bool smallTick = false;                    // #s
    bool hideLabel = false;                    // #p
    bool rotated = false;                      // #r
    int offsetX = 0;                           // #x, pixels to the right
    int offsetY = 0;                           // #y, pixels down
    FontSize fontSizeKind = FontSize::Default; // #f
    int fontSize = 0;                          // the size (Absolute) or the change (Relative)

    // The label's font size for a knob whose scale font has `defaultSize`.
    int resolveFontSize(int defaultSize) const;
};

struct ScaleLine {
    TROscKnobData data; // Angle is left 0: it depends on the line's place in the list
    ScaleLabelStyle style;
};

ScaleLine ParseScaleLine(std::string_view line);

// A decimal number with '.' or ',' as the decimal point (whichever of the first of each comes
// later is the point); nothing when the text is not a finite number as a whole.
std::optional<double> ParseScaleNumber(std::string_view text);
// A decimal integer with an optional sign; nothing when the text is anything else.
std::optional<int> ParseScaleInteger(std::string_view text);
// Shortest general form with up to 15 significant digits: "2,5", "0,1", "200".
std::string FormatScaleNumber(double value, char decimalSeparator);
// The entry's label and caption text: its number followed directly by its unit.
std::string ScaleEntryText(const TROscKnobData& entry, char decimalSeparator, bool withDimension = true);

} // namespace tesmar
