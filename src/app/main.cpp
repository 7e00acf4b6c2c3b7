// Program entry: splash, the main window on the instrument or the virtual instrument, message loop.

#include "CommandLine.h"
#include "SettingsLocation.h"
#include "SplashWindow.h"
#include "TfmMain.h"
#include "UserMessages.h"
#include "sim/AnalogEngine.h"
#include "sim/LogicEngine.h"
#include "sim/SceneSettings.h"
#include "sim/SimClock.h"
#include "sim/VirtualInstrument.h"
#include "usb/LibUsbTransport.h"

#include <QApplication>

#include <cstdio>
#include <memory>

int main(int argc, char* argv[])
{
    using namespace tesmar;
    QApplication app(argc, argv);

    auto* splash = new SplashWindow;
    splash->show();
    splash->repaint();
    QApplication::processEvents();

    QApplication::setApplicationName(TfmMain::kApplicationTitle);
    std::vector<std::string> arguments;
    for (const QString& arg : QApplication::arguments().mid(1))
        arguments.push_back(arg.toStdString());
    const CommandLine commandLine = CommandLine::Parse(arguments);
    const std::string settingsFolder = SettingsFolder();

    SimClock clock;
    std::unique_ptr<UsbTransport> transport;
    if (commandLine.simulate) {
        auto instrument = std::make_unique<VirtualInstrument>(clock, settingsFolder + "virtual-instrument.cal");
        std::string problems;
        InstallAnalogEngine(*instrument, SceneFromEnvironment(problems));
        InstallLogicEngine(*instrument);
        std::fputs(problems.c_str(), stderr);
        transport = std::move(instrument);
    } else {
        transport = std::make_unique<LibUsbTransport>();
    }

    MessageBoxes messages;
    TfmMain window(MainWindowEnvironment{*transport, messages, settingsFolder, commandLine, {},
                                         [&splash] {
                                             delete splash;
                                             splash = nullptr;
                                         }});
    messages.setParent(&window);
    splash->setProgress(30);
    splash->setProgress(50);
    splash->setProgress(70);
    splash->setProgress(90);
    window.show();
    const int result = app.exec();
    delete splash;
    return result;
}
