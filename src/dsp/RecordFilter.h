#pragma once
// The spectral filter over a whole record of any length. The transform needs a power of two and
// joins the record's end to its start, which cut records short and made their first and last
// milliseconds ring; here the record is continued on both sides by linear prediction into a
// transform of at least twice its length, and only its own span is kept.

#include "dsp/FilterPoint.h"

#include <span>

namespace tesmar {

// False, with the samples unchanged, for fewer than two samples or points, or a record longer
// than the largest transform.
bool FilterRecord(std::span<double> samples, std::span<const FilterPoint> response, double sampleRate);

} // namespace tesmar
