// The logic analyser page: drawing captures and generator data, the time axis, zoom, scrolling
// and the readouts under the markers.

#include "app/pages/logic/LanChart.h"
#include "app/pages/logic/LanPage.h"
#include "app/logic/LanGeneratorPanel.h"
#include "app/logic/TfmLANSetup.h"
#include "dsp/SignalReadout.h"
#include "text/MessageTable.h"
#include "osc/OscChannelView.h"

#include <QComboBox>
#include <QLabel>
#include <QScrollBar>
#include <QToolButton>

namespace tesmar {

void LanPage::drawCapture(bool fresh, bool stream)
{
    if (fresh) {
        forgetSearchHit(); // a hit of another capture means nothing here (files open without a start)
        cancelPatch();     // it was placed after another main diagram
        setPatchAllowed(!stream);
        summaries_[0].build(capture_.busA);
        summaries_[1].build(capture_.busB);
    }
    const double period = capture_.samplePeriod;
    multiplier_ = ChooseLogicMultiplier(multiplier_, 128, period, zoom_);
    const double firstX = capture_.firstSampleTime * multiplier_;
    const double step = period * multiplier_;
    chLAN->setBus(0, {capture_.busA, &summaries_[0], firstX, step, stream ? capture_.drawnLinesA : std::uint8_t{0xFF}});
    if (!capture_.busB.empty())
        chLAN->setBus(1, {capture_.busB, &summaries_[1], firstX, step, 0xFF});
    else if (!sbLANModeBusG->isChecked())
        chLAN->clearBus(1);
    drawGenerator();
    RecomputeTimeAxis();
    refreshStatistics();
}

void LanPage::drawGenerator()
{
    if (!sbLANModeBusG->isChecked()) {
        if (capture_.busB.empty())
            chLAN->clearBus(1);
        return;
    }
    const double step = multiplier_ / mode_.sampleRate;
    if (chLAN->bus(1).empty() && chLAN->bus(0).empty())
        startAtZero_ = true; // new generator traces open at their start
    chLAN->setBus(1, {generator_.samples(), nullptr, 0.0, step, 0xFF});
}

void LanPage::RecomputeTimeAxis()
{
    if (!chLAN)
        return;
    const auto extent = chLAN->extent();
    const double settingsPeriod = 1.0 / mode_.sampleRate;
    LogicWindow window;
    const double before = multiplier_;
    if (extent && extent->second > extent->first) {
        const bool busA = !chLAN->bus(0).empty();
        const double period = busA ? capture_.samplePeriod : settingsPeriod;
        updateWideZoomSteps((extent->second - extent->first) / (period * multiplier_));
        multiplier_ = ChooseLogicMultiplier(multiplier_, 128, period, zoom_);
        if (multiplier_ != before) {
            // Everything drawn moves to the new unit.
            for (int b = 0; b < LanChart::kBusCount; ++b) {
                DrawnBus bus = chLAN->bus(b);
                if (bus.empty())
                    continue;
                bus.firstX *= multiplier_ / before;
                bus.step *= multiplier_ / before;
                chLAN->setBus(b, bus);
            }
            for (int m = 0; m < 2; ++m)
                chLAN->setMarkerPosition(m, chLAN->markerPosition(m) * multiplier_ / before);
            chLAN->xAxis->setRange(chLAN->xAxis->range().lower * multiplier_ / before,
                                   chLAN->xAxis->range().upper * multiplier_ / before);
        }
        const auto e = chLAN->extent();
        const LogicScroll scroll = LogicScrollFor({chLAN->xAxis->range().lower, chLAN->xAxis->range().upper}, e->first,
                                                  e->second);
        LogicAxisData d;
        d.left = e->first;
        d.right = e->second;
        d.period = period;
        d.multiplier = multiplier_;
        d.zoom = zoom_;
        d.startAtZero = startAtZero_;
        if (alignToPatch_ && patch_)
            d.alignTo = chLAN->bus(LanChart::kPatchBusA).firstX;
        d.scrollPosition = scroll.position;
        d.scrollPage = scroll.page;
        window = LogicDataWindow(d);
    } else {
        updateWideZoomSteps(0);
        multiplier_ = ChooseLogicMultiplier(multiplier_, static_cast<double>(mode_.depth), settingsPeriod, zoom_);
        window = LogicEmptyWindow(settingsPeriod, multiplier_, zoom_, mode_.depth, mode_.preTrigger);
    }
    startAtZero_ = false;
    alignToPatch_ = false;
    chLAN->xAxis->setLabel(msg(multiplier_ == 1.0      ? Msg::strOscTime_sek
                               : multiplier_ == 1000.0 ? Msg::strOscTime_ms
                                                       : Msg::strOscTime_us));
    setWindow(window);
}

void LanPage::setWindow(const LogicWindow& window)
{
    const QCPRange old = chLAN->xAxis->range();
    chLAN->setBottomRange(window.min, window.max);
    if (markersUnset_) {
        chLAN->resetMarkers();
        markersUnset_ = false;
    } else if (!zooming_ && old.size() > 0) {
        for (int m = 0; m < 2; ++m) {
            const double share = std::clamp((chLAN->markerPosition(m) - old.lower) / old.size(), 0.0, 1.0);
            chLAN->setMarkerPosition(m, window.min + share * (window.max - window.min));
        }
    }
    chLAN->replot();
    UpdateReadouts();
}

void LanPage::updateScrollBar()
{
    const auto e = chLAN->extent();
    LogicScroll s;
    if (e && e->second > e->first)
        s = LogicScrollFor({chLAN->xAxis->range().lower, chLAN->xAxis->range().upper}, e->first, e->second);
    scrolling_ = true;
    // The bar counts in 1/2 000 000 000 of the span; a QScrollBar holds int, which is enough.
    const int page = static_cast<int>(std::max<std::int64_t>(1, s.page));
    scbrLAN->setPageStep(page);
    scbrLAN->setMaximum(static_cast<int>(kLogicScrollRange) - page);
    scbrLAN->setSingleStep(std::max(1, page / 100));
    scbrLAN->setValue(static_cast<int>(s.position));
    scrolling_ = false;
}

void LanPage::scbrLANScroll(int position)
{
    if (scrolling_)
        return;
    const auto e = chLAN->extent();
    if (!e)
        return;
    const LogicWindow axis{chLAN->xAxis->range().lower, chLAN->xAxis->range().upper};
    const auto moved = LogicScrollTo(axis, LogicScrollFor(axis, e->first, e->second), position, e->first, e->second);
    if (!moved)
        return;
    if (isVisible())
        setFocus();
    forgetSearchHit();
    chLAN->setBottomRange(moved->min, moved->max);
    chLAN->replot();
    UpdateReadouts();
}

void LanPage::UpdateReadouts()
{
    const std::string unit =
        msg(multiplier_ == 1.0 ? Msg::strDim_sek : multiplier_ == 1000.0 ? Msg::strDim_ms : Msg::strDim_us).toStdString();
    const char sep = decimalSeparator();
    const double t1 = chLAN->markerPosition(0), t2 = chLAN->markerPosition(1);
    lbLANMarker1Time->setText(QString::fromStdString(FormatReadout(t1, unit, sep)));
    lbLANMarker2Time->setText(QString::fromStdString(FormatReadout(t2, unit, sep)));
    lbLANMarker2Sub1Time->setText(QString::fromStdString(FormatReadout(std::fabs(t2 - t1), unit, sep)));
    lbLANMarker2Sub1Time->setStyleSheet(t2 > t1 ? "color: #008000" : "color: #800080");
    const double t[2] = {t1, t2};
    for (int m = 0; m < 2; ++m)
        for (int b = 0; b < 2; ++b) {
            const DrawnBus& bus = chLAN->bus(b);
            // While a value hit is shown, marker 1 reads the searched combination on its bus.
            const bool searched = m == 0 && findHit_ && findHit_->byValue && findHit_->bus == b;
            const std::uint8_t v = searched ? findValue_ : BusValueAt(bus.samples, bus.firstX, bus.step, t[m]);
            lbLANMarkerBusBin[m][b]->setText(QString::fromStdString(BusBinaryText(v)));
            lbLANMarkerBusHex[m][b]->setText(QString::fromStdString(BusHexText(v)));
        }
}

void LanPage::retranslate()
{
    chLAN->xAxis->setLabel(msg(multiplier_ == 1.0      ? Msg::strOscTime_sek
                               : multiplier_ == 1000.0 ? Msg::strOscTime_ms
                                                       : Msg::strOscTime_us));
    if (sbLANModeBusG->isChecked())
        chLAN->setToolTip(msg(Msg::strLanGenHint));
    sbLANTriggerOn->setText(msg(sbLANTriggerOn->isChecked() ? Msg::strTriggerOn : Msg::strTriggerOff));
    fmLANSetup->setOtherCaption(msg(Msg::strOtherColour));
    generatorPanel->updateSelectionLabel();
    if (!running())
        sbLANRun->setText(msg(Msg::strStart));
    // The language file holds captions for the readout labels too; they must show the markers.
    UpdateReadouts();
    chLAN->replot(QCustomPlot::rpQueuedReplot);
}

} // namespace tesmar
