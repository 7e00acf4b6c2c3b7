#include "app/pages/logic/LanChart.h"

#include <bit>
#include <cmath>

namespace tesmar {

namespace {
constexpr double kHighAbove = 0.7;
}

class LanChart::Traces : public QCPLayerable {
public:
    explicit Traces(LanChart* chart) : QCPLayerable(chart), chart_(chart) { setLayer("main"); }

protected:
    void applyDefaultAntialiasingHint(QCPPainter* painter) const override { painter->setAntialiasing(false); }
    QRect clipRect() const override { return chart_->axisRect()->rect(); }
    void draw(QCPPainter* painter) override
    {
        chart_->strokes_ = 0;
        for (int b = 0; b < kBusCount; ++b)
            if (!chart_->buses_[b].empty())
                drawBus(painter, b);
    }

private:
    void drawBus(QCPPainter* painter, int busIndex)
    {
        const DrawnBus& bus = chart_->buses_[busIndex];
        QCPAxis* x = chart_->xAxis;
        QCPAxis* y = chart_->yAxis;
        const QRect plot = chart_->axisRect()->rect();
        const auto n = static_cast<std::int64_t>(bus.samples.size());
        const double first = std::floor((x->range().lower - bus.firstX) / bus.step);
        const double last = std::ceil((x->range().upper - bus.firstX) / bus.step);
        const std::int64_t i0 = std::clamp<std::int64_t>(static_cast<std::int64_t>(first), 0, n - 1);
        const std::int64_t i1 = std::clamp<std::int64_t>(static_cast<std::int64_t>(last) + 1, 0, n);
        if (i1 <= i0)
            return;
        const bool busB = busIndex % 2 == 1;
        const Qt::PenStyle style = busIndex >= kPatchBusA ? Qt::DotLine : Qt::SolidLine;
        const int width = std::max(1, plot.width());
        const double perPixel = static_cast<double>(i1 - i0) / width;
        auto px = [&](double sample) { return x->coordToPixel(bus.firstX + sample * bus.step); };
        const bool exact = perPixel <= 2.0 || !bus.summary;
        // One summary pass per bus serves all eight lines.
        const std::vector<LineStates> columns =
            exact ? std::vector<LineStates>{} : bus.summary->columns(bus.samples, static_cast<double>(i0), perPixel, width);
        for (int k = 0; k < 8; ++k) {
            const int channel = (busB ? 8 : 0) + k;
            const auto row = chart_->rowOf(channel);
            if (!((bus.lines >> k) & 1) || !row)
                continue;
            painter->setPen(QPen(chart_->colours_[channel], 1, style));
            const double low = y->coordToPixel(*row), high = y->coordToPixel(*row + kHighAbove);
            QPolygonF path;
            if (exact) {
                // Every sample exactly: a step at each change.
                bool level = (bus.samples[i0] >> k) & 1;
                path << QPointF(px(i0), level ? high : low);
                for (std::int64_t i = i0 + 1; i < i1; ++i) {
                    const bool next = (bus.samples[i] >> k) & 1;
                    if (next != level) {
                        path << QPointF(px(i), level ? high : low) << QPointF(px(i), next ? high : low);
                        level = next;
                    }
                }
                path << QPointF(px(i1), level ? high : low);
                painter->drawPolyline(path);
                ++chart_->strokes_;
                continue;
            }
            // Column by column from the summary, on whole pixels: column c covers the pixels
            // edge(c) … edge(c + 1) − 1, so neighbouring columns tile the plot without a gap
            // whatever the column width. Changing columns are filled from low to high.
            const double x0 = px(i0);
            const double columnWidth = (px(i1) - x0) / width;
            auto edge = [&](int c) { return static_cast<int>(std::lround(x0 + c * columnWidth)); };
            const int yLow = static_cast<int>(std::lround(low)), yHigh = static_cast<int>(std::lround(high));
            int runStart = 0;
            int runLevel = -1;
            auto flush = [&](int end) {
                if (runLevel >= 0) {
                    const int yy = runLevel ? yHigh : yLow;
                    painter->drawLine(QLine(edge(runStart), yy, std::max(edge(runStart), edge(end)), yy));
                    ++chart_->strokes_;
                }
            };
            for (int c = 0; c < width; ++c) {
                const LineStates& s = columns[c];
                const int level = s.changes(k) ? 2 : s.high(k) ? 1 : 0;
                if (level == 2) {
                    flush(c);
                    runLevel = -1;
                    for (int xx = edge(c); xx <= std::max(edge(c), edge(c + 1) - 1); ++xx)
                        painter->drawLine(QLine(xx, yLow, xx, yHigh));
                    ++chart_->strokes_;
                } else if (level != runLevel) {
                    flush(c);
                    // A level that flips between two whole columns flips at their border.
                    if (runLevel >= 0) {
                        painter->drawLine(QLine(edge(c), yLow, edge(c), yHigh));
                        ++chart_->strokes_;
                    }
                    runStart = c;
                    runLevel = level;
                }
            }
            flush(width);
        }
    }

