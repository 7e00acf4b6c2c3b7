// The recorder page: period and range knobs, channels, the time axis with zoom, scrolling and
// following, the zero positions and the measuring-marker readouts.

#include "app/pages/recorder/RecChart.h"
#include "app/pages/recorder/RecPage.h"
#include <QTableWidget>
#include <QToolButton>
#include "app/options/OptionVariables.h"
#include "device/DeviceClock.h"
#include "text/MessageTable.h"
#include "osc/OscChannelView.h"
#include "recorder/RecorderEnvelope.h"
#include "recorder/acquisition/RecAcquisition.h"
#include "ui/knob/TOscKnob.h"

#include <QComboBox>
#include <QLabel>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>

#include <cmath>
#include <vector>

namespace tesmar {

namespace {

const char* const kGreen = "color: green";
const char* const kPurple = "color: purple";

} // namespace

void RecPage::knRecTimeDivChange()
{
    std::vector<double> periods;
    for (const auto& entry : knRecTimeDiv->OscKnobData())
        periods.push_back(entry.ValueReal);
    const bool both = sbRecOnCh1->isChecked() && sbRecOnCh2->isChecked();
    tcur_ = QuantizePeriod(knRecTimeDiv->CurValueReal());
    limits_ = ComputeRecPeriodLimits(periods, options_.count_rec_index_disable, options_.count_rec_index_hide, both,
                                     knRecTimeDiv->CurValueReal());
    knRecTimeDiv->setIndexMaxEnable(limits_.indexMaxEnable);
    // The limit may have moved the selection; the period in force is the knob's now.
    tcur_ = QuantizePeriod(knRecTimeDiv->CurValueReal());
    limits_.liveDisplay = ComputeRecPeriodLimits(periods, options_.count_rec_index_disable,
                                                 options_.count_rec_index_hide, both, knRecTimeDiv->CurValueReal())
                              .liveDisplay;
    pnRecShowSignal->setText(limits_.liveDisplay ? "En" : "Dis");
    pnRecShowSignal->setStyleSheet(limits_.liveDisplay ? "color: green; font-weight: bold"
                                                       : "color: red; font-weight: bold");
    chRec->setTimeInMicroseconds(options_.rec_time_in_us);
    UpdateTimeAxis();
}

void RecPage::rangeKnobChange(int channel)
{
    QCPAxis* axis = chRec->channelAxis(channel);
    const double volts = (channel == 0 ? knRecCh1 : knRecCh2)->CurValueReal();
    const AxisRange r = RescaleForRange({axis->range().lower, axis->range().upper}, volts);
    axis->setRange(r.min, r.max);
    chRec->replot();
}

void RecPage::knRecCh1Change()
{
    rangeKnobChange(0);
}

void RecPage::knRecCh2Change()
{
    rangeKnobChange(1);
}

void RecPage::ZeroMenuClick(int channel, int tag)
{
    const double volts = (channel == 0 ? knRecCh1 : knRecCh2)->CurValueReal();
    const AxisRange r = ZeroMenuAxis(volts, tag);
    chRec->channelAxis(channel)->setRange(r.min, r.max);
    chRec->replot();
}

void RecPage::channelClick(int channel)
{
    QToolButton* on = channel == 0 ? sbRecOnCh1 : sbRecOnCh2;
    QToolButton* other = channel == 0 ? sbRecOnCh2 : sbRecOnCh1;
    if (!on->isChecked() && !other->isChecked())
        on->setChecked(true); // one channel is always on
    const bool isOn = on->isChecked();
    on->setText(msg(isOn ? Msg::strChOn : Msg::strChOff));
    on->setStyleSheet(isOn ? (channel == 0 ? "color: red" : "color: blue") : "color: black");
    if (!isOn && !running())
        chRec->setChannelShown(channel, false);
    knRecTimeDivChange();
}

void RecPage::sbRecOnCh1Click()
{
    channelClick(0);
}

void RecPage::sbRecOnCh2Click()
{
    channelClick(1);
}

void RecPage::applyZoomItem(int item)
{
    item = std::clamp(item, 0, kRecZoomItems - 1);
    if (cbRecZoom->currentIndex() != item) {
        cbRecZoom->setCurrentIndex(item); // its handler does the rest
        return;
    }
    zoom_ = RecZoomFactor(item);
    sbRecZoomIn->setEnabled(item != kRecZoomItems - 1);
    sbRecZoomOut->setEnabled(item != 0);
    sbRecZoomUndo->setEnabled(item != kRecZoomHome);
    UpdateTimeAxis();
}

void RecPage::cbRecZoomChange()
{
    applyZoomItem(cbRecZoom->currentIndex());
}

void RecPage::sbRecZoomInClick()
{
    applyZoomItem(cbRecZoom->currentIndex() + 1);
}

void RecPage::sbRecZoomOutClick()
{
    applyZoomItem(cbRecZoom->currentIndex() - 1);
}

void RecPage::sbRecZoomUndoClick()
{
    applyZoomItem(kRecZoomHome);
}

double RecPage::lastShownTime() const
{
    const RecorderRecord* r = record();
    if (!r || chRec->record() != r)
        return 0;
    const std::size_t n = r->count();
    if (n == 0)
        return 0;
    const int ch = r->on(0) ? 0 : 1;
    return r->timeOf(ch, n - 1);
}

void RecPage::UpdateTimeAxis()
{
    RecAxisInput in;
    in.lastTime = lastShownTime();
    in.scalePeriod = options_.rec_scale_by_Td ? tcur_ : recordPeriod_;
    in.knobPeriod = tcur_;
    in.zoom = zoom_;
    const bool recording = acquisition_->running();
    if (recording && timerRecStallPos->isActive())
        in.mode = RecAxisMode::Stay;
    else if (following_)
        in.mode = RecAxisMode::Follow;
    in.scrollPosition = scbrRec->value();
    in.scrollPage = scbrRec->pageStep();
    in.saved = stayWindow_;
    setWindow(RecTimeWindow(in));
}

void RecPage::setWindow(const TimeWindow& window)
{
    chRec->xAxis->setRange(window.from, window.to);
    if (chRec->markerTime(0) == 0 && chRec->markerTime(1) == 0)
        chRec->resetMarkers(); // the first layout puts them at the plot's edges
    chRec->replot();
    UpdateMarkerReadouts();
}

void RecPage::scbrRecScroll(int position)
{
    static_cast<void>(position);
    if (isVisible())
        setFocus();
    const double M = lastShownTime();
    if (M <= 0 || scbrRec->pageStep() >= kRecScrollRange)
        return;
    // The scroll bar mirrors the axis; only a move away from that mirror is a scroll.
    const RecScrollState mirror = RecScrollFor({chRec->xAxis->range().lower, chRec->xAxis->range().upper}, M);
    const double delta = static_cast<double>(scbrRec->value() - mirror.position) * M / kRecScrollRange;
    if (delta == 0)
        return;
    const QCPRange r = chRec->xAxis->range();
    const TimeWindow shifted = ClampWindow({r.lower + delta, r.upper + delta}, M);
    if (acquisition_->running()) {
        stayWindow_ = shifted;
        timerRecStallPos->start();
    }
    setWindow(shifted);
}

void RecPage::timerRecStallPosTimer()
{
    timerRecStallPos->stop();
    if (acquisition_->running() && liveDisplay_) {
        following_ = true;
        UpdateTimeAxis();
    }
}

void RecPage::chRecAfterDraw()
{
    const RecScrollState s = RecScrollFor({chRec->xAxis->range().lower, chRec->xAxis->range().upper}, lastShownTime());
    const QSignalBlocker block(scbrRec);
    scbrRec->setRange(0, std::max(0, kRecScrollRange - s.page));
    scbrRec->setPageStep(s.page);
    scbrRec->setValue(s.position);
    scbrRec->setSingleStep(s.smallStep);
}

void RecPage::UpdateMarkerReadouts()
{
    const RecorderRecord* r = chRec->record();
    const double t1 = std::max(0.0, chRec->markerTime(0));
    const double t2 = std::max(0.0, chRec->markerTime(1));
    lbRecMarker1Time->setText(QString::fromStdString(timeText(t1)));
    lbRecMarker2Time->setText(QString::fromStdString(timeText(t2)));
    if (t2 > t1) {
        lbRecMarker2Sub1Time->setStyleSheet(kGreen);
        lbRecMarker2Sub1Time->setText(QString::fromStdString(" " + timeText(t2 - t1)));
    } else {
        lbRecMarker2Sub1Time->setStyleSheet(kPurple);
        lbRecMarker2Sub1Time->setText(
            QString::fromStdString((options_.rec_time_in_us ? " " : "-") + timeText(t1 - t2)));
    }
    const char sep = decimalSeparator();
    QLabel* first[] = {lbRecMarker1VoltA, lbRecMarker1VoltB};
    QLabel* second[] = {lbRecMarker2VoltA, lbRecMarker2VoltB};
    QLabel* diff[] = {lbRecMarker2Sub1VoltA, lbRecMarker2Sub1VoltB};
    for (int ch = 0; ch < 2; ++ch) {
        // Filled only with a record: GCC 12 warns falsely on the same as a conditional expression.
        std::optional<double> u1, u2;
        if (r) {
            u1 = RecordValueAt(*r, ch, t1);
            u2 = RecordValueAt(*r, ch, t2);
        }
        auto volts = [sep](double v) {
            QString text = QString::asprintf("%5.2f", v).replace('.', QChar(sep));
            return text + " В";
        };
        first[ch]->setText(u1 ? volts(*u1) : QString());
        second[ch]->setText(u2 ? volts(*u2) : QString());
        if (u1 && u2) {
            diff[ch]->setStyleSheet(*u2 > *u1 ? kGreen : kPurple);
            diff[ch]->setText(volts(*u2 - *u1));
        } else {
            diff[ch]->clear();
        }
    }
}

void RecPage::retranslate()
{
    chRec->xAxis->setLabel(msg(Msg::strRecTime));
    for (QToolButton* on : {sbRecOnCh1, sbRecOnCh2})
        on->setText(msg(on->isChecked() ? Msg::strChOn : Msg::strChOff));
    if (!running())
        sbRecRun->setText(msg(Msg::strStart));
    sgRecMarker->item(0, 0)->setText(msg(Msg::strNumber));
    sgRecMarker->item(0, 1)->setText(msg(Msg::strMarkerTime));
    chRec->replot(QCustomPlot::rpQueuedReplot);
}

} // namespace tesmar
