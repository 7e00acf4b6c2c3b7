#include "app/pages/MarkerChart.h"

#include <cmath>

namespace tesmar {

namespace {
constexpr int kGripPixels = 5;
const QColor kPurple(0x80, 0x00, 0x80);
const QColor kGreen(0x00, 0x80, 0x00);
} // namespace

MarkerChart::MarkerChart(QWidget* parent) : QCustomPlot(parent)
{
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
    connect(this, &QCustomPlot::beforeReplot, this, &MarkerChart::placeMarkers);
}

void MarkerChart::placeMarkers()
{
    for (int m = 0; m < 2; ++m) {
        lines_[m]->point1->setCoords(markerPosition_[m], 0);
        lines_[m]->point2->setCoords(markerPosition_[m], 1);
        heads_[m]->position->setCoords(markerPosition_[m], 0);
        // The head is drawn outside the plot's clip: hide it with a marker off the screen.
        heads_[m]->setVisible(xAxis->range().contains(markerPosition_[m]));
    }
}

void MarkerChart::setBottomRange(double min, double max)
{
    const QCPRange old = xAxis->range();
    for (int m = 0; m < 2 && !keepTimes_; ++m) {
        const double share = old.size() > 0 ? (markerPosition_[m] - old.lower) / old.size() : m;
        markerPosition_[m] = min + share * (max - min);
    }
    xAxis->setRange(min, max);
}

void MarkerChart::resetMarkers()
{
    markerPosition_ = {xAxis->range().lower, xAxis->range().upper};
}

int MarkerChart::markerAt(const QPointF& p) const
{
    const QRect plot = axisRect()->rect();
    for (int m = 0; m < 2; ++m) {
        if (!xAxis->range().contains(markerPosition_[m]))
            continue;
        const double x = xAxis->coordToPixel(markerPosition_[m]);
        // The head above the plot, or the line itself.
        if (std::fabs(x - p.x()) <= (p.y() < plot.top() ? 8 : kGripPixels))
            return m;
    }
    return -1;
}

void MarkerChart::mousePressEvent(QMouseEvent* event)
{
    const int marker = markerAt(event->position());
    if (event->button() == Qt::LeftButton && marker >= 0) {
        dragged_ = marker;
        return;
    }
    QCustomPlot::mousePressEvent(event);
}

void MarkerChart::mouseMoveEvent(QMouseEvent* event)
{
    if (dragged_ < 0) {
        setCursor(markerAt(event->position()) >= 0 ? Qt::SizeHorCursor : Qt::ArrowCursor);
        QCustomPlot::mouseMoveEvent(event);
        return;
    }
    // A marker dragged beyond the plot stops at its edge.
    const QRect plot = axisRect()->rect();
    const double x = std::clamp(event->position().x(), double(plot.left()), double(plot.right()));
    markerPosition_[dragged_] = xAxis->pixelToCoord(x);
    emit markerMoved(dragged_);
    replot(QCustomPlot::rpQueuedReplot);
}

void MarkerChart::mouseReleaseEvent(QMouseEvent* event)
{
    if (dragged_ < 0)
        QCustomPlot::mouseReleaseEvent(event);
    dragged_ = -1;
}

} // namespace tesmar
