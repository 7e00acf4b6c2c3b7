#include "ChartExport.h"

#include <qcustomplot.h>

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QFile>
#include <QMimeData>
#include <QPrinter>
#include <QSvgGenerator>

namespace tesmar {

namespace {

QImage WhiteImage(QCustomPlot& chart)
{
    QImage image(chart.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QCPPainter painter(&image);
    chart.toPainter(&painter, chart.width(), chart.height());
    return image;
}

QByteArray SvgBytes(QCustomPlot& chart)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(chart.size());
    svg.setViewBox(QRect(QPoint(0, 0), chart.size()));
    svg.setTitle(chart.objectName());
    QCPPainter painter(&svg);
    chart.toPainter(&painter, chart.width(), chart.height());
    painter.end();
    return bytes;
}

} // namespace

QString SaveChartVector(QCustomPlot& chart, const QString& path)
{
    if (path.endsWith(".pdf", Qt::CaseInsensitive))
        return chart.savePdf(path, chart.width(), chart.height()) ? QString() : "cannot write " + path;
    QFile file(path);
    const QByteArray bytes = SvgBytes(chart);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size() || !file.flush())
        return "cannot write " + path + ": " + file.errorString();
    return {};
}

QString SaveChartBitmap(QCustomPlot& chart, const QString& path)
{
    const char* format = path.endsWith(".png", Qt::CaseInsensitive) ? "PNG" : "BMP";
    return WhiteImage(chart).save(path, format) ? QString() : "cannot write " + path;
}

void CopyChartToClipboard(QCustomPlot& chart, bool vector)
{
    auto* data = new QMimeData;
    data->setImageData(WhiteImage(chart));
    if (vector)
        data->setData("image/svg+xml", SvgBytes(chart));
    QApplication::clipboard()->setMimeData(data);
}

bool PrintChart(QCustomPlot& chart, QPrinter& printer)
{
    QCPPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    // One page, the chart's proportions kept.
    const double scale = std::min(page.width() / chart.width(), page.height() / chart.height());
    painter.scale(scale, scale);
    chart.toPainter(&painter, chart.width(), chart.height());
    return painter.end();
}

} // namespace tesmar
