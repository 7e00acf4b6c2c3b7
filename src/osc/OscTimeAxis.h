#pragma once
// The oscilloscope's time axis: its unit (s, ms or µs by the extent shown), the zoom list, the
// scroll bar's view and the range the chart shows. Times are relative to the trigger point.

#include <optional>
#include <utility>

namespace tesmar {

struct AxisRange {
    double min = 0.0, max = 0.0;
    bool operator==(const AxisRange&) const = default;
};

// round(x / 0,001) × 0,001 with ties to even.
double RoundToThousandth(double x);

// The unit factor (1, 1000 or 1 000 000) that keeps the extent of `lo` … `hi` points of period
// `period` between 10 and 10 000 axis units; a zero or non-finite extent keeps `factor`.
double ChooseTimeFactor(double period, double lo, double hi, double factor);

inline constexpr int kScrollRange = 10'000;

struct ScrollState {
    int position = 0;
    int pageSize = kScrollRange;
};

class OscTimeAxis {
public:
    double factor() const { return factor_; }
    double zoom() const { return zoom_; }
    void setZoom(double zoom) { zoom_ = zoom; }

    struct EmptyRecord {
        bool triggerOn = false;
        int preTrigger = 100;
        int capacity = 1126;
        bool bufferMode = true;
        bool bothChannels = false;
        double quantizedTd = 1e-3;
    };
    // The axis before any data: the expected record length around the trigger point.
    AxisRange setupEmpty(const EmptyRecord& record);

    struct Points {
        int countMax = 0;  // the larger point count of the two curves
        double dt = 0.0;   // point interval, s
        double first = 0.0, last = 0.0; // x of the first and the last point, in the current unit
    };
    struct DataLayout {
        AxisRange range;
        double xScale = 1.0; // multiply every x by it: the unit changed
    };
    // The axis for the drawn curves, the view taken from the scroll bar and the current axis.
    DataLayout setupWithData(const Points& points, const ScrollState& scroll, const AxisRange& current);

    // The scroll bar for an axis over curves from `first` to `last` (none drawn: whole page).
    static ScrollState ScrollFor(const AxisRange& axis, std::optional<std::pair<double, double>> curve);
    // The axis after the scroll bar moved from `oldPosition` to `newPosition`; nullopt: no change.
    static std::optional<AxisRange> Scroll(const AxisRange& axis, const ScrollState& scroll, int newPosition,
                                           double first, double last);

private:
    double factor_ = 1000.0;
    double zoom_ = 1.0;
    double previousZoom_ = 1.0;
};

} // namespace tesmar
