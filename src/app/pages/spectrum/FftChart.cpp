#include "app/pages/spectrum/FftChart.h"

namespace tesmar {

FftChart::FftChart(QWidget* parent) : MarkerChart(parent)
{
    setObjectName("chFFT");
    yAxis2->setVisible(true);
    xAxis->setRange(0, 100);
    yAxis->setRange(0, 20);
    yAxis2->setRange(0, 20);
    yAxis->setTickLabelColor(Qt::red);
    yAxis2->setTickLabelColor(Qt::blue);
    yAxis->setBasePen(QPen(Qt::red));
    yAxis2->setBasePen(QPen(Qt::blue));
    srFFT_Ch1 = addGraph(xAxis, yAxis);
    srFFT_Ch1->setName("srFFT_Ch1");
    srFFT_Ch1->setPen(QPen(Qt::red));
    srFFT_Ch2 = addGraph(xAxis, yAxis2);
    srFFT_Ch2->setName("srFFT_Ch2");
    srFFT_Ch2->setPen(QPen(Qt::blue));
    resetMarkers();
}

} // namespace tesmar
