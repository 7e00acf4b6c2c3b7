#include "PlotView.h"

#include "app/TfmMain.h"
#include "app/pages/logic/LanChart.h"
#include "app/pages/logic/LanPage.h"
#include "app/pages/recorder/RecChart.h"
#include "app/pages/recorder/RecPage.h"
#include "cli/CliText.h"
#include "recorder/RecorderRecord.h"

#include <QComboBox>

#include <cstdint>

namespace tesmar {

namespace {

// [first, last] seconds of the data, narrowed to the asked window; empty `problem` when shown.
std::optional<std::pair<double, double>> Window(double first, double last, const PlotWindow& asked,
                                                std::string& problem) {
    const double from = asked.from.value_or(first), to = asked.to.value_or(last);
    if (!(to > from)) {
        problem = "the window from " + SecondsText(from) + " to " + SecondsText(to) + " is empty";
        return std::nullopt;
    }
    return std::pair(from, to);
}

// The zoom item whose window holds `samples`, so that the page picks a time unit that suits
// the picture: the smallest 1:k whose 128·k samples cover them, else the widest.
int ZoomItemFor(const QComboBox& zoom, double samples) {
    // Past the list's own items come wider steps: the list is not in order.
    int fits = -1, widest = 0;
    double fitsN = 0, widestN = 0;
    for (int i = 0; i < zoom.count(); ++i) {
        const QString text = zoom.itemText(i);
        if (!text.startsWith("1:"))
            continue;
        const double n = text.mid(2).toDouble();
        if (n > widestN) {
            widest = i;
            widestN = n;
        }
        if (128.0 * n >= samples && (fits < 0 || n < fitsN)) {
            fits = i;
            fitsN = n;
        }
    }
    return fits >= 0 ? fits : widest;
}

std::string ShowLogic(LanPage& page, const DataFile& file, const PlotWindow& asked) {
    auto& chart = *static_cast<LanChart*>(page.chart());
    const bool busB = file.busB && !file.busB->empty();
    const bool busA = !chart.bus(0).empty();
    const auto extent = chart.extent();
    if (!extent || (!busA && !busB))
        return "the file holds no samples to draw";
    // The last sample is drawn one period wide.
    const double period = (busA ? chart.bus(0) : chart.bus(1)).step / page.multiplier();
    std::string problem;
    const auto window = Window(extent->first / page.multiplier(), extent->second / page.multiplier() + period,
                               asked, problem);
    if (!window)
        return problem;
    page.cbLANZoom->setCurrentIndex(ZoomItemFor(*page.cbLANZoom, (window->second - window->first) / period));
    // Bus B holds data only when the file has a bus B capture: no generator traces.
    if (!busB)
        chart.clearBus(1);
    const std::uint16_t lines =
        static_cast<std::uint16_t>((busA ? chart.bus(0).lines : 0) | (busB ? chart.bus(1).lines << 8 : 0));
    if (lines == 0)
        return "the file holds no lines to draw";
    chart.setRows(lines);
    const double unit = page.multiplier();
    chart.setBottomRange(window->first * unit, window->second * unit);
    chart.resetMarkers();
    chart.replot();
    return {};
}

std::string ShowRecord(RecPage& page, const PlotWindow& asked) {
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

std::string ShowForPicture(TfmMain& window, const DataFile& file, const PlotWindow& asked) {
    switch (file.page()) {
    case DataFilePage::Logic:
        return ShowLogic(*window.lanPage(), file, asked);
    case DataFilePage::Recorder:
        return ShowRecord(*window.recPage(), asked);
    default:
        return {};
    }
}

} // namespace tesmar
