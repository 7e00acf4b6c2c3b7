#include "WindowTour.h"

#include "app/TfmMain.h"
#include "app/decoders/DecoderWindow.h"
#include "app/decoders/TfmLAN_UART.h"
#include "app/files/TfmRemark.h"
#include "app/filter/TfmFiltr.h"
#include "app/language/LanguageWindows.h"
#include "app/logic/TfmLANSetup.h"
#include "app/options/TfmOptions.h"
#include "app/pages/logic/LanPage.h"
#include "app/pages/osc/OscPage.h"
#include "app/pages/recorder/RecPage.h"
#include "app/pages/spectrum/FftPage.h"
#include "app/terminal/TfmTerminal.h"
#include "recorder/RecorderRecord.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QTabWidget>
#include <QToolButton>

namespace tesmar {
namespace {

// Lets pending layouts and resizes take effect.
void Settle()
{
    for (int i = 0; i < 3; ++i) {
        QApplication::sendPostedEvents();
        QApplication::processEvents();
    }
}

void ShowPage(TfmMain& main, int index, const QString& name, const std::function<void(const QString&, QWidget&)>& visit)
{
    main.pages()->setCurrentIndex(index);
    Settle();
    visit(name, main);
}

// A mode button of the logic analyser pressed for one view and released after it.
void ShowLogicMode(TfmMain& main, QToolButton* button, const QString& name,
               const std::function<void(const QString&, QWidget&)>& visit)
{
    button->click();
    Settle();
    visit(name, main);
    button->click();
    Settle();
}

// What a tool window needs before it shows what it shows in use.
void Prepare(TfmMain& main, const QString& name, QWidget& window)
{
    if (name == "fmFiltr")
        main.fmFiltr->OpenDesigner(0, main.fftPage()->chboxFFTFiltrationOnCh1, FilterOwnerPage::Spectrum);
    else if (name == "fmRemark")
        main.fmRemark->showForPage(main.pages()->currentIndex());
    else if (name == "fmTerminal")
        main.fmTerminal->showPage("I2C");
    else if (name == "fmLANSetup")
        main.lanPage()->fmLANSetup->setChannel("A0", Qt::red);
    if (auto* decoder = qobject_cast<DecoderWindow*>(&window))
        decoder->showFitted(); // sized to its table, as its menu item opens it
    window.show();
}

void ShowTool(QWidget& window, const TourSize& size)
{
    Settle();
    if (size.toolsAtMinimum)
        window.resize(1, 1); // held at the minimum the window allows
    else
        window.resize(window.size().boundedTo(size.screen.size())); // as it opens, within the screen
    Settle();
}

} // namespace

bool WaitUntil(const std::function<bool()>& done, int milliseconds)
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

bool MeasureOnEveryPage(TfmMain& main)
{
    bool ok = true;
    OscPage& osc = *main.oscPage();
    main.pages()->setCurrentIndex(0);
    if (!osc.sbOscOnCh2->isChecked())
        osc.sbOscOnCh2->click();
    osc.sbOscRunSingle->click();
    ok &= WaitUntil([&] { return osc.sbOscRunSingle->text() != "Сброс"; });

    FftPage& fft = *main.fftPage();
    main.pages()->setCurrentIndex(1);
    if (!fft.spbtFFTCh1dB->isChecked())
        fft.spbtFFTCh1dB->click();
    fft.sbFFTRunSingle->click();
    ok &= WaitUntil([&] { return fft.sbFFTRunSingle->text() != "Сброс"; });

    RecPage& rec = *main.recPage();
    main.pages()->setCurrentIndex(2);
    rec.sbRecRun->click();
    ok &= WaitUntil([&] { return rec.record() && rec.record()->count() > 3000; });
    rec.sbRecRun->click();
    ok &= WaitUntil([&] { return !rec.running(); });

    LanPage& lan = *main.lanPage();
    main.pages()->setCurrentIndex(3);
    lan.sbLANRun->click();
    ok &= WaitUntil([&] { return lan.sbLANRun->text() != "Сброс"; });
    if (TfmLAN_UART* uart = main.decoderWindows.fmLAN_UART) {
        uart->spbtCalcBaudClick();
        uart->spbtDeCodeClick();
    }
    return ok;
}

void TourWindows(TfmMain& main, const TourSize& size, const std::function<void(const QString&, QWidget&)>& visit)
{
    main.show();
    main.resize(size.main);
    Settle();
    ShowPage(main, 0, "oscilloscope", visit);
    ShowPage(main, 1, "spectrum", visit);
    ShowPage(main, 2, "recorder", visit);
    ShowPage(main, 3, "logic", visit);
    LanPage& lan = *main.lanPage();
    ShowLogicMode(main, lan.sbLANModeBusA, "logic-16", visit);
    ShowLogicMode(main, lan.sbLANExtSampling, "logic-external", visit);

    for (const LanguageWindow& tool : FindLanguageWindows(&main)) {
        if (tool.window == &main)
            continue;
        QWidget& window = *tool.window;
        Prepare(main, tool.name, window);
        ShowTool(window, size);
        // Each page of a window with pages is a view of its own.
        QTabWidget* tabs = window.findChild<QTabWidget*>();
        if (tabs && tabs->window() == &window) {
            for (int i = 0; i < tabs->count(); ++i) {
                tabs->setCurrentIndex(i);
                Settle();
                const QString page = tabs->widget(i)->objectName();
                visit(tool.name + "-" + (page.isEmpty() ? QString::number(i) : page), window);
            }
        } else {
            visit(tool.name, window);
        }
        window.hide();
        Settle();
    }
}

} // namespace tesmar
