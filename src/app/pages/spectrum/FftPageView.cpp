// The spectrum analyser page: results, curves, the frequency axis, scrolling and markers.

#include "app/pages/spectrum/FftChart.h"
#include "app/pages/PageWidgets.h"
#include "app/pages/spectrum/FftPage.h"
#include "app/options/OptionVariables.h"
#include "text/MessageTable.h"
#include "osc/acquisition/OscAcquisition.h"
#include "spectrum/SpectrumAcquisition.h"
#include "spectrum/SpectrumMarkers.h"
#include "ui/knob/TOscKnob.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QScrollBar>
#include <QToolButton>

namespace tesmar {

void FftPage::ProcessSpectrum(SpectrumMode mode)
{
    if (mode == SpectrumMode::Full) {
        record_.length = readType_.length;
        record_.sampleRate = readType_.sampleRate;
    }
    const OscResult& result = acquisition_->result();
    const OscAcquisitionParams& params = acquisition_->lastParams();
    std::array<SpectrumChannelInput, 2> inputs{};
    for (int ch = 0; ch < 2; ++ch) {
        SpectrumChannelInput& in = inputs[ch];
        in.captured = ch == 0 ? params.chAOn : params.chBOn;
        if (mode == SpectrumMode::Full)
            in.samples = SpectrumSamples(result, ch, record_.length);
        in.filterOn = (ch == 0 ? chboxFFTFiltrationOnCh1 : chboxFFTFiltrationOnCh2)->isChecked();
        in.response = ctx_.filters[ch].points;
        in.scale = scale(ch);
    }
    SpectrumSettings settings;
    settings.window = static_cast<SpectrumWindow>(std::max(0, cbFFTWinParam->currentIndex()));
    settings.harmonics = ctx_.options.fft_count_kni_ham;
    settings.manualF1 = manualF1();
    tesmar::ProcessSpectrum(mode, record_, inputs, settings);
    drawRecord();
    showResults();
    UpdateFrequencyAxis();
}

void FftPage::drawRecord()
{
    for (int ch = 0; ch < 2; ++ch) {
        QCPGraph* graph = curve(ch);
        const SpectrumChannel& c = record_.channels[ch];
        if (c.curve.x.empty()) {
            graph->data()->clear();
            continue;
        }
        QCPAxis* axis = chFFT->channelAxis(ch);
        if (auto range = SpectrumAxisFor(scale(ch), {axis->range().lower, axis->range().upper},
                                         rangeKnob(ch)->CurValueReal()))
            axis->setRange(range->min, range->max);
        graph->setData(QVector<double>(c.curve.x.begin(), c.curve.x.end()),
                       QVector<double>(c.curve.y.begin(), c.curve.y.end()), true);
    }
}

void FftPage::showResults()
{
    if (ctx_.checkSounds)
        ctx_.checkSounds({record_.channels[0].params, record_.channels[1].params},
                         {knFFTCh1->CurValueReal(), knFFTCh2->CurValueReal()});
    const char sep = decimalSeparator();
    const ReadoutUnits units{ctx_.messages.text(Msg::strDim_V), ctx_.messages.text(Msg::strDim_mV),
                             ctx_.messages.text(Msg::strDim_Hz), ctx_.messages.text(Msg::strDim_KHz),
                             ctx_.messages.text(Msg::strNoSpecified)};
    for (int ch = 0; ch < 2; ++ch) {
        const SpectrumChannel& c = record_.channels[ch];
        if (c.hasData() && c.params) {
            readouts_[ch] = FormatSignalParams(c.params, readouts_[ch], units, sep);
        } else if (!c.hasData()) {
            readouts_[ch] = {};
            lbFFTF1[ch]->clear();
        }
        lbFFTUc[ch]->setText(QString::fromStdString(readouts_[ch].constant));
        lbFFTUv[ch]->setText(QString::fromStdString(readouts_[ch].variable));
        lbFFTF[ch]->setText(QString::fromStdString(readouts_[ch].frequency));
        if (c.distortion) {
            lbFFTKNI1[ch]->setText(QString::fromStdString(FormatDistortionFactor(c.distortion->kg, sep)));
            lbFFTKNI3[ch]->setText(QString::fromStdString(FormatDistortionFactor(c.distortion->k3, sep)));
        } else {
            lbFFTKNI1[ch]->clear();
            lbFFTKNI3[ch]->clear();
        }
        if (c.hasData())
            lbFFTF1[ch]->setText(QString::fromStdString(FormatFundamental(c.fundamental.F1, sep)));
    }
}

double FftPage::shownCurveEnd() const
{
    if (sbFFTOnCh1->isChecked() && chFFT->srFFT_Ch1->dataCount() > 0)
        return (chFFT->srFFT_Ch1->data()->constEnd() - 1)->key;
    if (chFFT->srFFT_Ch2->dataCount() > 0)
        return (chFFT->srFFT_Ch2->data()->constEnd() - 1)->key;
    return 0.0;
}

void FftPage::UpdateFrequencyAxis()
{
    const double M = shownCurveEnd();
    const double governingRate = M > 0 ? record_.sampleRate : readType_.sampleRate;
    unit_ = SpectrumFrequencyUnit(governingRate);
    chFFT->xAxis->setLabel(msg(unit_ == 1000.0 ? Msg::strFFTFrec_KHz : Msg::strFFTFrec_Hz));
    AxisRange range;
    if (M == 0.0) {
        range = axis_.setupEmpty(readType_.sampleRate, unit_);
    } else {
        const ScrollState scroll{scbrFFT->value(), scbrFFT->maximum() == 0 ? kScrollRange : scbrFFT->pageStep()};
        range = axis_.setupWithData(M, scroll, {chFFT->xAxis->range().lower, chFFT->xAxis->range().upper});
    }
    chFFT->setFrequencyRange(range.min, range.max);
    if (markersUnset_) {
        chFFT->resetMarkers();
        markersUnset_ = false;
    }
    chFFT->replot();
    UpdateMarkerReadouts();
}

void FftPage::updateScrollBar()
{
    const double M = shownCurveEnd();
    const ScrollState s = OscTimeAxis::ScrollFor({chFFT->xAxis->range().lower, chFFT->xAxis->range().upper},
                                                 M > 0 ? std::optional(std::pair(0.0, M)) : std::nullopt);
    scrolling_ = true;
    scbrFFT->setPageStep(std::max(1, s.pageSize));
    scbrFFT->setMaximum(kScrollRange - std::max(1, s.pageSize));
    scbrFFT->setValue(s.position);
    scrolling_ = false;
}

void FftPage::scbrFFTScroll(int position)
{
    if (scrolling_)
        return;
    const double M = shownCurveEnd();
    const ScrollState current = OscTimeAxis::ScrollFor({chFFT->xAxis->range().lower, chFFT->xAxis->range().upper},
                                                       M > 0 ? std::optional(std::pair(0.0, M)) : std::nullopt);
    const auto moved =
        OscTimeAxis::Scroll({chFFT->xAxis->range().lower, chFFT->xAxis->range().upper}, current, position, 0.0, M);
    if (!moved)
        return;
    chFFT->setFrequencyRange(moved->min, moved->max);
    chFFT->replot();
    if (isVisible())
        setFocus();
    UpdateMarkerReadouts();
}

void FftPage::cbFFTZoomChange()
{
    const ZoomButtonStates states = ZoomButtonsFor(cbFFTZoom->currentIndex(), cbFFTZoom->count());
    sbFFTZoomIn->setEnabled(states.zoomIn);
    sbFFTZoomOut->setEnabled(states.zoomOut);
    sbFFTZoomUndo->setEnabled(states.undo);
    axis_.setZoom(cbFFTZoom->currentText().section(':', 0, 0).toDouble());
    UpdateFrequencyAxis();
}

void FftPage::sbFFTZoomInClick()
{
    cbFFTZoom->setCurrentIndex(std::min(cbFFTZoom->currentIndex() + 1, cbFFTZoom->count() - 1));
}

void FftPage::sbFFTZoomOutClick()
{
    cbFFTZoom->setCurrentIndex(std::max(cbFFTZoom->currentIndex() - 1, 0));
}

void FftPage::sbFFTZoomUndoClick()
{
    cbFFTZoom->setCurrentIndex(0);
}

void FftPage::sbFFTFrecLogClick()
{
    const bool log = sbFFTFrecLog->isChecked();
    chFFT->xAxis->setScaleType(log ? QCPAxis::stLogarithmic : QCPAxis::stLinear);
    if (log)
        chFFT->xAxis->setTicker(QSharedPointer<QCPAxisTickerLog>::create());
    else
        chFFT->xAxis->setTicker(QSharedPointer<QCPAxisTicker>::create());
    chFFT->replot();
}

void FftPage::UpdateMarkerReadouts()
{
    SpectrumMarkerInput in;
    in.markerFrequency = {chFFT->markerFrequency(0), chFFT->markerFrequency(1)};
    in.unit = unit_;
    for (int ch = 0; ch < 2; ++ch) {
        if (curve(ch)->dataCount() > 0)
            in.curves[ch] = &record_.channels[ch].curve;
        in.scales[ch] = scale(ch);
    }
    in.decimalSeparator = decimalSeparator();
    in.hertz = ctx_.messages.text(Msg::strDim_Hz);
    in.kilohertz = ctx_.messages.text(Msg::strDim_KHz);
    in.decibel = ctx_.messages.text(Msg::strDim_dB);
    in.volt = ctx_.messages.text(Msg::strDim_V);
    const SpectrumMarkerReadouts r = ComputeSpectrumMarkerReadouts(in);
    auto colour = [](DifferenceColour c) { return c == DifferenceColour::Green ? "color: #008000" : "color: #800080"; };
    lbFFTMarker1Frec->setText(QString::fromStdString(r.frequency[0]));
    lbFFTMarker2Frec->setText(QString::fromStdString(r.frequency[1]));
    lbFFTMarker2Sub1Frec->setText(QString::fromStdString(r.frequencyDifference.text));
    lbFFTMarker2Sub1Frec->setStyleSheet(colour(r.frequencyDifference.colour));
    lbFFTMarker1VoltA->setText(QString::fromStdString(r.value[0][0]));
    lbFFTMarker1VoltB->setText(QString::fromStdString(r.value[0][1]));
    lbFFTMarker2VoltA->setText(QString::fromStdString(r.value[1][0]));
    lbFFTMarker2VoltB->setText(QString::fromStdString(r.value[1][1]));
    lbFFTMarker2Sub1VoltA->setText(QString::fromStdString(r.valueDifference[0].text));
    lbFFTMarker2Sub1VoltA->setStyleSheet(colour(r.valueDifference[0].colour));
    lbFFTMarker2Sub1VoltB->setText(QString::fromStdString(r.valueDifference[1].text));
    lbFFTMarker2Sub1VoltB->setStyleSheet(colour(r.valueDifference[1].colour));
}

void FftPage::retranslate()
{
    chFFT->xAxis->setLabel(msg(unit_ == 1000.0 ? Msg::strFFTFrec_KHz : Msg::strFFTFrec_Hz));
    for (QToolButton* on : {sbFFTOnCh1, sbFFTOnCh2})
        on->setText(msg(on->isChecked() ? Msg::strChOn : Msg::strChOff));
    if (!running())
        ShowRunButtonsIdle(sbFFTRunSingle, sbFFTRun, ctx_.messages);
    UpdateMarkerReadouts(); // their units are the language's
    chFFT->replot(QCustomPlot::rpQueuedReplot);
}

} // namespace tesmar
