#pragma once
// A translated knob scale may change every text of its lines (units, hints, drawing tags) but not
// what the entries mean: the pages turn the selected entry's value into instrument settings.

#include <string>
#include <vector>

namespace tesmar {

// True when `translated` has as many lines as `current` and each line has the same number and
// power of ten.
bool ScaleTranslationFits(const std::vector<std::string>& current, const std::vector<std::string>& translated);

} // namespace tesmar
