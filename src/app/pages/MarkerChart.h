#pragma once
// A chart with two vertical markers dragged by their heads along the bottom axis, kept inside
// the plot. Marker 1 is purple, marker 2 green; their positions are axis values.

#include <qcustomplot.h>

#include <array>

namespace tesmar {

class MarkerChart : public QCustomPlot {
    Q_OBJECT
public:
    explicit MarkerChart(QWidget* parent = nullptr);

    double markerPosition(int marker) const { return markerPosition_[marker]; }
    void setMarkerPosition(int marker, double x) { markerPosition_[marker] = x; }
    // The bottom axis' window; the markers keep their places on the screen, or their axis
    // values when they keep their times (then they may lie off the screen).
    void setBottomRange(double min, double max);
    void setMarkersKeepTimes(bool keep) { keepTimes_ = keep; }
    // Marker 1 at the left and marker 2 at the right edge.
    void resetMarkers();

signals:
    void markerMoved(int marker);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // The marker whose line or head is under the point, −1 for none.
    int markerAt(const QPointF& point) const;
    bool draggingMarker() const { return dragged_ >= 0; }

private:
    void placeMarkers();

    std::array<double, 2> markerPosition_{0, 0};
    std::array<QCPItemStraightLine*, 2> lines_{};
    std::array<QCPItemText*, 2> heads_{};
    int dragged_ = -1;
    bool keepTimes_ = false;
};

} // namespace tesmar
