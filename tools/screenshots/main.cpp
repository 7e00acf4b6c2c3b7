// Pictures of the running program for the user manual: each page after a measurement on the
// virtual instrument, grabbed from the window. Run by scripts/make-screenshots.sh.

#include "app/TfmMain.h"
#include "app/UserMessages.h"
#include "app/decoders/DecoderWindows.h"
#include "app/decoders/TfmLAN_UART.h"
#include "app/pages/spectrum/FftPage.h"
#include "app/pages/logic/LanPage.h"
#include "app/pages/osc/OscPage.h"
#include "app/pages/recorder/RecPage.h"
#include "app/files/TfmRemark.h"
#include "recorder/RecorderRecord.h"
#include "sim/AnalogEngine.h"
#include "sim/LogicEngine.h"
#include "sim/SimClock.h"
#include "sim/VirtualInstrument.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>

#include <cstdio>
#include <functional>

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

// Runs the event loop until `done` or the time is up.
bool WaitFor(const std::function<bool()>& done, int milliseconds = 15000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > milliseconds)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

bool Save(QWidget& widget, const QString& folder, const char* name)
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
    window.resize(1100, 720);
    window.show();
    window.FormShow();

    bool ok = true;
    OscPage& osc = *window.oscPage();
    window.pages()->setCurrentIndex(0);
    osc.sbOscOnCh2->click();
    osc.sbOscRunSingle->click();
    ok &= WaitFor([&] { return osc.sbOscRunSingle->text() != "Сброс"; });
    ok &= Save(window, folder, "oscilloscope");

    FftPage& fft = *window.fftPage();
    window.pages()->setCurrentIndex(1);
    fft.spbtFFTCh1dB->click();
    fft.sbFFTRunSingle->click();
    ok &= WaitFor([&] { return fft.sbFFTRunSingle->text() != "Сброс"; });
    ok &= Save(window, folder, "spectrum");

    RecPage& rec = *window.recPage();
    window.pages()->setCurrentIndex(2);
    rec.sbRecRun->click();
    ok &= WaitFor([&] { return rec.record() && rec.record()->count() > 3000; });
    rec.sbRecRun->click();
    ok &= WaitFor([&] { return !rec.running(); });
    ok &= Save(window, folder, "recorder");

    LanPage& lan = *window.lanPage();
    window.pages()->setCurrentIndex(3);
    lan.sbLANRun->click();
    ok &= WaitFor([&] { return lan.sbLANRun->text() != "Сброс"; });
    ok &= Save(window, folder, "logic");

    if (TfmLAN_UART* uart = window.decoderWindows.fmLAN_UART) {
        uart->show();
        uart->spbtCalcBaudClick();
        uart->spbtDeCodeClick();
        ok &= Save(*uart, folder, "uart");
        uart->hide();
    }
    window.fmRemark->showForPage(3);
    window.fmRemark->mmLAN->setPlainText("Bus A: the demonstration traffic of the virtual instrument.");
    ok &= Save(*window.fmRemark, folder, "remark");

    window.close();
    if (!ok)
        std::fputs("tesmar-screenshots: a measurement did not finish\n", stderr);
    return ok ? 0 : 1;
}
