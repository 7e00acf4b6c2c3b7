#include "SpectrumFrequencyAxis.h"

namespace tesmar {

AxisRange SpectrumFrequencyAxis::setupEmpty(double knobRate, double unit)
{
    const double w = knobRate / 2 / unit;
    previousZoom_ = 1.0;
    return {RoundToThousandth(w / 2 - w / (2 * zoom_)), RoundToThousandth(w / 2 + w / (2 * zoom_))};
}

AxisRange SpectrumFrequencyAxis::setupWithData(double M, const ScrollState& scroll, const AxisRange& current)
{
    double min = scroll.position * M / kScrollRange;
    double max = min + scroll.pageSize * M / kScrollRange;
    if (zoom_ == 1.0) {
        min = 0.0;
        max = M;
    } else if (zoom_ != previousZoom_) {
        const double c = (min + max) / 2, h = (max - min) / 2, ratio = previousZoom_ / zoom_;
        min = RoundToThousandth(c - h * ratio);
        max = RoundToThousandth(c + h * ratio);
        if (ratio < 1) {
            if (M < current.max) {
                max -= min;
                min = 0.0;
            }
        } else if (min < 0) {
            max -= min;
            min = 0.0;
        } else if (max > M) {
            min -= max - M;
            max = M;
        }
    }
    previousZoom_ = zoom_;
    return {min, max};
}

ZoomButtonStates ZoomButtonsFor(int item, int itemCount)
{
    if (item >= itemCount - 1)
        return {false, true, true};
    if (item <= 0)
        return {true, false, false};
    return {};
}

} // namespace tesmar
