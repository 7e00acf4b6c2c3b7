#include "PlotCommand.h"

#include "app/TfmMain.h"
#include "app/UserMessages.h"
#include "app/export/ChartExport.h"
#include "app/files/DataFileActions.h"
#include "app/pages/MeasurementPage.h"
#include "cli/CliOptions.h"
#include "cli/CliText.h"
#include "cli/ExitStatus.h"
#include "cli/OutputFile.h"
#include "cli/plot/PlotView.h"
#include "formats/DataFile.h"
#include "formats/DataFileLoad.h"
#include "formats/DataFileSource.h"
#include "sim/SimClock.h"
#include "sim/VirtualInstrument.h"

#include <QApplication>
#include <QTabWidget>
#include <QTemporaryDir>
#include <qcustomplot.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <variant>

namespace tesmar {

namespace {

const char* const kPlotUsage =
    "usage: tesmar-cli plot FILE.dat --out PICTURE [--size WxH] [--from T] [--to T]\n"
    "  draws the chart of the page that saved FILE.dat, as the program shows it after Open:\n"
    "  a recorder record or a logic capture whole (a capture with only the lines that hold\n"
    "  data, under their names)\n"
    "  --out PICTURE   .svg or .pdf (vector), .png or .bmp (bitmap), by extension; written\n"
    "                  whole or not at all (an older picture of that name stays as it was)\n"
    "  --size WxH      size of the picture in pixels, 640x480 … 4000x4000 (default 1200x800)\n"
    "  --from T        recorder and logic analyser files: the picture starts at time T\n"
    "  --to T          … and ends at time T; seconds or with a unit (10ms, 2.5s, -50us; a\n"
    "                  logic capture's time 0 is its trigger point), -86400s … 86400s\n";

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

constexpr NumberRange kPlotTimeRange{-86'400, 86'400, false, " s"};

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
    if (std::find(args.begin(), args.end(), "--help") != args.end()) {
        out << kPlotUsage << kExitStatusHelp;
        return kExitComplete;
    }
    // FILE.dat is the one word that is not an option or its value.
    std::string input;
    std::vector<std::string> options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        const bool valued = word == "--out" || word == "--size" || word == "--from" || word == "--to";
        if (args[i].rfind("--", 0) == 0 || !input.empty()) {
            options.push_back(args[i]);
            if (valued && i + 1 < args.size())
                options.push_back(args[++i]);
            continue;
        }
        input = args[i];
    }
    CliOptions parsed("plot", kPlotUsage);
    if (!parsed.parse(options, 0, {"--out", "--size", "--from", "--to"}, {}, err))
        return kExitUsage;
    const std::string output = parsed.get("--out", "");
    if (input.empty() || output.empty()) {
        err << "tesmar-cli plot: a data file and --out PICTURE are needed\n" << kPlotUsage;
        return kExitUsage;
    }
    if (!PictureName(output)) {
        err << "tesmar-cli plot: --out: '" << TerminalText(output) << "' does not end in .svg, .pdf, .png or .bmp\n";
        return kExitUsage;
    }
    int width = 1200, height = 800;
    if (parsed.has("--size")) {
        const std::string value = parsed.get("--size", "");
        char rest = 0;
        if (std::sscanf(value.c_str(), "%dx%d%c", &width, &height, &rest) != 2 || width < 640 || height < 480 ||
            width > 4000 || height > 4000) {
            err << "tesmar-cli plot: --size: '" << TerminalText(value) << "' is not WxH within 640x480 … 4000x4000\n";
            return kExitUsage;
        }
    }
    PlotWindow window;
    std::string problem;
    for (const char* key : {"--from", "--to"}) {
        if (!parsed.has(key))
            continue;
        const auto seconds = CheckedNumber(key, parsed.get(key, ""), kPlotTimeRange, problem, true);
        if (!seconds) {
            err << "tesmar-cli plot: " << problem << '\n';
            return kExitUsage;
        }
        (key == std::string("--from") ? window.from : window.to) = seconds;
    }
    if (window.from && window.to && !(*window.to > *window.from)) {
        err << "tesmar-cli plot: --to must be later than --from\n";
        return kExitUsage;
    }
    // The file is checked before any window is made: a refusal costs nothing.
    // Only the chunk headers are read here; the page reads the values once, straight into its record.
    std::string unreadable;
    const auto source = FileDataSource::Open(input, unreadable);
    if (!source) {
        err << "tesmar-cli plot: " << TerminalText(unreadable) << '\n';
        return kExitFailure;
    }
    const auto scanned = ScanDataFile(*source);
    if (const auto* problemRead = std::get_if<DataFileReadError>(&scanned)) {
        err << "tesmar-cli plot: " << TerminalText(input + ": " + DataFileProblemText(*problemRead)) << '\n';
        return kExitFailure;
    }
    const DataFile& file = std::get<DataFileScan>(scanned).head;
    const bool timed = file.page() == DataFilePage::Recorder || file.page() == DataFilePage::Logic;
    if ((window.from || window.to) && !timed) {
        err << "tesmar-cli plot: --from and --to are for recorder and logic analyser files\n";
        return kExitUsage;
    }
    // The picture is taken before the drawing: a folder that cannot take it is known at once.
    OutputFile picture;
    if (const int status = OpenOutputs("plot", {{&picture, output}}, err); status != kExitComplete)
        return status;

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
    TfmMain main(MainWindowEnvironment{instrument, messages, settings.path().toStdString() + "/", {}, {}, {}, {}, {}});
    main.resize(width, height);
    main.show();
    QApplication::processEvents();
    if (!main.dataFileActions->openData(QString::fromStdString(input)).isEmpty())
        return kExitFailure;
    QApplication::processEvents();
    auto* chart = qobject_cast<QCustomPlot*>(main.page(main.pages()->currentIndex())->chart());
    if (!chart) {
        err << "tesmar-cli plot: the page has no chart\n";
        return kExitFailure;
    }
    // The window grows or shrinks by what lies around the chart, so that the chart itself is
    // the picture's size.
    main.resize(main.width() + width - chart->width(), main.height() + height - chart->height());
    QApplication::processEvents();
    if (chart->width() != width || chart->height() != height) {
        err << "tesmar-cli plot: the chart cannot be laid out at " << width << 'x' << height << '\n';
        return kExitInternal;
    }
    if (const std::string shown = ShowForPicture(main, file, window); !shown.empty()) {
        err << "tesmar-cli plot: " << TerminalText(shown) << '\n';
        return kExitFailure;
    }
    const bool vector = EndsWithNoCase(output, ".svg") || EndsWithNoCase(output, ".pdf");
    const int status = CommitOutput(
        "plot", picture,
        [&](const std::string& path) {
            const QString target = QString::fromStdString(path);
            return (vector ? SaveChartVector(*chart, target) : SaveChartBitmap(*chart, target)).toStdString();
        },
        err, false);
    if (status != kExitComplete)
        return status;
    return messages.failed ? kExitFailure : kExitComplete;
}

} // namespace tesmar
