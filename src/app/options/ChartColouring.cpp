#include "ChartColouring.h"

#include "app/BgrColour.h"

#include <qcustomplot.h>

namespace tesmar {

namespace {

void SetPenColour(QCPAxis* axis, const QColor& grid)
{
    QPen tick = axis->tickPen();
    tick.setColor(grid);
    axis->setTickPen(tick);
    QPen sub = axis->subTickPen();
    sub.setColor(grid);
    axis->setSubTickPen(sub);
}

void SetGridColour(QCPAxis* axis, const QColor& grid)
{
    QPen pen = axis->grid()->pen();
    pen.setColor(grid);
    axis->grid()->setPen(pen);
}

void SetLineColour(QCPAxis* axis, const QColor& outline)
{
    QPen pen = axis->basePen();
    pen.setColor(outline);
    axis->setBasePen(pen);
}

} // namespace

void ApplyFrameColours(QCustomPlot& chart, const ChartColours& c)
{
    chart.setBackground(ColourFromBgr(c.cbFon));
    chart.axisRect()->setBackground(ColourFromBgr(c.cbFon));
    const QColor grid = ColourFromBgr(c.cbGrid);
    const QColor outline = ColourFromBgr(c.cbOutLineGrid);
    for (QCPAxis* axis : {chart.yAxis, chart.xAxis})
        SetGridColour(axis, grid);
    for (QCPAxis* axis : {chart.yAxis, chart.yAxis2, chart.xAxis, chart.xAxis2}) {
        SetPenColour(axis, grid);
        SetLineColour(axis, outline);
    }
    chart.xAxis->setLabelColor(ColourFromBgr(c.cbX));
    chart.xAxis->setTickLabelColor(ColourFromBgr(c.cbScaleX));
}

void ApplyChartColours(QCustomPlot& chart, QCPGraph* seriesA, QCPGraph* seriesB, const ChartColours& c)
{
    ApplyFrameColours(chart, c);
    chart.yAxis->setTickLabelColor(ColourFromBgr(c.cbScaleChA));
    chart.yAxis2->setTickLabelColor(ColourFromBgr(c.cbScaleChB));
    const std::pair<QCPGraph*, std::uint32_t> series[] = {{seriesA, c.cbChA}, {seriesB, c.cbChB}};
    for (const auto& [graph, colour] : series) {
        if (!graph)
            continue;
        QPen pen = graph->pen();
        pen.setColor(ColourFromBgr(colour));
        pen.setWidth(c.udWidth);
        graph->setPen(pen);
    }
    chart.replot();
}

ChartColours ChartColoursOf(const QCustomPlot& chart, const QCPGraph* seriesA, const QCPGraph* seriesB)
{
    ChartColours c;
    c.cbFon = BgrFromColour(chart.axisRect()->backgroundBrush().style() == Qt::NoBrush
                                ? QColor(Qt::white)
                                : chart.axisRect()->backgroundBrush().color());
    if (seriesA) {
        c.cbChA = BgrFromColour(seriesA->pen().color());
        c.udWidth = std::max(kMinLineWidth, seriesA->pen().width());
    }
    if (seriesB)
        c.cbChB = BgrFromColour(seriesB->pen().color());
    c.cbScaleChA = BgrFromColour(chart.yAxis->tickLabelColor());
    c.cbScaleChB = BgrFromColour(chart.yAxis2->tickLabelColor());
    c.cbGrid = BgrFromColour(chart.yAxis->grid()->pen().color());
    c.cbOutLineGrid = BgrFromColour(chart.xAxis->basePen().color());
    c.cbX = BgrFromColour(chart.xAxis->labelColor());
    c.cbScaleX = BgrFromColour(chart.xAxis->tickLabelColor());
    return c;
}

} // namespace tesmar
