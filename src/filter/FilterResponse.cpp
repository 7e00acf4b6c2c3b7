#include "FilterResponse.h"

#include <algorithm>
#include <cmath>

namespace tesmar {

namespace {

double RoundTo3(double x)
{
    return std::nearbyint(x * 1000.0) / 1000.0;
}

double LimitGain(const FilterResponse& r, double typed)
{
    return r.KdB ? std::clamp(typed, -100.0, 40.0) : std::clamp(typed, 0.0, 100.0);
}

} // namespace

FilterResponse DefaultFilterResponse()
{
    FilterResponse r;
    r.points = {{1.0, 1.0}, {r.Fmax / 2, 1.0}, {r.Fmax, 1.0}};
    return r;
}

double ToDb(double gain)
{
    if (!(gain > 0))
        return -100.0;
    return std::clamp(20.0 * std::log10(gain), -100.0, 100.0);
}

double FromDb(double dB)
{
    return std::pow(10.0, dB / 20.0);
}

FilterEntryError ApplyKmax(FilterResponse& r, double typed)
{
    const double v = LimitGain(r, typed);
    if (!(v > r.Kmin))
        return FilterEntryError::KmaxNotAboveKmin;
    r.Kmax = v;
    return FilterEntryError::None;
}

FilterEntryError ApplyKmin(FilterResponse& r, double typed)
{
    const double v = LimitGain(r, typed);
    if (!(v < r.Kmax))
        return FilterEntryError::KminNotBelowKmax;
    r.Kmin = v;
    return FilterEntryError::None;
}

void ApplyFmax(FilterResponse& r, double typed)
{
    r.Fmax = std::clamp(typed, kFilterMinFmax, kFilterMaxFmax);
    if (r.points.size() < 2 || !(r.points.back().frequency > 0))
        return;
    const double factor = r.Fmax / r.points.back().frequency;
    for (std::size_t i = 1; i < r.points.size(); ++i)
        r.points[i].frequency *= factor;
    r.points.back().frequency = r.Fmax; // exactly, whatever the rounding of the product
}

void SetGainInDb(FilterResponse& r, bool dB)
{
    if (dB == r.KdB)
        return;
    r.KdB = dB;
    r.Kmax = RoundTo3(dB ? ToDb(r.Kmax) : FromDb(r.Kmax));
    r.Kmin = RoundTo3(dB ? ToDb(r.Kmin) : FromDb(r.Kmin));
}

bool InsertPoint(FilterResponse& r, int segment, FilterPoint point)
{
    if (static_cast<int>(r.points.size()) >= kFilterMaxPoints || segment < 0 ||
        segment + 1 >= static_cast<int>(r.points.size()))
        return false;
    r.points.insert(r.points.begin() + segment + 1, point);
    return true;
}

bool DeletePoint(FilterResponse& r, int index)
{
    if (index <= 0 || index >= static_cast<int>(r.points.size()) - 1)
        return false;
    r.points.erase(r.points.begin() + index);
    return true;
}

double DraggedFrequency(const FilterResponse& r, int index, double wanted, bool movingLeft)
{
    const int last = static_cast<int>(r.points.size()) - 1;
    if (index <= 0 || index >= last)
        return r.points[std::clamp(index, 0, std::max(last, 0))].frequency;
    if (movingLeft)
        return std::max(wanted, r.points[index - 1].frequency + 1.0);
    return std::min(wanted, r.points[index + 1].frequency - 1.0);
}

std::optional<std::string> FilterResponseProblem(const FilterResponse& r)
{
    if (r.points.size() > static_cast<std::size_t>(kFilterMaxPoints))
        return "в файле больше 99 точек";
    for (double v : {r.Kmax, r.Kmin, r.Fmax})
        if (!std::isfinite(v))
            return "недопустимое значение Kmax, Kmin или Fmax";
    for (std::size_t i = 0; i < r.points.size(); ++i) {
        if (!std::isfinite(r.points[i].frequency) || !std::isfinite(r.points[i].gain))
            return "недопустимое значение точки " + std::to_string(i + 1);
        if (i > 0 && !(r.points[i].frequency > r.points[i - 1].frequency))
            return "частоты точек не возрастают (точка " + std::to_string(i + 1) + ")";
    }
    return std::nullopt;
}

} // namespace tesmar
