#include "app/pages/osc/OscChart.h"

#include <cmath>

namespace tesmar {

namespace {

constexpr int kGripPixels = 5;
const QColor kPurple(0x80, 0x00, 0x80);
const QColor kGreen(0x00, 0x80, 0x00);

} // namespace

OscChart::OscChart(QWidget* parent) : QCustomPlot(parent)
{
    setObjectName("chOsc");
    yAxis2->setVisible(true);
    xAxis->setRange(0, 1);
    yAxis->setRange(-20, 20);
    yAxis2->setRange(-20, 20);
    yAxis->setTickLabelColor(Qt::red);
    yAxis2->setTickLabelColor(Qt::blue);
    yAxis->setBasePen(QPen(Qt::red));
    yAxis2->setBasePen(QPen(Qt::blue));

    srOsc_Ch1 = addGraph(xAxis, yAxis);
    srOsc_Ch1->setName("srOsc_Ch1");
    srOsc_Ch1->setPen(QPen(Qt::red));
    srOsc_Ch2 = addGraph(xAxis, yAxis2);
    srOsc_Ch2->setName("srOsc_Ch2");
    srOsc_Ch2->setPen(QPen(Qt::blue));

    for (int m = 0; m < 2; ++m) {
        auto* line = new QCPItemStraightLine(this);
        line->setPen(QPen(m == 0 ? kPurple : kGreen, 2));
        line->setSelectable(false);
        markerLines_[m] = line;
    }
    for (int ch = 0; ch < 2; ++ch) {
        auto* line = new QCPItemStraightLine(this);
        line->setPen(QPen(ch == 0 ? Qt::red : Qt::blue, 1, Qt::DotLine));
        line->setClipAxisRect(axisRect());
        line->point1->setAxes(xAxis, channelAxis(ch));
        line->point2->setAxes(xAxis, channelAxis(ch));
        line->setSelectable(false);
        levelLines_[ch] = line;

        auto* zero = new QCPItemText(this);
        zero->setText(ch == 0 ? "▶" : "◀");
        zero->setColor(ch == 0 ? Qt::red : Qt::blue);
        zero->setClipToAxisRect(false);
        zero->position->setTypeX(QCPItemPosition::ptAxisRectRatio);
        zero->position->setTypeY(QCPItemPosition::ptPlotCoords);
        zero->position->setAxes(xAxis, channelAxis(ch));
        zero->setPositionAlignment((ch == 0 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
        zero->setSelectable(false);
        zeroMarks_[ch] = zero;

        // A's value at the left end of its line, B's at the right end, just above the line.
        auto* level = new QCPItemText(this);
        level->setColor(ch == 0 ? Qt::red : Qt::blue);
        level->setClipToAxisRect(true);
        level->setClipAxisRect(axisRect());
        level->position->setTypeX(QCPItemPosition::ptAxisRectRatio);
        level->position->setTypeY(QCPItemPosition::ptPlotCoords);
        level->position->setAxes(xAxis, channelAxis(ch));
        level->setPositionAlignment((ch == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignBottom);
        level->setSelectable(false);
        levelTexts_[ch] = level;
    }
    connect(this, &QCustomPlot::beforeReplot, this, &OscChart::placeItems);
    placeItems();
}

void OscChart::placeItems()
{
    for (int m = 0; m < 2; ++m) {
        markerLines_[m]->point1->setCoords(markerTime_[m], 0);
        markerLines_[m]->point2->setCoords(markerTime_[m], 1);
    }
    for (int ch = 0; ch < 2; ++ch) {
        levelLines_[ch]->point1->setCoords(0, triggerLevel_[ch]);
        levelLines_[ch]->point2->setCoords(1, triggerLevel_[ch]);
        levelLines_[ch]->setVisible(triggerLinesVisible_);
        zeroMarks_[ch]->position->setCoords(ch == 0 ? 0.0 : 1.0, 0.0);
        levelTexts_[ch]->position->setCoords(ch == 0 ? 0.01 : 0.99, triggerLevel_[ch]);
        levelTexts_[ch]->setText(levelText(ch));
        levelTexts_[ch]->setVisible(triggerLinesVisible_);
    }
}

void OscChart::setLevelFormat(const QString& unit, QChar separator)
{
    levelUnit_ = unit;
    levelSeparator_ = separator;
}

QString OscChart::levelText(int channel) const
{
    return QString::asprintf("%.2f", triggerLevel_[channel]).replace('.', levelSeparator_) + levelUnit_;
}

void OscChart::setMarkerTime(int marker, double time)
{
    markerTime_[marker] = time;
}

void OscChart::resetMarkers()
{
    markerTime_ = {xAxis->range().lower, xAxis->range().upper};
}

void OscChart::setTriggerLevel(int channel, double volts)
{
    triggerLevel_[channel] = volts;
}

void OscChart::setTriggerLinesVisible(bool visible)
{
    triggerLinesVisible_ = visible;
}

OscChart::Grip OscChart::gripAt(const QPointF& p) const
{
    // The zero marks first: they are small targets, and a time marker at the plot's edge lies
    // right beside them.
    const QRect plot = axisRect()->rect();
    if (p.x() < plot.left() + 2 && std::fabs(yAxis->coordToPixel(0) - p.y()) <= 8)
        return Grip::ZeroA;
    if (p.x() > plot.right() - 2 && std::fabs(yAxis2->coordToPixel(0) - p.y()) <= 8)
        return Grip::ZeroB;
    for (int m = 0; m < 2; ++m)
        if (std::fabs(xAxis->coordToPixel(markerTime_[m]) - p.x()) <= kGripPixels)
            return m == 0 ? Grip::Marker1 : Grip::Marker2;
    if (triggerLinesVisible_) {
        for (int ch = 0; ch < 2; ++ch)
            if (std::fabs(channelAxis(ch)->coordToPixel(triggerLevel_[ch]) - p.y()) <= kGripPixels)
                return ch == 0 ? Grip::LevelA : Grip::LevelB;
    }
    return Grip::None;
}

void OscChart::mousePressEvent(QMouseEvent* event)
{
    const Grip grip = gripAt(event->position());
    if (event->button() == Qt::RightButton && (grip == Grip::ZeroA || grip == Grip::ZeroB)) {
        emit zeroMenuRequested(grip == Grip::ZeroA ? 0 : 1, event->globalPosition().toPoint());
        return;
    }
    if (event->button() == Qt::LeftButton && grip != Grip::None) {
        grip_ = grip;
        return;
    }
    QCustomPlot::mousePressEvent(event);
}

void OscChart::mouseMoveEvent(QMouseEvent* event)
{
    if (grip_ == Grip::None) {
        const Grip hover = gripAt(event->position());
        setCursor(hover == Grip::Marker1 || hover == Grip::Marker2 ? Qt::SizeHorCursor
                  : hover == Grip::None                          ? Qt::ArrowCursor
                                                                 : Qt::SizeVerCursor);
        QCustomPlot::mouseMoveEvent(event);
        return;
    }
    const QRect plot = axisRect()->rect();
    const double x = std::clamp(event->position().x(), double(plot.left()), double(plot.right()));
    const double y = std::clamp(event->position().y(), double(plot.top()), double(plot.bottom()));
    switch (grip_) {
    case Grip::Marker1:
    case Grip::Marker2: {
        const int m = grip_ == Grip::Marker1 ? 0 : 1;
        markerTime_[m] = xAxis->pixelToCoord(x);
        emit markerMoved(m);
        break;
    }
    case Grip::LevelA:
    case Grip::LevelB: {
        const int ch = grip_ == Grip::LevelA ? 0 : 1;
        triggerLevel_[ch] = channelAxis(ch)->pixelToCoord(y);
        emit triggerLevelDragged(ch, triggerLevel_[ch]);
        break;
    }
    case Grip::ZeroA:
    case Grip::ZeroB: {
        const int ch = grip_ == Grip::ZeroA ? 0 : 1;
        emit zeroDragged(ch, channelAxis(ch)->pixelToCoord(y));
        break;
    }
    case Grip::None: break;
    }
    replot(QCustomPlot::rpQueuedReplot);
}

void OscChart::mouseReleaseEvent(QMouseEvent* event)
{
    const Grip released = grip_;
    grip_ = Grip::None;
    if (released == Grip::LevelA || released == Grip::LevelB)
        emit triggerLevelReleased(released == Grip::LevelA ? 0 : 1);
    else if (released == Grip::ZeroA || released == Grip::ZeroB)
        emit zeroReleased(released == Grip::ZeroA ? 0 : 1);
    else if (released == Grip::None)
        QCustomPlot::mouseReleaseEvent(event);
}

} // namespace tesmar
