// The oscilloscope page to and from a measurement data file.

#include "app/pages/osc/OscChart.h"
#include "app/pages/osc/OscPage.h"
#include "app/pages/PageDataFileFields.h"
#include "formats/PageRecordChecks.h"
#include "ui/knob/TOscKnob.h"

#include <QComboBox>
#include <QLabel>
#include <QToolButton>

#include <algorithm>
#include <cmath>
#include <utility>

namespace tesmar {

namespace {

std::vector<double> GraphValues(const QCPGraph* graph)
{
    std::vector<double> values;
    values.reserve(static_cast<std::size_t>(graph->dataCount()));
    for (auto it = graph->data()->constBegin(); it != graph->data()->constEnd(); ++it)
        values.push_back(it->value);
    return values;
}

} // namespace

std::optional<DataFile> OscPage::saveDataFile() const
{
    const QCPGraph* graphs[] = {chOsc->srOsc_Ch1, chOsc->srOsc_Ch2};
    if (graphs[0]->dataCount() == 0 && graphs[1]->dataCount() == 0)
        return std::nullopt;
    const double factor = timeAxis_.factor();
    OscSettingsChunk s;
    s.samplePeriod = dt_;
    s.cbOscZoom = static_cast<std::uint16_t>(std::max(0, cbOscZoom->currentIndex()));
    s.sbOscOnCh1 = sbOscOnCh1->isChecked();
    s.sbOscOnCh2 = sbOscOnCh2->isChecked();
    s.knOscCh1 = static_cast<std::uint16_t>(knOscCh1->IndexSelectData());
    s.knOscCh2 = static_cast<std::uint16_t>(knOscCh2->IndexSelectData());
    s.triggerLevelA = chOsc->triggerLevel(0);
    s.triggerLevelB = chOsc->triggerLevel(1);
    s.firstTimeA = graphs[0]->dataCount() > 0 ? graphs[0]->data()->constBegin()->key / factor : 0.0;
    s.firstTimeB = graphs[1]->dataCount() > 0 ? graphs[1]->data()->constBegin()->key / factor : 0.0;
    s.leftAxis = LimitsOf(chOsc->channelAxis(0));
    s.rightAxis = LimitsOf(chOsc->channelAxis(1));
    // In seconds, the unit the time axis is restored in.
    s.timeAxis = LimitsOf(chOsc->xAxis, 1.0 / factor);
    if (shown_) {
        s.paramsA = Stored(shown_->a.params);
        s.paramsB = Stored(shown_->b.params);
    }
    DataFile file{s, {}, {}, {}, {}, {}};
    if (graphs[0]->dataCount() > 0)
        file.channelA = GraphValues(graphs[0]);
    if (graphs[1]->dataCount() > 0)
        file.channelB = GraphValues(graphs[1]);
    return file;
}

bool OscPage::openDataFile(const DataFile& file)
{
    const OscSettingsChunk* s = OscRecordSettings(file);
    if (!s)
        return false;

    // The buttons and knobs as a user would set them; their handlers lay out an empty chart.
    chOsc->srOsc_Ch1->data()->clear();
    chOsc->srOsc_Ch2->data()->clear();
    shown_.reset();
    sbOscOnCh1->setChecked(s->sbOscOnCh1 || !s->sbOscOnCh2);
    sbOscOnCh2->setChecked(s->sbOscOnCh2);
    sbOscOnCh1Click();
    sbOscOnCh2Click();
    knOscCh1->setIndexSelectData(s->knOscCh1);
    knOscCh2->setIndexSelectData(s->knOscCh2);
    {
        const QSignalBlocker quiet(cbOscZoom);
        cbOscZoom->setCurrentIndex(std::min<int>(s->cbOscZoom, cbOscZoom->count() - 1));
    }

    // The record as it was shown: values in volts, the first at its stored time.
    dt_ = s->samplePeriod;
    ProcessedRecord record;
    const std::pair<const std::optional<std::vector<double>>*, const StoredSignalParams*> stored[] = {
        {&file.channelA, &s->paramsA}, {&file.channelB, &s->paramsB}};
    const double firstTimes[] = {s->firstTimeA, s->firstTimeB};
    ProcessedChannel* channels[] = {&record.a, &record.b};
    for (int ch = 0; ch < 2; ++ch) {
        if (!*stored[ch].first)
            continue;
        const StoredSignalParams& p = *stored[ch].second;
        channels[ch]->values = **stored[ch].first;
        channels[ch]->params = SignalParams{p[0], p[1], p[2], p[3], p[4]};
        channels[ch]->shift = firstTimes[ch] / dt_;
    }
    shown_ = record;
    drawCurves(record);
    {
        // Opening a file is no new measurement: no sound for its values.
        const auto sounds = std::exchange(ctx_.checkSounds, {});
        showSignalParams(record);
        ctx_.checkSounds = sounds;
    }
    cbOscZoomChange(); // lays out the time axis for the curves, with its unit

    for (int ch = 0; ch < 2; ++ch) {
        const AxisLimits& limits = ch == 0 ? s->leftAxis : s->rightAxis;
        if (Usable(limits))
            chOsc->channelAxis(ch)->setRange(limits.min, limits.max);
    }
    if (Usable(s->timeAxis)) {
        const double factor = timeAxis_.factor();
        setTimeRange({s->timeAxis.min * factor, s->timeAxis.max * factor});
        updateScrollBar();
    }
    if (std::isfinite(s->triggerLevelA))
        chOsc->setTriggerLevel(0, s->triggerLevelA);
    if (std::isfinite(s->triggerLevelB))
        chOsc->setTriggerLevel(1, s->triggerLevelB);
    chOsc->replot();
    UpdateMarkerReadouts();
    return true;
}

void OscPage::clearPage()
{
    chOsc->srOsc_Ch1->data()->clear();
    chOsc->srOsc_Ch2->data()->clear();
    shown_.reset();
    readouts_ = {};
    for (int ch = 0; ch < 2; ++ch)
        for (QLabel* l : {lbOscUc[ch], lbOscUv[ch], lbOscF[ch]})
            l->clear();
    knOscTimeDivChange();
    UpdateMarkerReadouts();
    chOsc->replot();
    setUnsavedRecord(false);
}

} // namespace tesmar
