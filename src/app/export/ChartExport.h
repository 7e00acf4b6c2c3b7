#pragma once
// The active chart to the outside world: vector pictures (SVG, and PDF), bitmaps (BMP, PNG) on a
// white background, the clipboard in both forms, and printing scaled onto one page.

#include <QString>

class QCustomPlot;
class QPrinter;

namespace tesmar {

// Each returns an empty string on success, else what went wrong.
QString SaveChartVector(QCustomPlot& chart, const QString& path); // by extension: .pdf, else SVG
QString SaveChartBitmap(QCustomPlot& chart, const QString& path); // by extension: .png, else BMP
void CopyChartToClipboard(QCustomPlot& chart, bool vector);
// False when the printer cannot be drawn on (it does not exist, or its file cannot be made).
bool PrintChart(QCustomPlot& chart, QPrinter& printer);

} // namespace tesmar
