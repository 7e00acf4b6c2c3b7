#pragma once
// The spectrum's frequency axis: its unit, the zoom list and the window the chart shows.

#include "osc/OscTimeAxis.h"

namespace tesmar {

class SpectrumFrequencyAxis {
public:
    double zoom() const { return zoom_; }
    void setZoom(double zoom) { zoom_ = zoom; }

    // No curve shown: half the (quantised) knob rate, centred, narrowed by the zoom. `unit` is the
    // axis unit of that rate.
    AxisRange setupEmpty(double knobRate, double unit);
    // Curves shown, the last point at `M`: the window read from the scroll bar, then zoomed
    // around its centre and kept within 0 … M.
    AxisRange setupWithData(double M, const ScrollState& scroll, const AxisRange& current);

private:
    double zoom_ = 1.0;
    double previousZoom_ = 1.0;
};

struct ZoomButtonStates {
    bool zoomIn = true, zoomOut = true, undo = true;
};
ZoomButtonStates ZoomButtonsFor(int item, int itemCount);

} // namespace tesmar
