#include "OscTimeAxis.h"

#include <algorithm>
#include <cmath>

namespace tesmar {

double RoundToThousandth(double x)
{
    return std::nearbyint(x / 0.001) * 0.001;
}

double ChooseTimeFactor(double period, double lo, double hi, double factor)
{
    double m = std::max(std::fabs(period * lo * factor), period * hi * factor);
    if (!(m > 0.0) || !std::isfinite(m))
        return factor;
    while (m > 10'000.0 && factor > 1.0) {
        m /= 1000.0;
        factor /= 1000.0;
    }
    while (m < 10.0 && factor < 1'000'000.0) {
        m *= 1000.0;
        factor *= 1000.0;
    }
    return factor;
}

AxisRange OscTimeAxis::setupEmpty(const EmptyRecord& r)
{
    int lo = r.triggerOn ? 1 - r.preTrigger : 0;
    int hi = r.capacity + lo;
    if (r.bufferMode && r.bothChannels) {
        lo /= 2;
        hi /= 2;
    }
    factor_ = ChooseTimeFactor(r.quantizedTd, lo, hi, factor_);
    const double a = lo * r.quantizedTd * factor_;
    const double b = hi * r.quantizedTd * factor_;
    const double c = (a + b) / 2, w = (b - a) / 2;
    previousZoom_ = 1.0;
    return {RoundToThousandth(c - w / zoom_), RoundToThousandth(c + w / zoom_)};
}

OscTimeAxis::DataLayout OscTimeAxis::setupWithData(const Points& p, const ScrollState& scroll, const AxisRange& current)
{
    DataLayout out;
    const double oldFactor = factor_;
    factor_ = ChooseTimeFactor(p.dt, 0, p.countMax - 1, factor_);
    out.xScale = factor_ / oldFactor;
    const double first = p.first * out.xScale, last = p.last * out.xScale;
    const AxisRange axis{current.min * out.xScale, current.max * out.xScale};
    const double d = last - first;
    const double start = first + d * scroll.position / kScrollRange;
    const double end = start + d * scroll.pageSize / kScrollRange;

    if (zoom_ == 1.0) {
        out.range = {first, last};
    } else if (zoom_ == previousZoom_) {
        out.range = {start, end};
    } else {
        const double c = (start + end) / 2, w = (end - start) / 2;
        const double ratio = previousZoom_ / zoom_;
        const double o = RoundToThousandth(c - w * ratio), t = RoundToThousandth(c + w * ratio);
        if (ratio >= 1.0) {
            if (o < first)
                out.range = {first, first + t - o};
            else if (t > last)
                out.range = {o - (t - last), last};
            else
                out.range = {o, t};
        } else {
            out.range = last >= axis.max ? AxisRange{o, t} : AxisRange{first, first + (t - o)};
        }
    }
    previousZoom_ = zoom_;
    return out;
}

ScrollState OscTimeAxis::ScrollFor(const AxisRange& axis, std::optional<std::pair<double, double>> curve)
{
    if (!curve || curve->second <= curve->first)
        return {};
    const double d = curve->second - curve->first;
    ScrollState s;
    s.pageSize = static_cast<int>(std::min<double>(kScrollRange, std::nearbyint((axis.max - axis.min) / d * kScrollRange)));
    s.position = static_cast<int>(std::nearbyint((axis.min - curve->first) / d * kScrollRange));
    return s;
}

std::optional<AxisRange> OscTimeAxis::Scroll(const AxisRange& axis, const ScrollState& scroll, int newPosition,
                                             double first, double last)
{
    if (scroll.pageSize >= kScrollRange)
        return std::nullopt;
    const double d = last - first;
    const double shift = (newPosition - scroll.position) * d / kScrollRange;
    if (shift == 0.0)
        return std::nullopt;
    const double width = axis.max - axis.min;
    AxisRange moved{RoundToThousandth(axis.min + shift), RoundToThousandth(axis.max + shift)};
    if (moved.min < first)
        moved = {first, first + width};
    else if (moved.max > last)
        moved = {last - width, last};
    return moved;
}

} // namespace tesmar
