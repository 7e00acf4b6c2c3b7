#pragma once
// Puts chart colours on a chart: every element for a chart with two channel series, only the
// background, grid, frame and bottom axis for the logic analyser chart (its traces keep their
// per-line colours).

#include "ChartColours.h"

class QCPGraph;
class QCustomPlot;

namespace tesmar {

void ApplyChartColours(QCustomPlot& chart, QCPGraph* seriesA, QCPGraph* seriesB, const ChartColours& colours);
void ApplyFrameColours(QCustomPlot& chart, const ChartColours& colours);
// What a chart with two series shows now.
ChartColours ChartColoursOf(const QCustomPlot& chart, const QCPGraph* seriesA, const QCPGraph* seriesB);

} // namespace tesmar
