#include "ui/knob/ScaleTranslation.h"

#include "ui/knob/ScaleLineParser.h"

namespace tesmar {

bool ScaleTranslationFits(const std::vector<std::string>& current, const std::vector<std::string>& translated) {
    if (current.size() != translated.size())
        return false;
    for (std::size_t i = 0; i < current.size(); ++i) {
        const TROscKnobData a = ParseScaleLine(current[i]).data;
        const TROscKnobData b = ParseScaleLine(translated[i]).data;
        if (a.Value != b.Value || a.Exp != b.Exp)
            return false;
    }
    return true;
}

} // namespace tesmar
