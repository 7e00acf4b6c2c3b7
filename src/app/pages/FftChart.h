#pragma once
// The spectrum chart `chFFT`: frequency at the bottom, channel A on the left axis (red curve),
// channel B on the right (blue), and two frequency markers dragged by their heads.

#include <qcustomplot.h>

#include <array>

namespace tesmar {

class FftChart : public QCustomPlot {
    Q_OBJECT
public:
    explicit FftChart(QWidget* parent = nullptr);

    QCPGraph* srFFT_Ch1 = nullptr;
    QCPGraph* srFFT_Ch2 = nullptr;
    QCPAxis* channelAxis(int channel) const { return channel == 0 ? yAxis : yAxis2; }

    // Marker frequencies in axis units.
    double markerFrequency(int marker) const { return markerFrequency_[marker]; }
    void setMarkerFrequency(int marker, double frequency) { markerFrequency_[marker] = frequency; }
    // The frequency window; the markers keep their places on the screen.
    void setFrequencyRange(double min, double max);
    // Marker 1 at the left and marker 2 at the right edge.
    void resetMarkers();

signals:
    void markerMoved(int marker);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int markerAt(const QPointF& point) const;
    void placeItems();

    std::array<double, 2> markerFrequency_{0, 0};
    std::array<QCPItemStraightLine*, 2> lines_{};
    std::array<QCPItemText*, 2> heads_{};
    int dragged_ = -1;
};

} // namespace tesmar
