#pragma once
// The oscilloscope chart `chOsc`: time axis at the bottom, channel A on the left axis (red curve),
// channel B on the right (blue), two vertical time markers, the two dotted trigger level lines
// and the zero markers of both channels, all dragged with the left mouse button.

#include <qcustomplot.h>

#include <array>
#include <optional>

namespace tesmar {

class OscChart : public QCustomPlot {
    Q_OBJECT
public:
    explicit OscChart(QWidget* parent = nullptr);

    QCPGraph* srOsc_Ch1 = nullptr;
    QCPGraph* srOsc_Ch2 = nullptr;
    QCPAxis* channelAxis(int channel) const { return channel == 0 ? yAxis : yAxis2; }

    // Time markers (axis units of the time axis).
    double markerTime(int marker) const { return markerTime_[marker]; }
    void setMarkerTime(int marker, double time);
    // Puts marker 1 at the left and marker 2 at the right edge of the visible time range.
    void resetMarkers();

    // Trigger level lines (volts on the channel's axis).
    double triggerLevel(int channel) const { return triggerLevel_[channel]; }
    void setTriggerLevel(int channel, double volts);
    void setTriggerLinesVisible(bool visible);
    bool triggerLinesVisible() const { return triggerLinesVisible_; }
    // Each level line carries its value, e.g. "2,00 В": the unit and the decimal separator.
    void setLevelFormat(const QString& unit, QChar separator);
    QString levelText(int channel) const;

signals:
    void markerMoved(int marker);
    void triggerLevelDragged(int channel, double volts);
    void triggerLevelReleased(int channel);
    // The zero of `channel` was dragged to make the axis value `volts` the new 0 V.
    void zeroDragged(int channel, double volts);
    void zeroReleased(int channel);
    void zeroMenuRequested(int channel, QPoint globalPosition);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    enum class Grip { None, Marker1, Marker2, LevelA, LevelB, ZeroA, ZeroB };
    Grip gripAt(const QPointF& point) const;
    void placeItems();

    std::array<double, 2> markerTime_{0, 0};
    std::array<double, 2> triggerLevel_{2.0, -2.0};
    bool triggerLinesVisible_ = true;
    std::array<QCPItemStraightLine*, 2> markerLines_{};
    std::array<QCPItemStraightLine*, 2> levelLines_{};
    std::array<QCPItemText*, 2> zeroMarks_{};
    std::array<QCPItemText*, 2> levelTexts_{};
    QString levelUnit_ = " В";
    QChar levelSeparator_ = ',';
    Grip grip_ = Grip::None;
};

} // namespace tesmar
