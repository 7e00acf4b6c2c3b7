// The oscilloscope page: processing and drawing a record, the time axis, zoom, scroll bar,
// marker readouts, general parameters and the page's settings.

#include "app/MainMenu.h"
#include "app/pages/osc/OscChart.h"
#include "app/pages/PageWidgets.h"
#include "app/pages/osc/OscPage.h"
#include "settings/IniFile.h"
#include "text/MessageFormat.h"
#include "text/MessageTable.h"
#include "ui/knob/TOscKnob.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QScrollBar>
#include <QToolButton>

#include <algorithm>
#include <cmath>
#include <vector>

namespace tesmar {

namespace {

Msg TitleKey(double factor)
{
    return factor == 1e3 ? Msg::strOscTime_ms : factor == 1e6 ? Msg::strOscTime_us : Msg::strOscTime_sek;
}

Msg UnitKey(double factor)
{
    return factor == 1e3 ? Msg::strDim_ms : factor == 1e6 ? Msg::strDim_us : Msg::strDim_sek;
}

ChannelMath MathFromMenu(const MainMenu& menu)
{
    const ChannelMath kinds[] = {ChannelMath::None, ChannelMath::AplusB, ChannelMath::AminusB, ChannelMath::BplusA,
                                 ChannelMath::BminusA};
    for (int i = 0; i < 5; ++i)
        if (menu.analogMath[i]->isChecked())
            return kinds[i];
    return ChannelMath::None;
}

} // namespace

const ProcessedRecord* OscPage::shownRecord() const
{
    return shown_ ? &*shown_ : nullptr;
}

std::optional<SignalParams> OscPage::lastSignalParams(int channel) const
{
    if (!shown_)
        return std::nullopt;
    return channel == 0 ? shown_->a.params : shown_->b.params;
}

void OscPage::ProcessOscData()
{
    const OscResult& record = acquisition_->result();
    chOsc->srOsc_Ch1->data()->clear();
    chOsc->srOsc_Ch2->data()->clear();
    ChannelProcessing a, b;
    a.invert = ctx_.menu.miAnalogMathInvA->isChecked();
    b.invert = ctx_.menu.miAnalogMathInvB->isChecked();
    a.smoothingLevel = ctx_.menu.evenningLevel(0);
    b.smoothingLevel = ctx_.menu.evenningLevel(1);
    a.filterOn = chboxOscFiltrationOnCh1->isChecked();
    b.filterOn = chboxOscFiltrationOnCh2->isChecked();
    a.response = ctx_.filters[0].points;
    b.response = ctx_.filters[1].points;
    shown_ = ProcessOscRecord(record, dt_, ctx_.menu.miAnalogGetParamBefore->isChecked(), a, b, MathFromMenu(ctx_.menu));
    drawRecord(*shown_);
    showSignalParams(*shown_);
    SetupTimeAxis();
}

void OscPage::drawRecord(const ProcessedRecord& record)
{
    drawCurves(record);
    const ProcessedChannel* channels[] = {&record.a, &record.b};
    for (int ch = 0; ch < 2; ++ch)
        if (!channels[ch]->values.empty())
            autoRange(ch, channels[ch]->values);
}

void OscPage::drawCurves(const ProcessedRecord& record)
{
    const double factor = timeAxis_.factor();
    const ProcessedChannel* channels[] = {&record.a, &record.b};
    QCPGraph* graphs[] = {chOsc->srOsc_Ch1, chOsc->srOsc_Ch2};
    for (int ch = 0; ch < 2; ++ch) {
        const ProcessedChannel& c = *channels[ch];
        if (c.values.empty())
            continue;
        QVector<QCPGraphData> points(static_cast<int>(c.values.size()));
        for (int i = 0; i < points.size(); ++i)
            points[i] = {(i - c.trigIndex + c.shift) * dt_ * factor, c.values[i]};
        graphs[ch]->data()->set(points, true);
    }
}

void OscPage::drawLiveRecord()
{
    if (!acquisition_->takeLive(live_) || (live_.CountA <= 0 && live_.CountB <= 0))
        return;
    // Inversion and channel arithmetic only: smoothing, the filter, the parameters and the auto
    // range wait for the whole record.
    ChannelProcessing a, b;
    a.invert = ctx_.menu.miAnalogMathInvA->isChecked();
    b.invert = ctx_.menu.miAnalogMathInvB->isChecked();
    shown_ = ProcessOscRecord(live_, dt_, true, a, b, MathFromMenu(ctx_.menu));
    const double oldFactor = timeAxis_.factor();
    const AxisRange range = expectedRecordAxis(); // the curve grows across the whole record's axis
    chOsc->srOsc_Ch1->data()->clear();
    chOsc->srOsc_Ch2->data()->clear();
    drawCurves(*shown_);
    showTimeUnit(oldFactor);
    setTimeRange(range);
    chOsc->replot();
    UpdateMarkerReadouts();
    // The labels describe the record on the screen; the sounds wait for the whole record.
    showParamLabels(*shown_);
}

AxisRange OscPage::expectedRecordAxis()
{
    OscTimeAxis::EmptyRecord r;
    r.triggerOn = sbOscTriggerOn->isChecked();
    r.preTrigger = preTrigger_;
    r.capacity = capacity_;
    r.bufferMode = !streamMode_;
    r.bothChannels = sbOscOnCh1->isChecked() && sbOscOnCh2->isChecked();
    r.quantizedTd = quantizedTd_;
    return timeAxis_.setupEmpty(r);
}

void OscPage::showTimeUnit(double oldFactor)
{
    if (timeAxis_.factor() != oldFactor || chOsc->xAxis->label().isEmpty())
        chOsc->xAxis->setLabel(msg(TitleKey(timeAxis_.factor())));
}

void OscPage::autoRange(int channel, const std::vector<double>& values)
{
    QToolButton* range = channel == 0 ? sbOscAvtoRangeCh1 : sbOscAvtoRangeCh2;
    if (!range->isChecked() || values.empty())
        return;
    QToolButton* zero = channel == 0 ? sbOscAvtoZeroCh1 : sbOscAvtoZeroCh2;
    TOscKnob* knob = channel == 0 ? knOscCh1 : knOscCh2;
    const auto [lo, hi] = std::minmax_element(values.begin(), values.end());
    std::vector<double> knobValues;
    for (const auto& entry : knob->OscKnobData())
        knobValues.push_back(entry.ValueReal);
    QCPAxis* axis = chOsc->channelAxis(channel);
    AutoRangeInput in{*hi, *lo, knobValues, true, zero->isEnabled() && zero->isChecked(),
                      {axis->range().lower, axis->range().upper}};
    // The knob's own change handler rescales the axis; the zero shift starts from there.
    const int index = AutoRange(in, in.axis).knobIndex.value_or(knob->IndexSelectData());
    if (index != knob->IndexSelectData())
        knob->setIndexSelectData(index);
    in.axis = {axis->range().lower, axis->range().upper};
    const AutoRangeResult result = AutoRange(in, in.axis);
    if (result.shiftedAxis)
        setAxis(channel, *result.shiftedAxis);
}

void OscPage::showSignalParams(const ProcessedRecord& record)
{
    if (ctx_.checkSounds)
        ctx_.checkSounds({record.a.params, record.b.params}, {knOscCh1->CurValueReal(), knOscCh2->CurValueReal()});
    showParamLabels(record);
}

void OscPage::showParamLabels(const ProcessedRecord& record)
{
    ReadoutUnits units;
    units.volts = ctx_.messages.text(Msg::strDim_V);
    units.millivolts = ctx_.messages.text(Msg::strDim_mV);
    units.hertz = ctx_.messages.text(Msg::strDim_Hz);
    units.kilohertz = ctx_.messages.text(Msg::strDim_KHz);
    const ProcessedChannel* channels[] = {&record.a, &record.b};
    for (int ch = 0; ch < 2; ++ch) {
        readouts_[ch] = FormatSignalParams(channels[ch]->params, readouts_[ch], units, decimalSeparator());
        lbOscUc[ch]->setText(QString::fromStdString(readouts_[ch].constant));
        lbOscUv[ch]->setText(QString::fromStdString(readouts_[ch].variable));
        lbOscF[ch]->setText(QString::fromStdString(readouts_[ch].frequency));
    }
}

std::optional<std::pair<double, double>> OscPage::curveExtent() const
{
    const QCPGraph* a = chOsc->srOsc_Ch1;
    const QCPGraph* b = chOsc->srOsc_Ch2;
    if (a->dataCount() == 0 && b->dataCount() == 0)
        return std::nullopt;
    const QCPGraph* firstCurve = a->dataCount() > 0 ? a : b;
    const double first = firstCurve->data()->constBegin()->key;
    double last = first;
    for (const QCPGraph* g : {a, b})
        if (g->dataCount() > 0)
            last = std::max(last, (g->data()->constEnd() - 1)->key);
    return std::pair{first, last};
}

void OscPage::SetupTimeAxis()
{
    const double oldFactor = timeAxis_.factor();
    AxisRange range;
    const auto extent = curveExtent();
    if (!extent) {
        range = expectedRecordAxis();
    } else {
        const int count = std::max(chOsc->srOsc_Ch1->dataCount(), chOsc->srOsc_Ch2->dataCount());
        const ScrollState scroll{scbrOsc->value(), scbrOsc->pageStep()};
        const OscTimeAxis::DataLayout layout =
            timeAxis_.setupWithData({count, dt_, extent->first, extent->second}, scroll,
                                    {chOsc->xAxis->range().lower, chOsc->xAxis->range().upper});
        if (layout.xScale != 1.0) {
            for (QCPGraph* g : {chOsc->srOsc_Ch1, chOsc->srOsc_Ch2})
                for (auto it = g->data()->begin(); it != g->data()->end(); ++it)
                    it->key *= layout.xScale;
        }
        range = layout.range;
    }
    showTimeUnit(oldFactor);
    setTimeRange(range);
    if (markersUnset_) {
        chOsc->resetMarkers();
        markersUnset_ = false;
    }
    chOsc->replot();
    UpdateMarkerReadouts();
}

void OscPage::setTimeRange(const AxisRange& range)
{
    // The markers keep their places on the screen; their times follow the new axis.
    const QCPRange old = chOsc->xAxis->range();
    for (int m = 0; m < 2; ++m) {
        const double share = old.size() > 0 ? (chOsc->markerTime(m) - old.lower) / old.size() : m;
        chOsc->setMarkerTime(m, range.min + share * (range.max - range.min));
    }
    chOsc->xAxis->setRange(range.min, range.max);
}

void OscPage::updateScrollBar()
{
    const ScrollState s = OscTimeAxis::ScrollFor({chOsc->xAxis->range().lower, chOsc->xAxis->range().upper}, curveExtent());
    scrolling_ = true;
    scbrOsc->setPageStep(std::max(1, s.pageSize));
    scbrOsc->setMaximum(kScrollRange - std::max(1, s.pageSize));
    scbrOsc->setValue(s.position);
    scrolling_ = false;
}

void OscPage::scbrOscScroll(int position)
{
    if (scrolling_)
        return;
    const auto extent = curveExtent();
    if (!extent)
        return;
    const ScrollState before = OscTimeAxis::ScrollFor({chOsc->xAxis->range().lower, chOsc->xAxis->range().upper}, extent);
    const auto moved = OscTimeAxis::Scroll({chOsc->xAxis->range().lower, chOsc->xAxis->range().upper}, before, position,
                                           extent->first, extent->second);
    if (!moved)
        return;
    setTimeRange(*moved);
    chOsc->replot();
    setFocus();
    UpdateMarkerReadouts();
}

void OscPage::cbOscZoomChange()
{
    const int index = cbOscZoom->currentIndex();
    sbOscZoomIn->setEnabled(index < cbOscZoom->count() - 1);
    sbOscZoomOut->setEnabled(index > 0);
    sbOscZoomUndo->setEnabled(index > 0);
    timeAxis_.setZoom(cbOscZoom->currentText().section(':', 0, 0).toDouble());
    SetupTimeAxis();
}

void OscPage::sbOscZoomInClick()
{
    cbOscZoom->setCurrentIndex(std::min(cbOscZoom->currentIndex() + 1, cbOscZoom->count() - 1));
}

void OscPage::sbOscZoomOutClick()
{
    cbOscZoom->setCurrentIndex(std::max(cbOscZoom->currentIndex() - 1, 0));
}

void OscPage::sbOscZoomUndoClick()
{
    cbOscZoom->setCurrentIndex(0);
}

void OscPage::UpdateMarkerReadouts()
{
    const double factor = timeAxis_.factor();
    const std::string unit = ctx_.messages.text(UnitKey(factor));
    const std::string volts = ctx_.messages.text(Msg::strDim_V);
    const char sep = decimalSeparator();
    const double t1 = chOsc->markerTime(0), t2 = chOsc->markerTime(1);
    auto text = [](const std::string& s) { return QString::fromStdString(s); };
    lbOscMarker1Time->setText(text(FormatReadout(t1, unit, sep)));
    lbOscMarker2Time->setText(text(FormatReadout(t2, unit, sep)));
    lbOscMarker2Sub1Time->setText(text(FormatReadout(t2 - t1, unit, sep)));
    lbOscMarker2Sub1Time->setStyleSheet(t2 > t1 ? "color: #008000" : "color: #800080");

    QLabel* at1[] = {lbOscMarker1VoltA, lbOscMarker1VoltB};
    QLabel* at2[] = {lbOscMarker2VoltA, lbOscMarker2VoltB};
    QLabel* diff[] = {lbOscMarker2Sub1VoltA, lbOscMarker2Sub1VoltB};
    const ProcessedChannel* channels[] = {shown_ ? &shown_->a : nullptr, shown_ ? &shown_->b : nullptr};
    QCPGraph* graphs[] = {chOsc->srOsc_Ch1, chOsc->srOsc_Ch2};
    for (int ch = 0; ch < 2; ++ch) {
        std::optional<double> v1, v2;
        if (channels[ch] && graphs[ch]->dataCount() >= 2) {
            const CurveSamples curve{channels[ch]->values, graphs[ch]->data()->constBegin()->key, dt_ * factor};
            v1 = CurveValueAt(curve, t1);
            v2 = CurveValueAt(curve, t2);
        }
        at1[ch]->setText(v1 ? text(FormatFixed(*v1, 5, 2, sep) + volts) : QString());
        at2[ch]->setText(v2 ? text(FormatFixed(*v2, 5, 2, sep) + volts) : QString());
        if (v1 && v2) {
            diff[ch]->setText(text(FormatFixed(*v2 - *v1, 5, 2, sep) + volts));
            diff[ch]->setStyleSheet(*v2 > *v1 ? "color: #008000" : "color: #800080");
        } else {
            diff[ch]->clear();
        }
    }
}

void OscPage::readSettings(const IniFile& ini, char separator)
{
    auto readAxis = [&](int channel, const char* minKey, const char* maxKey) {
        QCPAxis* axis = chOsc->channelAxis(channel);
        const double lo = ini.readFloat("main", minKey, axis->range().lower, separator);
        const double hi = ini.readFloat("main", maxKey, axis->range().upper, separator);
        if (hi > lo)
            axis->setRange(lo, hi);
    };
    knOscCh1->setIndexSelectData(static_cast<int>(ini.readInteger("main", "knOscCh1IndexSelectData", 28)));
    knOscCh2->setIndexSelectData(static_cast<int>(ini.readInteger("main", "knOscCh2IndexSelectData", 28)));
    readAxis(0, "chOscLeftAxisMinimum", "chOscLeftAxisMaximum");
    readAxis(1, "chOscRightAxisMinimum", "chOscRightAxisMaximum");
    chOsc->setTriggerLevel(0, ini.readFloat("main", "trigger_level_ch1", chOsc->triggerLevel(0), separator));
    chOsc->setTriggerLevel(1, ini.readFloat("main", "trigger_level_ch2", chOsc->triggerLevel(1), separator));
    sbOscOnCh1->setChecked(ini.readBool("main", "sbOscOnCh1", true));
    sbOscOnCh2->setChecked(ini.readBool("main", "sbOscOnCh2", false));
    sbOscAvtoRangeCh1->setChecked(ini.readBool("main", "sbOscAvtoRangeCh1", false));
    sbOscAvtoZeroCh1->setChecked(ini.readBool("main", "sbOscAvtoZeroCh1", false));
    sbOscAvtoRangeCh2->setChecked(ini.readBool("main", "sbOscAvtoRangeCh2", false));
    sbOscAvtoZeroCh2->setChecked(ini.readBool("main", "sbOscAvtoZeroCh2", false));
    autoRangeClick(0);
    autoRangeClick(1);
    readTriggerSettings(ini, separator);
    knOscTimeDiv->setIndexSelectData(static_cast<int>(ini.readInteger("main", "knOscTimeDivIndexSelectData", 38)));
    chOsc->replot();
}

void OscPage::writeSettings(IniFile& ini, char separator) const
{
    ini.writeInteger("main", "knOscCh1IndexSelectData", knOscCh1->IndexSelectData());
    ini.writeInteger("main", "knOscCh2IndexSelectData", knOscCh2->IndexSelectData());
    ini.writeFloat("main", "chOscLeftAxisMinimum", chOsc->yAxis->range().lower, separator);
    ini.writeFloat("main", "chOscLeftAxisMaximum", chOsc->yAxis->range().upper, separator);
    ini.writeFloat("main", "chOscRightAxisMinimum", chOsc->yAxis2->range().lower, separator);
    ini.writeFloat("main", "chOscRightAxisMaximum", chOsc->yAxis2->range().upper, separator);
    ini.writeFloat("main", "trigger_level_ch1", chOsc->triggerLevel(0), separator);
    ini.writeFloat("main", "trigger_level_ch2", chOsc->triggerLevel(1), separator);
    ini.writeBool("main", "sbOscOnCh1", sbOscOnCh1->isChecked());
    ini.writeBool("main", "sbOscOnCh2", sbOscOnCh2->isChecked());
    ini.writeBool("main", "sbOscAvtoRangeCh1", sbOscAvtoRangeCh1->isChecked());
    ini.writeBool("main", "sbOscAvtoZeroCh1", sbOscAvtoZeroCh1->isChecked());
    ini.writeBool("main", "sbOscAvtoRangeCh2", sbOscAvtoRangeCh2->isChecked());
    ini.writeBool("main", "sbOscAvtoZeroCh2", sbOscAvtoZeroCh2->isChecked());
    ini.writeInteger("main", "knOscTimeDivIndexSelectData", knOscTimeDiv->IndexSelectData());
    for (const QToolButton* b : triggerButtons())
        ini.writeBool("main", b->objectName().toStdString(), b->isChecked());
    ini.writeFloat("main", "edOscTriggerDif", threshold_, separator);
}

std::array<QToolButton*, 8> OscPage::triggerButtons() const
{
    return {sbOscTriggerOn,         sbOscTriggerSourceCh1,    sbOscTriggerSourceCh2, sbOscTriggerSourceExt,
            sbOscTriggerEdgeRising, sbOscTriggerEdgeFailling, spOscTriggerAbs,       spOscTriggerDif};
}

void OscPage::readTriggerSettings(const IniFile& ini, char separator)
{
    // Buttons take their stored state without their handlers; of each group the first button
    // stored as down wins, and a group with none keeps its choice.
    auto read = [&](QToolButton* b) { return ini.readBool("main", b->objectName().toStdString(), b->isChecked()); };
    setTriggerOn(read(sbOscTriggerOn));
    for (auto group : {std::vector{sbOscTriggerSourceCh1, sbOscTriggerSourceCh2, sbOscTriggerSourceExt},
                       std::vector{sbOscTriggerEdgeRising, sbOscTriggerEdgeFailling},
                       std::vector{spOscTriggerAbs, spOscTriggerDif}}) {
        const auto down = std::find_if(group.begin(), group.end(), read);
        if (down != group.end())
            (*down)->setChecked(true);
    }
    const double threshold = ini.readFloat("main", "edOscTriggerDif", threshold_, separator);
    if (std::isfinite(threshold))
        threshold_ = std::clamp(threshold, kMinDifferenceThreshold, kMaxDifferenceThreshold);
    showThreshold();
    applyTriggerRules();
}

void OscPage::applyChannelStates()
{
    // Run the channel handlers as a click would, without restarting anything.
    for (int ch = 0; ch < 2; ++ch) {
        QToolButton* on = ch == 0 ? sbOscOnCh1 : sbOscOnCh2;
        const bool isOn = on->isChecked();
        on->setText(msg(isOn ? Msg::strChOn : Msg::strChOff));
        on->setStyleSheet(isOn ? (ch == 0 ? "color: red" : "color: blue") : "color: black");
        (ch == 0 ? sbOscTriggerSourceCh1 : sbOscTriggerSourceCh2)->setEnabled(isOn);
    }
    if (!sbOscOnCh1->isChecked() && sbOscTriggerSourceCh1->isChecked())
        sbOscTriggerSourceCh2->setChecked(true);
    else if (!sbOscOnCh2->isChecked() && sbOscTriggerSourceCh2->isChecked())
        sbOscTriggerSourceCh1->setChecked(true);
    knOscTimeDiv->setIndexMaxEnable(sbOscOnCh1->isChecked() && sbOscOnCh2->isChecked() ? 34 : -1);
    knOscTimeDivChange();
    SetupTimeAxis();
}

} // namespace tesmar

