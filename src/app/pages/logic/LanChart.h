#pragma once
// The logic analyser chart `chLAN`: 16 stacked traces (A.0 at the top, B.7 at the bottom) over
// a common time axis, and the two time markers. Traces are drawn from the samples at the
// screen's resolution: when many samples share a pixel column, the bus summary tells which
// lines change there, and such a column is drawn as one filled stroke.

#include "app/export/PictureChart.h"
#include "app/pages/MarkerChart.h"
#include "logic/GeneratorData.h"
#include "logic/LogicCapture.h"
#include "logic/LogicSummary.h"

#include <array>
#include <optional>
#include <span>

namespace tesmar {

// One bus as drawn: its samples, their summary, where sample 0 lies and the step per sample in
// axis units, and which of its lines have points.
struct DrawnBus {
    std::span<const std::uint8_t> samples;
    const LogicSummary* summary = nullptr;
    double firstX = 0.0, step = 1.0;
    std::uint8_t lines = 0xFF;
    bool empty() const { return samples.empty(); }
    double lastX() const { return firstX + step * (static_cast<double>(samples.size()) - 1); }
};

class LanChart : public MarkerChart, public PictureChart {
    Q_OBJECT
public:
    explicit LanChart(QWidget* parent = nullptr);

    // Bus 0 is A (lines 0 … 7), bus 1 is B (lines 8 … 15); buses 2 and 3 are A and B of a
    // capture waiting to be patched in, drawn dotted over the same lines.
    static constexpr int kBusCount = 4;
    static constexpr int kPatchBusA = 2;
    void setBus(int bus, const DrawnBus& drawn) { buses_[bus] = drawn; }
    const DrawnBus& bus(int bus) const { return buses_[bus]; }
    void clearBus(int bus) { buses_[bus] = {}; }
    // Colours of the 16 channels.
    void setChannelColour(int channel, const QColor& colour) { colours_[channel] = colour; }
    const QColor& channelColour(int channel) const { return colours_[channel]; }
    // Colour of the dotted base line under each trace (the chart's grid).
    void setBaseLineColour(const QColor& colour);
    // First x (never above 0) and last x over everything drawn; none for an empty chart.
    std::optional<std::pair<double, double>> extent() const;

    // The lines that get a row, top to bottom in channel order (A.0 … B.7); the others are not
    // drawn. All 16 by default: line c has its low level at y = 15 − c.
    void setRows(std::uint16_t lines);
    std::uint16_t rows() const { return rows_; }
    // The y of line c's low level; none for a line without a row.
    std::optional<double> rowOf(int channel) const;
    // Names of the 16 lines, drawn beside their traces in pictures and prints (the page shows
    // them as captions beside the chart).
    void setLineNames(const std::array<QString, 16>& names) { names_ = names; }
    const QString& lineName(int channel) const { return names_[channel]; }
    void beginPicture() override;
    void endPicture() override;

    // Drawing work of the last paint, for tests: line strokes issued.
    int lastStrokeCount() const { return strokes_; }

    // Pressing, moving and releasing a mouse button in the plot away from the markers, in axis
    // values (the generator data is edited this way).
    void setTraceEditing(bool on) { traceEditing_ = on; }

signals:
    void tracePressed(double x, double y, Qt::MouseButton button);
    void traceDragged(double x);
    void traceReleased(double x, bool moved);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    class Traces;
    friend class Traces;
    class Captions;
    friend class Captions;
    std::uint16_t rows_ = 0xFFFF;
    std::array<double, 16> rowY_{};
    std::array<QString, 16> names_{};
    std::array<QCPItemStraightLine*, 16> baseLines_{};
    Captions* captions_ = nullptr;
    QMargins screenMargins_;
    int pictures_ = 0; // pictures being made (one may be made inside another)
    std::array<DrawnBus, kBusCount> buses_{};
    std::array<QColor, 16> colours_{};
    Traces* traces_ = nullptr;
    int strokes_ = 0;
    bool traceEditing_ = false;
    bool tracePressed_ = false;
    bool traceMoved_ = false;
};

} // namespace tesmar
