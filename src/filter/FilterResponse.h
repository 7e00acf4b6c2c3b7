#pragma once
// One channel's drawn frequency response, shared by the oscilloscope and the spectrum analyser,
// and the rules by which the designer edits it. Gains of the points are always linear factors;
// Kmax and Kmin are in dB while KdB is set.

#include "dsp/FilterPoint.h"

#include <optional>
#include <string>
#include <vector>

namespace tesmar {

inline constexpr int kFilterMaxPoints = 99;
inline constexpr double kFilterMinFmax = 100.0;
inline constexpr double kFilterMaxFmax = 200'000.0;

struct FilterResponse {
    double Kmax = 2.0;
    double Kmin = 0.0;
    double Fmax = 10'000.0;
    bool KdB = false;
    bool Flog = false;
    std::vector<FilterPoint> points; // ascending frequencies; empty before the first design

    bool designed() const { return points.size() > 1; }
    bool operator==(const FilterResponse&) const = default;
};

// Kmax 2, Kmin 0, Fmax 10 000, linear axes, flat through (1, 1), (Fmax/2, 1), (Fmax, 1).
FilterResponse DefaultFilterResponse();

// 20·log10(k) clipped to −100 … 100 (−100 for k ≤ 0), and back.
double ToDb(double gain);
double FromDb(double dB);

enum class FilterEntryError { None, KmaxNotAboveKmin, KminNotBelowKmax };

// Enter in the Kmax / Kmin field: the value limited to the axis's range, refused when it would not
// stay above / below the other end.
FilterEntryError ApplyKmax(FilterResponse& response, double typed);
FilterEntryError ApplyKmin(FilterResponse& response, double typed);
// Enter in the Fmax field: limited to 100 … 200 000 Hz; the points after the first are stretched
// so that the last lands on Fmax.
void ApplyFmax(FilterResponse& response, double typed);
// The dB button: Kmax and Kmin change unit (rounded to 3 decimals), the points do not.
void SetGainInDb(FilterResponse& response, bool dB);

// A point on the segment after point `segment`; false at 99 points.
bool InsertPoint(FilterResponse& response, int segment, FilterPoint point);
// Ctrl and a press: interior points only.
bool DeletePoint(FilterResponse& response, int index);
// The frequency a dragged point may take: the first and last keep theirs; interior points stay
// 1 Hz inside their neighbours on the side they move to.
double DraggedFrequency(const FilterResponse& response, int index, double wanted, bool movingLeft);

// A response read from elsewhere: at most 99 points, finite values, ascending frequencies.
std::optional<std::string> FilterResponseProblem(const FilterResponse& response);

} // namespace tesmar
