#include "ChartExport.h"

#include "PictureChart.h"

#include <qcustomplot.h>

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QFile>
#include <QMimeData>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrinter>
#include <QSvgGenerator>

namespace tesmar {

namespace {

// The chart in its picture form for as long as it lives.
class PictureScope {
public:
    explicit PictureScope(QCustomPlot& chart) : chart_(dynamic_cast<PictureChart*>(&chart))
    {
        if (chart_)
            chart_->beginPicture();
    }
    ~PictureScope()
    {
        if (chart_)
            chart_->endPicture();
    }
    PictureScope(const PictureScope&) = delete;
    PictureScope& operator=(const PictureScope&) = delete;

private:
    PictureChart* chart_;
};

QImage WhiteImage(QCustomPlot& chart)
{
    const PictureScope picture(chart);
    QImage image(chart.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QCPPainter painter(&image);
    chart.toPainter(&painter, chart.width(), chart.height());
    return image;
}

QByteArray SvgBytes(QCustomPlot& chart)
{
    const PictureScope picture(chart);
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

QByteArray PdfBytes(QCustomPlot& chart)
{
    const PictureScope picture(chart);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    pdf.setCreator(chart.objectName());
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setResolution(96);
    pdf.setPageSize(QPageSize(QSizeF(chart.width(), chart.height()) * 72.0 / 96.0, QPageSize::Point));
    QCPPainter painter(&pdf);
    painter.setMode(QCPPainter::pmVectorized);
    painter.setMode(QCPPainter::pmNoCaching);
    chart.toPainter(&painter, chart.width(), chart.height());
    painter.end();
    return bytes;
}

// The file holds all of `bytes` or the message says why not (a full disk is found here, not
// after the file was closed).
QString WriteWhole(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size() || !file.flush())
        return "cannot write " + path + ": " + file.errorString();
    file.close();
    if (file.error() != QFileDevice::NoError)
        return "cannot write " + path + ": " + file.errorString();
    return {};
}

} // namespace

QString SaveChartVector(QCustomPlot& chart, const QString& path)
{
    return WriteWhole(path, path.endsWith(".pdf", Qt::CaseInsensitive) ? PdfBytes(chart) : SvgBytes(chart));
}

QString SaveChartBitmap(QCustomPlot& chart, const QString& path)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!WhiteImage(chart).save(&buffer, path.endsWith(".png", Qt::CaseInsensitive) ? "PNG" : "BMP"))
        return "cannot write " + path + ": the picture could not be made";
    return WriteWhole(path, bytes);
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
    const PictureScope picture(chart);
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
