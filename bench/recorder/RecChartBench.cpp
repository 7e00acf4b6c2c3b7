// One replot of the recorder chart showing a day-long two-channel record, whole and at a 1 %
// zoom, as the page does it (curves from the summary, then QCustomPlot's drawing), offscreen.

#include "DayRecord.h"
#include "app/pages/recorder/RecChart.h"

#include <QApplication>

#include <benchmark/benchmark.h>

namespace {

using namespace tesmar;

void BM_DayRecordReplot(benchmark::State& state)
{
    const RecorderRecord& record = bench::DayRecord();
    RecChart chart;
    chart.resize(1600, 600);
    chart.show();
    chart.setRecord(&record);
    chart.yAxis->setRange(-30, 30);
    chart.yAxis2->setRange(-30, 30);
    const double day = record.timeOf(0, bench::kDayPoints - 1);
    const double share = state.range(0) / 1000.0;
    chart.xAxis->setRange(day * 0.4, day * 0.4 + day * share);
    for (auto _ : state)
        chart.replot(QCustomPlot::rpImmediateRefresh);
    state.counters["points"] = chart.srRec_Ch1->dataCount() + chart.srRec_Ch2->dataCount();
}
BENCHMARK(BM_DayRecordReplot)->Arg(1000)->Arg(10)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
