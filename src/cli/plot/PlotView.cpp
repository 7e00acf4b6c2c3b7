#include "PlotView.h"

#include "app/TfmMain.h"
#include "app/pages/logic/LanChart.h"
#include "app/pages/logic/LanPage.h"
#include "app/pages/recorder/RecChart.h"
#include "app/pages/recorder/RecPage.h"
#include "cli/CliText.h"
#include "recorder/RecorderRecord.h"

#include <cstdint>

namespace tesmar {

namespace {

// [first, last] seconds of the data, narrowed to the asked window; empty `problem` when shown.
std::optional<std::pair<double, double>> Window(double first, double last, const PlotWindow& asked,
                                                std::string& problem)
{
    const double from = asked.from.value_or(first), to = asked.to.value_or(last);
    if (!(to > from)) {
        problem = "the window from " + SecondsText(from) + " to " + SecondsText(to) + " is empty";
        return std::nullopt;
    }
    return std::pair(from, to);
}

std::string ShowLogic(LanPage& page, const DataFile& file, const PlotWindow& asked)
{
    auto& chart = *static_cast<LanChart*>(page.chart());
    // Bus B holds data only when the file has a bus B capture: no generator traces.
    const bool busB = file.busB && !file.busB->empty();
    if (!busB)
        chart.clearBus(1);
    const bool busA = !chart.bus(0).empty();
    const std::uint16_t lines =
        static_cast<std::uint16_t>((busA ? chart.bus(0).lines : 0) | (busB ? chart.bus(1).lines << 8 : 0));
    const auto extent = chart.extent();
    if (!extent || lines == 0)
        return "the file holds no samples to draw";
    chart.setRows(lines);
    const double unit = page.multiplier();
    // The last sample is drawn one period wide.
    const DrawnBus& drawn = busA ? chart.bus(0) : chart.bus(1);
    const double last = (extent->second + drawn.step) / unit;
    std::string problem;
    const auto window = Window(extent->first / unit, last, asked, problem);
    if (!window)
        return problem;
    chart.setBottomRange(window->first * unit, window->second * unit);
    chart.resetMarkers();
    chart.replot();
    return {};
}

std::string ShowRecord(RecPage& page, const PlotWindow& asked)
{
    const RecorderRecord* record = page.record();
    if (!record || record->count() == 0)
        return "the file holds no points to draw";
    auto& chart = *static_cast<RecChart*>(page.chart());
    const double lastDay = std::max(record->on(0) ? record->timeOf(0, record->count() - 1) : 0.0,
                                    record->on(1) ? record->timeOf(1, record->count() - 1) : 0.0);
    std::string problem;
    const auto window = Window(0.0, lastDay * kSecondsPerDay, asked, problem);
    if (!window)
        return problem;
    chart.xAxis->setRange(window->first / kSecondsPerDay, window->second / kSecondsPerDay);
    chart.resetMarkers();
    chart.replot();
    return {};
}

} // namespace

std::string ShowForPicture(TfmMain& window, const DataFile& file, const PlotWindow& asked)
{
    switch (file.page()) {
    case DataFilePage::Logic: return ShowLogic(*window.lanPage(), file, asked);
    case DataFilePage::Recorder: return ShowRecord(*window.recPage(), asked);
    default: return {};
    }
}

} // namespace tesmar
