// Pictures of the running program for the user manual: each page after a measurement on the
// virtual instrument, grabbed from the window at a laptop's 1366x768. The same walk as the window
// size test then photographs every page and tool window at that size and at the main window's
// minimum into FOLDER/sizes. Run by scripts/make-screenshots.sh.

#include "WindowTour.h"

#include "app/TfmMain.h"
#include "app/UserMessages.h"
#include "app/decoders/DecoderWindows.h"
#include "app/decoders/TfmLAN_UART.h"
#include "app/files/TfmRemark.h"
#include "sim/AnalogEngine.h"
#include "sim/LogicEngine.h"
#include "sim/SimClock.h"
#include "sim/VirtualInstrument.h"

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>

#include <cstdio>

namespace {

class PrintedMessages final : public tesmar::UserMessages {
public:
    void error(const QString& text) override { print("error", text); }
    void warning(const QString& text) override { print("warning", text); }
    void information(const QString& text) override { print("note", text); }
    bool question(const QString&) override { return true; }
    SaveAnswer askToSave(const QString&) override { return SaveAnswer::Discard; }

private:
    static void print(const char* kind, const QString& text)
    {
        std::fprintf(stderr, "tesmar-screenshots: %s: %s\n", kind, text.toLocal8Bit().constData());
    }
};

bool Save(QWidget& widget, const QString& folder, const QString& name)
{
    QApplication::processEvents();
    const QString path = folder + "/" + name + ".png";
    if (!widget.grab().save(path)) {
        std::fprintf(stderr, "tesmar-screenshots: cannot write %s\n", path.toLocal8Bit().constData());
        return false;
    }
    std::printf("%s\n", path.toLocal8Bit().constData());
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    using namespace tesmar;
    if (argc != 2) {
        std::fputs("usage: tesmar-screenshots FOLDER\n", stderr);
        return 64;
    }
    QApplication app(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);

    QTemporaryDir settings; // the user's settings stay out of the pictures
    SimClock clock(20.0);
    VirtualInstrument instrument(clock);
    InstallAnalogEngine(instrument);
    InstallLogicEngine(instrument);
    PrintedMessages messages;
    CommandLine line = CommandLine::Parse({"-SIM"});
    TfmMain window(MainWindowEnvironment{instrument, messages, settings.path().toStdString() + "/", line,
                                         [&clock](int ms) { clock.sleepMs(ms); }});
    const QSize laptop(1366, 768);
    window.resize(laptop);
    window.show();
    window.FormShow();

    bool ok = MeasureOnEveryPage(window);
    window.resize(laptop);
    const char* pages[] = {"oscilloscope", "spectrum", "recorder", "logic"};
    for (int i = 0; i < TfmMain::kPageCount; ++i) {
        window.pages()->setCurrentIndex(i);
        ok &= Save(window, folder, pages[i]);
    }
    if (TfmLAN_UART* uart = window.decoderWindows.fmLAN_UART) {
        uart->showFitted();
        ok &= Save(*uart, folder, "uart");
        uart->hide();
    }
    window.fmRemark->showForPage(3);
    window.fmRemark->mmLAN->setPlainText("Bus A: the demonstration traffic of the virtual instrument.");
    ok &= Save(*window.fmRemark, folder, "remark");
    window.fmRemark->hide();

    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const TourSize sizes[] = {{laptop, false, QRect(QPoint(), laptop)}, {window.minimumSize(), true, screen}};
    const char* sizeNames[] = {"1366x768", "minimum"};
    for (int s = 0; s < 2; ++s) {
        const QString sizeFolder = folder + "/sizes/" + sizeNames[s];
        QDir().mkpath(sizeFolder);
        TourWindows(window, sizes[s], [&](const QString& name, QWidget& shown) { ok &= Save(shown, sizeFolder, name); });
    }

    window.close();
    if (!ok)
        std::fputs("tesmar-screenshots: a measurement did not finish or a picture was not written\n", stderr);
    return ok ? 0 : 1;
}
