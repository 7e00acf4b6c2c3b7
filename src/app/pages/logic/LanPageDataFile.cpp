// The logic analyser page to and from a measurement data file.

#include "app/MainMenu.h"
#include "app/logic/LanGeneratorPanel.h"
#include "app/pages/logic/LanChart.h"
#include "app/pages/logic/LanPage.h"
#include "formats/DataFileCapture.h"
#include "ui/knob/TOscKnob.h"

#include <QAction>
#include <QComboBox>
#include <QToolButton>

#include <algorithm>
#include <cmath>
#include <vector>

namespace tesmar {

std::optional<DataFile> LanPage::saveDataFile() const
{
    if (capture_.busA.empty() || chLAN->bus(0).empty())
        return std::nullopt;
    const bool busBCaptured = sbLANModeBusA->isChecked() && !capture_.busB.empty();
    DataFile file = LogicDataFile({capture_.busA, busBCaptured ? capture_.busB : std::vector<std::uint8_t>{},
                                   capture_.samplePeriod, capture_.firstSampleTime});
    auto& settings = std::get<LogicSettingsChunk>(file.settings);
    settings.cbLANZoom = static_cast<std::uint16_t>(std::max(0, cbLANZoom->currentIndex()));
    settings.sbLANModeBusG = sbLANModeBusG->isChecked();
    settings.sbLANModeBusA = sbLANModeBusA->isChecked();
    settings.modeByte = static_cast<std::uint8_t>(mode_.rateCode);
    settings.displayMask = capture_.drawnLinesA;
    settings.timeUnitFactor = multiplier_;
    settings.firstSampleTime = capture_.firstSampleTime * multiplier_;
    settings.timeAxis = {chLAN->xAxis->range().upper, chLAN->xAxis->range().lower};
    return file;
}

bool LanPage::openDataFile(const DataFile& file)
{
    const auto* settings = std::get_if<LogicSettingsChunk>(&file.settings);
    const auto samples = CaptureFromDataFile(file);
    if (!settings || !samples)
        return false;

    // The knob back at the capture's rate (its handler chooses the read mode), so that the next
    // run captures at the rate the page shows.
    std::vector<double> values;
    for (const auto& entry : knLANFrecDiv->OscKnobData())
        values.push_back(entry.ValueReal);
    if (const auto entry = LogicEntryForCapture(values, settings->modeByte, settings->sampleRate))
        knLANFrecDiv->setIndexSelectData(*entry);

    // Bus B modes first: their handler drops a bus B capture that the mode does not keep.
    sbLANModeBusG->setChecked(settings->sbLANModeBusG);
    sbLANModeBusA->setChecked(!settings->sbLANModeBusG && settings->sbLANModeBusA);
    capture_ = LogicCapture{};
    chLAN->clearBus(0);
    chLAN->clearBus(1);
    sbLANModeBusGClick();

    // A wide step exists once the capture is drawn; until then "1:500" stands for it.
    const int zoomItem = settings->cbLANZoom < kLogicZoomItems ? settings->cbLANZoom : 0;
    {
        const QSignalBlocker quiet(cbLANZoom);
        cbLANZoom->setCurrentIndex(zoomItem);
    }
    capture_.busA = samples->busA;
    if (sbLANModeBusA->isChecked())
        capture_.busB = samples->busB;
    capture_.samplePeriod = samples->samplePeriod;
    capture_.firstSampleTime = samples->firstSampleTime;
    capture_.drawnLinesA = settings->displayMask;
    const double unit = settings->timeUnitFactor;
    if (unit == 1.0 || unit == 1000.0 || unit == 1e6)
        multiplier_ = unit;
    markersUnset_ = true;
    startAtZero_ = true;
    cbLANZoomChange(); // takes the zoom, then draws nothing new until the capture is set
    drawCapture(true, settings->displayMask != 0xFF);
    if (settings->cbLANZoom >= kLogicZoomItems && cbLANZoom->count() > kLogicZoomItems)
        cbLANZoom->setCurrentIndex(std::min<int>(settings->cbLANZoom, cbLANZoom->count() - 1));

    // The stored window, in the unit the page now uses.
    const AxisLimits& axis = settings->timeAxis;
    const double scale = (unit == 1.0 || unit == 1000.0 || unit == 1e6) ? multiplier_ / unit : 0.0;
    if (scale > 0 && std::isfinite(axis.min) && std::isfinite(axis.max) && axis.max > axis.min) {
        setWindow({axis.min * scale, axis.max * scale});
        updateScrollBar();
    }
    return true;
}

void LanPage::clearGenerator()
{
    generatorPanel->clearData();
    generatorUnsaved_ = false;
}

void LanPage::clearPage()
{
    if (running())
        return;
    ctx_.menu.miLANPatch->setChecked(false);
    const double period = capture_.samplePeriod;
    capture_ = LogicCapture{};
    capture_.samplePeriod = period;
    chLAN->clearBus(0);
    chLAN->clearBus(1);
    if (generatorMode())
        clearGenerator();
    markersUnset_ = true;
    startAtZero_ = true;
    knLANFrecDivChange();
    drawCapture(true, false);
    UpdateReadouts();
    chLAN->replot();
    setUnsavedRecord(false);
}

} // namespace tesmar