    LanChart* chart_;
};

// The line names at the left of the plot, in the lines' colours; only in pictures.
class LanChart::Captions : public QCPLayerable {
public:
    explicit Captions(LanChart* chart) : QCPLayerable(chart), chart_(chart)
    {
        setLayer("main");
        setVisible(false);
    }
    // Room the names need left of the plot, in pixels.
    int width() const
    {
        const QFontMetrics metrics(chart_->font());
        int widest = 0;
        for (int c = 0; c < 16; ++c)
            if (chart_->rowOf(c))
                widest = std::max(widest, metrics.horizontalAdvance(chart_->names_[c]));
        return widest + 2 * kGap;
    }

protected:
    void applyDefaultAntialiasingHint(QCPPainter* painter) const override { painter->setAntialiasing(true); }
    QRect clipRect() const override { return chart_->viewport(); }
    void draw(QCPPainter* painter) override
    {
        const QRect plot = chart_->axisRect()->rect();
        painter->setFont(chart_->font());
        const int height = QFontMetrics(chart_->font()).height();
        for (int c = 0; c < 16; ++c) {
            const auto row = chart_->rowOf(c);
            if (!row)
                continue;
            painter->setPen(chart_->colours_[c]);
            const double middle = chart_->yAxis->coordToPixel(*row + kHighAbove / 2);
            const QRectF box(0, middle - height / 2.0, plot.left() - kGap, height);
            painter->drawText(box, Qt::AlignRight | Qt::AlignVCenter, chart_->names_[c]);
        }
    }

private:
    static constexpr int kGap = 6;
    LanChart* chart_;
};

LanChart::LanChart(QWidget* parent) : MarkerChart(parent)
{
    setObjectName("chLAN");
    // A marker put on an event stays on it while the view scrolls and zooms.
    setMarkersKeepTimes(true);
    yAxis->setRange(-0.1, 16);
    yAxis->setVisible(false);
    yAxis->grid()->setVisible(false);
    xAxis->setRange(0, 1544);
    for (int c = 0; c < 16; ++c)
        colours_[c] = c < 8 ? QColor(Qt::red) : QColor(Qt::blue);
    // The 16 base lines across the plot.
    for (int line = 0; line < 16; ++line) {
        auto* grid = baseLines_[line] = new QCPItemStraightLine(this);
        grid->setPen(QPen(QColor(0xC0, 0xC0, 0xC0), 1, Qt::DotLine));
        grid->point1->setCoords(0, line);
        grid->point2->setCoords(1, line);
        grid->setSelectable(false);
    }
    traces_ = new Traces(this);
    captions_ = new Captions(this);
    for (int c = 0; c < 16; ++c)
        names_[c] = QString("%1.%2").arg(c < 8 ? 'A' : 'B').arg(c % 8);
    setRows(0xFFFF);
    resetMarkers();
}

void LanChart::setRows(std::uint16_t lines)
{
    rows_ = lines;
    const int count = std::popcount(lines);
    int position = 0;
    for (int c = 0; c < 16; ++c)
        rowY_[c] = (lines >> c) & 1 ? count - 1 - position++ : -1.0;
    yAxis->setRange(-0.1, count);
    // One base line per row.
    for (int line = 0; line < 16; ++line)
        baseLines_[line]->setVisible(line < count);
}

std::optional<double> LanChart::rowOf(int channel) const
{
    if (channel < 0 || channel >= 16 || !((rows_ >> channel) & 1))
        return std::nullopt;
    return rowY_[channel];
}

void LanChart::beginPicture()
{
    if (pictures_++ > 0)
        return;
    // The names take the room left of the plot that the page's captions take on the screen.
    screenMargins_ = axisRect()->minimumMargins();
    QMargins margins = screenMargins_;
    margins.setLeft(std::max(margins.left(), captions_->width()));
    axisRect()->setMinimumMargins(margins);
    captions_->setVisible(true);
}

void LanChart::endPicture()
{
    if (pictures_ == 0 || --pictures_ > 0)
        return;
    captions_->setVisible(false);
    axisRect()->setMinimumMargins(screenMargins_);
}

void LanChart::setBaseLineColour(const QColor& colour)
{
    for (QCPItemStraightLine* line : baseLines_)
        line->setPen(QPen(colour, 1, Qt::DotLine));
}

void LanChart::mousePressEvent(QMouseEvent* event)
{
    const QPointF p = event->position();
    if (!traceEditing_ || markerAt(p) >= 0 || !axisRect()->rect().contains(p.toPoint())) {
        MarkerChart::mousePressEvent(event);
        return;
    }
    tracePressed_ = true;
    traceMoved_ = false;
    emit tracePressed(xAxis->pixelToCoord(p.x()), yAxis->pixelToCoord(p.y()), event->button());
}

void LanChart::mouseMoveEvent(QMouseEvent* event)
{
    if (!tracePressed_) {
        MarkerChart::mouseMoveEvent(event);
        return;
    }
    traceMoved_ = true;
    emit traceDragged(xAxis->pixelToCoord(event->position().x()));
}

void LanChart::mouseReleaseEvent(QMouseEvent* event)
{
    if (!tracePressed_) {
        MarkerChart::mouseReleaseEvent(event);
        return;
    }
    tracePressed_ = false;
    emit traceReleased(xAxis->pixelToCoord(event->position().x()), traceMoved_);
}

std::optional<std::pair<double, double>> LanChart::extent() const
{
    std::optional<std::pair<double, double>> e;
    for (const DrawnBus& b : buses_) {
        if (b.empty())
            continue;
        const double lo = std::min(0.0, b.firstX), hi = b.lastX();
        e = e ? std::pair(std::min(e->first, lo), std::max(e->second, hi)) : std::pair(lo, hi);
    }
    return e;
}

} // namespace tesmar
