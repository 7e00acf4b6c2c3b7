// Program entry: splash, the main window on the instrument or the virtual instrument, message loop.

#include "CommandLine.h"
#include "ProgramHelp.h"
#include "SettingsLocation.h"
#include "SplashWindow.h"
#include "TfmMain.h"
#include "UserMessages.h"
#include "device/RecordingTransport.h"
#include "device/UsbSessionFiles.h"
#include "sim/AnalogEngine.h"
#include "sim/LogicEngine.h"
#include "sim/SceneSettings.h"
#include "sim/SimClock.h"
#include "sim/VirtualInstrument.h"
#include "usb/LibUsbTransport.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <new>

namespace {

// What a handler lets escape reaches the application's central handler: an error box, and the
// window stays as it was.
class TesmarApplication final : public QApplication {
public:
    using QApplication::QApplication;
    void setMessages(tesmar::UserMessages* messages) { messages_ = messages; }

    bool notify(QObject* receiver, QEvent* event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::bad_alloc&) {
            report(QString::fromUtf8("Недостаточно памяти."));
        } catch (const std::exception& error) {
            report(QString::fromUtf8(error.what()));
        } catch (...) {
            report(QString::fromUtf8("Внутренняя ошибка."));
        }
        return false;
    }

private:
    void report(const QString& text)
    {
        std::fprintf(stderr, "tesmar: %s\n", text.toLocal8Bit().constData());
        if (messages_ && !reporting_) {
            reporting_ = true; // an error inside the box itself is not shown again
            messages_->error(text);
            reporting_ = false;
        }
    }

    tesmar::UserMessages* messages_ = nullptr;
    bool reporting_ = false;
};

} // namespace

int main(int argc, char* argv[])
try {
    using namespace tesmar;
    // Answered before Qt starts: without a display its platform plugin would abort.
    const std::vector<std::string> rawArguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    if (const auto text = HelpOrVersionText(rawArguments, TESMAR_VERSION)) {
        std::fputs(text->c_str(), stdout);
        return 0;
    }
    if (!DisplayAvailable([](const char* name) { return std::getenv(name); })) {
        std::fputs(kNoDisplayMessage, stderr);
        return 1;
    }
    TesmarApplication app(argc, argv);

    auto* splash = new SplashWindow;
    splash->show();
    splash->repaint();
    QApplication::processEvents();

    QApplication::setApplicationName(TfmMain::kApplicationTitle);
    std::vector<std::string> arguments;
    for (const QString& arg : QApplication::arguments().mid(1))
        arguments.push_back(arg.toStdString());
    CommandLine commandLine = CommandLine::Parse(arguments);
    commandLine.readEnvironment([](const char* name) { return std::getenv(name); });
    const ProgramFolders folders = FindProgramFolders();
    const std::string& settingsFolder = folders.settings;

    SimClock clock;
    std::unique_ptr<UsbTransport> transport;
    std::function<void(bool)> wireGeneratorToBusA;
    UsbSessionFiles usbFiles;
    if (!commandLine.replayUsb.empty()) {
        const std::string problem = usbFiles.openReplay(commandLine.replayUsb, [](const std::string& difference) {
            std::fprintf(stderr, "tesmar: the program left the replayed USB record at %s\n", difference.c_str());
        });
        if (!problem.empty()) {
            std::fprintf(stderr, "tesmar: %s\n", problem.c_str());
            return 1;
        }
    } else if (commandLine.simulate) {
        auto instrument = std::make_unique<VirtualInstrument>(clock, settingsFolder + "virtual-instrument.cal");
        instrument->keepFirmwareIn(settingsFolder + "virtual-instrument.fw");
        std::string problems;
        InstallAnalogEngine(*instrument, SceneFromEnvironment(problems));
        LogicEngine& logic = InstallLogicEngine(*instrument);
        wireGeneratorToBusA = [&logic](bool on) {
            LogicScene scene = LogicScene::Default();
            scene.loopBack = on;
            logic.setScene(std::move(scene));
        };
        instrument->armFaults(FaultsFromEnvironment(problems));
        std::fputs(problems.c_str(), stderr);
        transport = std::move(instrument);
    } else {
        transport = std::make_unique<LibUsbTransport>();
    }
    UsbTransport* used = usbFiles.replay() ? usbFiles.replay() : transport.get();
    std::unique_ptr<RecordingTransport> recording;
    if (!commandLine.recordUsb.empty()) {
        const std::string path = commandLine.recordUsb;
        const std::string problem = usbFiles.openRecord(path, [path](const std::string& failure) {
            std::fprintf(stderr, "tesmar: %s: %s\n", path.c_str(), failure.c_str());
        });
        if (!problem.empty()) {
            std::fprintf(stderr, "tesmar: %s\n", problem.c_str());
            return 1;
        }
        recording = std::make_unique<RecordingTransport>(*used, *usbFiles.writer());
        used = recording.get();
    }

    MessageBoxes messages;
    MainWindowEnvironment environment{*used, messages, settingsFolder, commandLine, {}, [&splash] {
                                          delete splash;
                                          splash = nullptr;
                                      }};
    environment.dataFolder = folders.data;
    environment.wireGeneratorToBusA = wireGeneratorToBusA;
    TfmMain window(std::move(environment));
    messages.setParent(&window);
    app.setMessages(&messages);
    splash->setProgress(30);
    splash->setProgress(50);
    splash->setProgress(70);
    splash->setProgress(90);
    window.show();
    const int result = app.exec();
    app.setMessages(nullptr);
    delete splash;
    return result;
} catch (const std::exception& error) {
    std::fprintf(stderr, "tesmar: %s\n", error.what());
    return 70;
} catch (...) {
    std::fputs("tesmar: internal error\n", stderr);
    return 70;
}