namespace tesmar {

std::pair<std::vector<double>, std::vector<double>> OscPage::shownTraces() const
{
    auto values = [](const QCPGraph* graph) {
        std::vector<double> v;
        v.reserve(static_cast<std::size_t>(graph->dataCount()));
        for (auto it = graph->data()->constBegin(); it != graph->data()->constEnd(); ++it)
            v.push_back(it->value);
        return v;
    };
    return {values(chOsc->srOsc_Ch1), values(chOsc->srOsc_Ch2)};
}

void OscPage::showTriggerLevel()
{
    const bool channelSource = !sbOscTriggerSourceExt->isChecked();
    const int channel = sbOscTriggerSourceCh2->isChecked() ? 1 : 0;
    lbOscTriggerLevel->setText(chOsc->triggerLinesVisible() && channelSource
                                   ? (channel == 0 ? "A: " : "B: ") + chOsc->levelText(channel)
                                   : QString());
}

void OscPage::showWaitingStatus()
{
    const bool levelTrigger =
        sbOscTriggerOn->isChecked() && !sbOscTriggerSourceExt->isChecked() && chOsc->triggerLinesVisible();
    if (!levelTrigger) {
        ctx_.setStatusText(msg(Msg::strWaitReset));
        return;
    }
    const int channel = sbOscTriggerSourceCh2->isChecked() ? 1 : 0;
    ctx_.setStatusText(QString::fromStdString(FormatMessage(ctx_.messages.text(Msg::strOscWaitTrigger),
                                                            {chOsc->triggerLevel(channel), std::string(channel == 0 ? "A" : "B")}))
                           .replace('.', QChar(decimalSeparator())));
}

void OscPage::retranslate()
{
    chOsc->setLevelFormat(msg(Msg::strDim_V), QChar(decimalSeparator()));
    showTriggerLevel();
    chOsc->xAxis->setLabel(msg(TitleKey(timeAxis_.factor())));
    for (QToolButton* on : {sbOscOnCh1, sbOscOnCh2})
        on->setText(msg(on->isChecked() ? Msg::strChOn : Msg::strChOff));
    sbOscTriggerOn->setText(msg(sbOscTriggerOn->isChecked() ? Msg::strTriggerOn : Msg::strTriggerOff));
    if (!running())
        ShowRunButtonsIdle(sbOscRunSingle, sbOscRun, ctx_.messages);
    UpdateMarkerReadouts(); // their units are the language's
    chOsc->replot(QCustomPlot::rpQueuedReplot);
}

} // namespace tesmar
