#pragma once
// The spectrum chart `chFFT`: frequency at the bottom, channel A on the left axis (red curve),
// channel B on the right (blue), and two frequency markers.

#include "app/pages/MarkerChart.h"

namespace tesmar {

class FftChart : public MarkerChart {
    Q_OBJECT
public:
    explicit FftChart(QWidget* parent = nullptr);

    QCPGraph* srFFT_Ch1 = nullptr;
    QCPGraph* srFFT_Ch2 = nullptr;
    QCPAxis* channelAxis(int channel) const { return channel == 0 ? yAxis : yAxis2; }

    // Marker frequencies in axis units.
    double markerFrequency(int marker) const { return markerPosition(marker); }
    void setFrequencyRange(double min, double max) { setBottomRange(min, max); }
};

} // namespace tesmar
