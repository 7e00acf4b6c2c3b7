#include "PlotCommand.h"

#include "app/TfmMain.h"
#include "app/UserMessages.h"
#include "app/export/ChartExport.h"
#include "app/files/DataFileActions.h"
#include "app/pages/MeasurementPage.h"
#include "cli/CliText.h"
#include "formats/DataFile.h"
#include "formats/DataFileLoad.h"
#include "sim/SimClock.h"
#include "sim/VirtualInstrument.h"

#include <QApplication>
#include <QTabWidget>
#include <QTemporaryDir>
#include <qcustomplot.h>

#include <cstdlib>
#include <variant>

namespace tesmar {

namespace {

const char* const kPlotUsage =
    "usage: tesmar-cli plot FILE.dat --out PICTURE [--size WxH]\n"
    "  draws the chart of the page that saved FILE.dat, as the program shows it after Open\n"
    "  --out PICTURE   .svg or .pdf (vector), .png or .bmp (bitmap), by extension\n"
    "  --size WxH      size of the program's window the chart is laid out in, 640x480 … 4000x4000\n"
    "                  (default 1200x800)\n";

// The window's messages go to standard error; the first error decides the exit status.
class StderrMessages final : public UserMessages {
public:
    explicit StderrMessages(std::ostream& err) : err_(err) {}
    void error(const QString& text) override { say(text), failed = true; }
    void warning(const QString& text) override { say(text); }
    void information(const QString& text) override { say(text); }
    bool question(const QString&) override { return false; }
    SaveAnswer askToSave(const QString&) override { return SaveAnswer::Discard; }
    bool failed = false;

private:
    void say(const QString& text)
    {
        err_ << "tesmar-cli plot: " << TerminalText(text.toStdString()) << '\n';
    }
    std::ostream& err_;
};

bool PictureName(const std::string& path)
{
    for (const char* extension : {".svg", ".pdf", ".png", ".bmp"})
        if (EndsWithNoCase(path, extension))
            return true;
    return false;
}

} // namespace

int RunPlotCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    std::string input, output;
    int width = 1200, height = 800;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (word == "--help") {
            out << kPlotUsage;
            return 0;
        }
        if (word == "--out" || word == "--size") {
            if (i + 1 >= args.size()) {
                err << "tesmar-cli plot: " << word << " needs a value\n" << kPlotUsage;
                return 64;
            }
            const std::string& value = args[++i];
            if (word == "--out") {
                output = value;
                continue;
            }
            char rest = 0;
            if (std::sscanf(value.c_str(), "%dx%d%c", &width, &height, &rest) != 2 || width < 640 || height < 480 ||
                width > 4000 || height > 4000) {
                err << "tesmar-cli plot: --size: '" << TerminalText(value) << "' is not WxH within 640x480 … 4000x4000\n";
                return 64;
            }
            continue;
        }
        if (word.rfind("--", 0) == 0 || !input.empty()) {
            err << "tesmar-cli plot: unexpected '" << TerminalText(word) << "'\n" << kPlotUsage;
            return 64;
        }
        input = word;
    }
    if (input.empty() || output.empty()) {
        err << "tesmar-cli plot: a data file and --out PICTURE are needed\n" << kPlotUsage;
        return 64;
    }
    if (!PictureName(output)) {
        err << "tesmar-cli plot: --out: '" << TerminalText(output) << "' does not end in .svg, .pdf, .png or .bmp\n";
        return 64;
    }
    // The file is checked before any window is made: a refusal costs nothing.
    const auto bytes = ReadFileBytes(input);
    if (const auto* refusal = std::get_if<std::string>(&bytes)) {
        err << "tesmar-cli plot: " << TerminalText(*refusal) << '\n';
        return 1;
    }
    const auto read = ReadDataFile(std::get<std::vector<std::uint8_t>>(bytes));
    if (const auto* problem = std::get_if<DataFileReadError>(&read)) {
        err << "tesmar-cli plot: " << TerminalText(input + ": " + DataFileProblemText(*problem)) << '\n';
        return 1;
    }

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "tesmar-cli";
    static char* argv[] = {name, nullptr};
    QApplication application(argc, argv);

    // The window on an instrument that is never taken up, with settings of its own that are
    // thrown away: the user's settings file is neither read nor written.
    QTemporaryDir settings;
    SimClock clock(1.0);
    VirtualInstrument instrument(clock);
    StderrMessages messages(err);
    TfmMain window(MainWindowEnvironment{instrument, messages, settings.path().toStdString() + "/", {}, {}, {}, {}, {}});
    window.resize(width, height);
    window.show();
    QApplication::processEvents();
    if (!window.dataFileActions->openData(QString::fromStdString(input)).isEmpty())
        return 1;
    QApplication::processEvents();
    auto* chart = qobject_cast<QCustomPlot*>(window.page(window.pages()->currentIndex())->chart());
    if (!chart) {
        err << "tesmar-cli plot: the page has no chart\n";
        return 1;
    }
    chart->replot();
    const QString path = QString::fromStdString(output);
    const bool vector = EndsWithNoCase(output, ".svg") || EndsWithNoCase(output, ".pdf");
    const QString problem = vector ? SaveChartVector(*chart, path) : SaveChartBitmap(*chart, path);
    if (!problem.isEmpty()) {
        err << "tesmar-cli plot: " << TerminalText(problem.toStdString()) << '\n';
        return 74;
    }
    return messages.failed ? 1 : 0;
}

} // namespace tesmar
