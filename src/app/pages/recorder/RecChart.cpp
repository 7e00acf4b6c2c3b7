#include "app/BgrColour.h"
#include "app/pages/recorder/RecChart.h"

#include "recorder/RecTimeAxis.h"
#include "recorder/RecorderRecord.h"

#include <QFontMetrics>
#include <QHelpEvent>
#include <QToolTip>

#include <cmath>

namespace tesmar {

namespace {

// Tick labels of a time axis in days.
class RecTimeTicker final : public QCPAxisTicker {
public:
    bool inMicroseconds = false;

protected:
    QString getTickLabel(double tick, const QLocale&, QChar, int) override
    {
        return QString::fromStdString(RecTimeText(std::max(0.0, tick), inMicroseconds));
    }

    // Never finer than the labels resolve (1 ms, or 1 µs): neighbouring labels would read the same.
    double getTickStep(const QCPRange& range) override
    {
        const double finest = (inMicroseconds ? 1e-6 : 1e-3) / kSecondsPerDay;
        return std::max(QCPAxisTicker::getTickStep(range), finest);
    }
};

constexpr int kHeadGrip = 8;

} // namespace

RecChart::RecChart(QWidget* parent) : OscChart(parent)
{
    setObjectName("chRec");
    srRec_Ch1 = srOsc_Ch1;
    srRec_Ch2 = srOsc_Ch2;
    srRec_Ch1->setName("srRec_Ch1");
    srRec_Ch2->setName("srRec_Ch2");
    // The curves already hold at most two points per pixel column: sampling them again would
    // merge neighbouring columns and leave pixel columns unpainted.
    srRec_Ch1->setAdaptiveSampling(false);
    srRec_Ch2->setAdaptiveSampling(false);
    setTriggerLinesVisible(false);
    ticker_ = QSharedPointer<QCPAxisTicker>(new RecTimeTicker);
    ticker_->setTickCount(4);
    xAxis->setTicker(ticker_);
    xAxis->setLabel("Время"); // the page sets the message table's title
    notice_ = new QCPItemText(this);
    notice_->setObjectName("lbRecNotice");
    notice_->position->setType(QCPItemPosition::ptAxisRectRatio);
    notice_->position->setCoords(0.5, 0.5);
    notice_->setPositionAlignment(Qt::AlignCenter);
    notice_->setTextAlignment(Qt::AlignCenter);
    notice_->setPadding(QMargins(8, 6, 8, 6));
    notice_->setBrush(QBrush(QColor(255, 255, 255, 220)));
    notice_->setPen(QPen(Qt::gray));
    notice_->setSelectable(false);
    notice_->setVisible(false);
    connect(this, &QCustomPlot::beforeReplot, this, [this] {
        refreshCurves();
        layoutUserMarkers();
    });
}

void RecChart::setNotice(const QString& text)
{
    notice_->setText(text);
    notice_->setVisible(!text.isEmpty());
}

QString RecChart::notice() const
{
    return notice_->visible() ? notice_->text() : QString();
}

void RecChart::setRecord(const RecorderRecord* record)
{
    record_ = record;
    if (!record_) {
        srRec_Ch1->data()->clear();
        srRec_Ch2->data()->clear();
    }
}

void RecChart::setChannelShown(int channel, bool shown)
{
    shown_[channel] = shown;
}

void RecChart::setTimeInMicroseconds(bool on)
{
    static_cast<RecTimeTicker*>(ticker_.data())->inMicroseconds = on;
}

void RecChart::refreshCurves()
{
    // The plot's width after this replot's layout (the axis rectangle still has the last one's
    // until then: a resized chart would get the old tick count and point columns).
    const QMargins margins = axisRect()->margins();
    const int columns = std::max(1, width() - margins.left() - margins.right());
    // Room for each time label, measured in the axis font, and as much again between labels
    // (the axis rounds the step, which may add ticks).
    const bool inMicroseconds = static_cast<RecTimeTicker*>(ticker_.data())->inMicroseconds;
    const int label = QFontMetrics(xAxis->tickLabelFont())
                          .horizontalAdvance(QString::fromStdString(RecTimeText(0, inMicroseconds)));
    ticker_->setTickCount(std::max(1, columns / std::max(1, 2 * label)));
    const QCPRange range = xAxis->range();
    for (int ch = 0; ch < 2; ++ch) {
        QCPGraph* graph = ch == 0 ? srRec_Ch1 : srRec_Ch2;
        if (!record_ || !shown_[ch]) {
            graph->data()->clear();
            continue;
        }
        BuildEnvelope(*record_, ch, range.lower, range.upper, columns, points_);
        QVector<QCPGraphData> data;
        data.reserve(static_cast<int>(points_.size()));
        for (const ChartPoint& p : points_)
            data.push_back({p.time, p.value});
        graph->data()->set(data, true);
    }
}

void RecChart::setUserMarkers(const RecMarkerSet* markers)
{
    markers_ = markers;
}

void RecChart::layoutUserMarkers()
{
    for (int slot = 1; slot <= kRecMarkerSlots; ++slot) {
        const RecMarker* m = markers_ ? markers_->marker(slot) : nullptr;
        auto found = items_.find(slot);
        if (!m) {
            if (found != items_.end()) {
                removeItem(found->second.line);
                removeItem(found->second.head);
                items_.erase(found);
            }
            continue;
        }
        if (found == items_.end()) {
            MarkerItems made;
            made.line = new QCPItemStraightLine(this);
            made.line->setSelectable(false);
            made.head = new QCPItemText(this);
            made.head->setText("▼");
            made.head->setSelectable(false);
            made.head->setClipToAxisRect(false);
            made.head->position->setTypeY(QCPItemPosition::ptAbsolute);
            made.head->setPositionAlignment(Qt::AlignHCenter | Qt::AlignBottom);
            found = items_.emplace(slot, made).first;
        }
        const QColor colour = ColourFromBgr(m->colour);
        found->second.line->setPen(QPen(colour, 2));
        found->second.line->point1->setCoords(m->time, 0);
        found->second.line->point2->setCoords(m->time, 1);
        found->second.head->setColor(colour);
        found->second.head->position->setCoords(m->time, axisRect()->top());
        const QRect plot = axisRect()->rect();
        const double x = xAxis->coordToPixel(m->time);
        const bool visible = x >= plot.left() - 2 && x <= plot.right();
        found->second.line->setVisible(visible);
        found->second.head->setVisible(visible);
    }
}

bool RecChart::userMarkerVisible(int slot) const
{
    const auto found = items_.find(slot);
    return found != items_.end() && found->second.line->visible();
}

QPointF RecChart::userMarkerHead(int slot) const
{
    const RecMarker* m = markers_ ? markers_->marker(slot) : nullptr;
    if (!m)
        return {};
    return {xAxis->coordToPixel(m->time), double(axisRect()->top() - 6)};
}

int RecChart::userMarkerAt(const QPointF& p) const
{
    if (!markers_)
        return 0;
    for (int slot = kRecMarkerSlots; slot >= 1; --slot) {
        if (!userMarkerVisible(slot))
            continue;
        const QPointF head = userMarkerHead(slot);
        if (std::fabs(head.x() - p.x()) <= kHeadGrip && std::fabs(head.y() - p.y()) <= kHeadGrip)
            return slot;
    }
    return 0;
}

void RecChart::mousePressEvent(QMouseEvent* event)
{
    const int slot = userMarkerAt(event->position());
    if (slot != 0 && event->button() == Qt::RightButton) {
        emit userMarkerMenuRequested(slot, event->globalPosition().toPoint());
        return;
    }
    if (slot != 0 && event->button() == Qt::LeftButton) {
        draggedSlot_ = slot;
        return;
    }
    OscChart::mousePressEvent(event);
}

void RecChart::mouseMoveEvent(QMouseEvent* event)
{
    if (draggedSlot_ == 0) {
        OscChart::mouseMoveEvent(event);
        return;
    }
    const QRect plot = axisRect()->rect();
    const double x = std::clamp(event->position().x(), double(plot.left()), double(plot.right()));
    emit userMarkerDragged(draggedSlot_, std::max(0.0, xAxis->pixelToCoord(x)));
    replot(QCustomPlot::rpQueuedReplot);
}

void RecChart::mouseReleaseEvent(QMouseEvent* event)
{
    if (draggedSlot_ != 0) {
        const int slot = draggedSlot_;
        draggedSlot_ = 0;
        emit userMarkerReleased(slot);
        return;
    }
    OscChart::mouseReleaseEvent(event);
}

bool RecChart::event(QEvent* event)
{
    // A head's hint is its marker's comment.
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int slot = userMarkerAt(help->pos());
        const RecMarker* m = markers_ ? markers_->marker(slot) : nullptr;
        if (m && !m->comment.empty())
            QToolTip::showText(help->globalPos(), QString::fromStdString(m->comment), this);
        else
            QToolTip::hideText();
        return true;
    }
    return OscChart::event(event);
}

} // namespace tesmar
