#pragma once
// The scales of the ten knobs of the main window: the scale lines and the initial entry of each.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tesmar {

struct KnobScale {
    std::vector<std::string> lines; // `ScaleCode`
    int initialIndex = 0;           // `IndexSelectData` at start
};

// knOscTimeDiv, knOscCh1, knOscCh2, knFFTFrecDiv, knFFTCh1, knFFTCh2, knRecTimeDiv, knRecCh1,
// knRecCh2, knLANFrecDiv.
const std::vector<std::string_view>& PageKnobNames();
std::optional<KnobScale> PageKnobScale(std::string_view knobName);

} // namespace tesmar
