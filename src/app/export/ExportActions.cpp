#include "ExportActions.h"

#include "ChartExport.h"
#include "app/FileDialogs.h"
#include "app/MainMenu.h"
#include "app/UserMessages.h"
#include "text/MessageFormat.h"
#include "text/MessageTable.h"
#include "formats/PcmFile.h"

#include <qcustomplot.h>

#include <QAction>
#include <QFile>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace tesmar {

namespace {
const FileDialogKind& kVector = FileDialog("sdSaveFileEMF");
const FileDialogKind& kBitmap = FileDialog("sdSaveFileBMP");
const FileDialogKind& kPcm = FileDialog("sdSaveFilePCM");

} // namespace

ExportActions::ExportActions(MainMenu& menu, DialogFolders& folders, const MessageTable& table, UserMessages& messages,
                             ChartSource chart, TraceSource traces, QWidget* window)
    : QObject(window), folders_(folders), table_(table), messages_(messages), chart_(std::move(chart)),
      traces_(std::move(traces)), window_(window)
{
    connect(menu.miFileSaveEMF, &QAction::triggered, this, &ExportActions::miFileSaveEMFClick);
    connect(menu.miFileSaveBMP, &QAction::triggered, this, &ExportActions::miFileSaveBMPClick);
    connect(menu.miFileSavePCM, &QAction::triggered, this, &ExportActions::miFileSavePCMClick);
    connect(menu.miFilePreView, &QAction::triggered, this, &ExportActions::miFilePreViewClick);
    connect(menu.miFilePrint, &QAction::triggered, this, &ExportActions::miFilePrintClick);
    connect(menu.miEditCopyEMF, &QAction::triggered, this, &ExportActions::miEditCopyEMFClick);
    connect(menu.miEditCopyBMP, &QAction::triggered, this, &ExportActions::miEditCopyBMPClick);
}

void ExportActions::report(const QString& problem)
{
    if (!problem.isEmpty())
        messages_.error(problem);
}

QString ExportActions::saveVector(const QString& path)
{
    QCustomPlot* chart = chart_();
    return chart ? SaveChartVector(*chart, path) : QString("no chart on this page");
}

QString ExportActions::saveBitmap(const QString& path)
{
    QCustomPlot* chart = chart_();
    return chart ? SaveChartBitmap(*chart, path) : QString("no chart on this page");
}

QString ExportActions::savePcm(const QString& path)
{
    const auto traces = traces_ ? traces_() : std::nullopt;
    if (!traces || (traces->first.empty() && traces->second.empty()))
        return QString::fromStdString(table_.text(Msg::strNoDataToSave));
    const std::vector<std::uint8_t> bytes = PcmBytes(traces->first, traces->second);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size())) !=
            static_cast<qint64>(bytes.size()) ||
        !file.flush())
        return "cannot write " + path + ": " + file.errorString();
    return {};
}

void ExportActions::miFileSaveEMFClick()
{
    if (!chart_())
        return;
    if (const auto path = AskSavePath(window_, folders_, kVector, messages_, table_))
        report(saveVector(*path));
}

void ExportActions::miFileSaveBMPClick()
{
    if (!chart_())
        return;
    if (const auto path = AskSavePath(window_, folders_, kBitmap, messages_, table_))
        report(saveBitmap(*path));
}

void ExportActions::miFileSavePCMClick()
{
    const auto traces = traces_ ? traces_() : std::nullopt;
    if (!traces)
        return; // the spectrum and logic pages have no PCM
    if (traces->first.empty() && traces->second.empty()) {
        messages_.error(QString::fromStdString(table_.text(Msg::strNoDataToSave)));
        return;
    }
    if (const auto path = AskSavePath(window_, folders_, kPcm, messages_, table_))
        report(savePcm(*path));
}

void ExportActions::miFilePreViewClick()
{
    QCustomPlot* chart = chart_();
    if (!chart)
        return;
    QPrintPreviewDialog preview(window_);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [chart](QPrinter* printer) { PrintChart(*chart, *printer); });
    preview.exec();
    chart->replot();
}

void ExportActions::miFilePrintClick()
{
    QCustomPlot* chart = chart_();
    if (!chart)
        return;
    QPrinter printer;
    QPrintDialog dialog(&printer, window_);
    if (dialog.exec() == QDialog::Accepted && !PrintChart(*chart, printer))
        report(QString::fromStdString(FormatMessage(table_.text(Msg::strPrintError), {printer.printerName().toStdString()})));
}

void ExportActions::miEditCopyEMFClick()
{
    if (QCustomPlot* chart = chart_())
        CopyChartToClipboard(*chart, true);
}

void ExportActions::miEditCopyBMPClick()
{
    if (QCustomPlot* chart = chart_())
        CopyChartToClipboard(*chart, false);
}

} // namespace tesmar
