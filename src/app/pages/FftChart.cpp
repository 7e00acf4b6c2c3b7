#include "FftChart.h"

#include <cmath>

namespace tesmar {

namespace {
constexpr int kGripPixels = 5;
const QColor kPurple(0x80, 0x00, 0x80);
const QColor kGreen(0x00, 0x80, 0x00);
} // namespace

FftChart::FftChart(QWidget* parent) : QCustomPlot(parent)
{
    setObjectName("chFFT");
    yAxis2->setVisible(true);
    xAxis->setRange(0, 100);
    yAxis->setRange(0, 20);
    yAxis2->setRange(0, 20);
    yAxis->setTickLabelColor(Qt::red);
    yAxis2->setTickLabelColor(Qt::blue);
    yAxis->setBasePen(QPen(Qt::red));
    yAxis2->setBasePen(QPen(Qt::blue));
    srFFT_Ch1 = addGraph(xAxis, yAxis);
    srFFT_Ch1->setName("srFFT_Ch1");
    srFFT_Ch1->setPen(QPen(Qt::red));
    srFFT_Ch2 = addGraph(xAxis, yAxis2);
    srFFT_Ch2->setName("srFFT_Ch2");
    srFFT_Ch2->setPen(QPen(Qt::blue));
    for (int m = 0; m < 2; ++m) {
        auto* line = new QCPItemStraightLine(this);
        line->setPen(QPen(m == 0 ? kPurple : kGreen, 2));
        line->setSelectable(false);
        lines_[m] = line;
        auto* head = new QCPItemText(this);
        head->setText("▼");
        head->setColor(m == 0 ? kPurple : kGreen);
        head->setClipToAxisRect(false);
        head->position->setTypeX(QCPItemPosition::ptPlotCoords);
        head->position->setTypeY(QCPItemPosition::ptAxisRectRatio);
        head->setPositionAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        head->setSelectable(false);
        heads_[m] = head;
    }
    connect(this, &QCustomPlot::beforeReplot, this, &FftChart::placeItems);
    resetMarkers();
}

void FftChart::placeItems()
{
    for (int m = 0; m < 2; ++m) {
        lines_[m]->point1->setCoords(markerFrequency_[m], 0);
        lines_[m]->point2->setCoords(markerFrequency_[m], 1);
        heads_[m]->position->setCoords(markerFrequency_[m], 0);
    }
}

void FftChart::setFrequencyRange(double min, double max)
{
    const QCPRange old = xAxis->range();
    for (int m = 0; m < 2; ++m) {
        const double share = old.size() > 0 ? (markerFrequency_[m] - old.lower) / old.size() : m;
        markerFrequency_[m] = min + share * (max - min);
    }
    xAxis->setRange(min, max);
}

void FftChart::resetMarkers()
{
    markerFrequency_ = {xAxis->range().lower, xAxis->range().upper};
}

int FftChart::markerAt(const QPointF& p) const
{
    const QRect plot = axisRect()->rect();
    for (int m = 0; m < 2; ++m) {
        const double x = xAxis->coordToPixel(markerFrequency_[m]);
        // The head above the plot, or the line itself.
        if (std::fabs(x - p.x()) <= (p.y() < plot.top() ? 8 : kGripPixels))
            return m;
    }
    return -1;
}

void FftChart::mousePressEvent(QMouseEvent* event)
{
    const int marker = markerAt(event->position());
    if (event->button() == Qt::LeftButton && marker >= 0) {
        dragged_ = marker;
        return;
    }
    QCustomPlot::mousePressEvent(event);
}

void FftChart::mouseMoveEvent(QMouseEvent* event)
{
    if (dragged_ < 0) {
        setCursor(markerAt(event->position()) >= 0 ? Qt::SizeHorCursor : Qt::ArrowCursor);
        QCustomPlot::mouseMoveEvent(event);
        return;
    }
    // A marker dragged beyond the plot stops at its edge.
    const QRect plot = axisRect()->rect();
    const double x = std::clamp(event->position().x(), double(plot.left()), double(plot.right()));
    markerFrequency_[dragged_] = xAxis->pixelToCoord(x);
    emit markerMoved(dragged_);
    replot(QCustomPlot::rpQueuedReplot);
}

void FftChart::mouseReleaseEvent(QMouseEvent* event)
{
    if (dragged_ < 0)
        QCustomPlot::mouseReleaseEvent(event);
    dragged_ = -1;
}

} // namespace tesmar
