#pragma once
// A main window on a fresh settings folder and a virtual instrument with a fast clock, with the
// message boxes recorded instead of shown.

#include "app/TfmMain.h"
#include "app/UserMessages.h"
#include "app/sounds/SoundPlayer.h"
#include "sim/AnalogEngine.h"
#include "sim/LogicEngine.h"
#include "sim/VirtualInstrument.h"

#include <QStringList>
#include <QTemporaryDir>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace tesmar::testing {

struct RecordedMessages final : UserMessages {
    QStringList errors, warnings, informations;
    void error(const QString& text) override { errors << text; }
    void warning(const QString& text) override { warnings << text; }
    void information(const QString& text) override { informations << text; }
    // Questions are recorded and answered as the test says (by default Yes).
    QStringList questions;
    bool questionAnswer = true;
    bool question(const QString& text) override
    {
        questions << text;
        return questionAnswer;
    }
    // Closing a window with unsaved work: the tests say what to answer (by default, let it go).
    QStringList saveQuestions;
    SaveAnswer saveAnswer = SaveAnswer::Discard;
    SaveAnswer askToSave(const QString& text) override
    {
        saveQuestions << text;
        return saveAnswer;
    }
};

// Sounds are recorded, never played: tests run where no audio output exists.
struct RecordedSounds final : SoundPlayer {
    QStringList played; // "tone 300 x2" or the file's path
    void playTone(int frequency, int beeps) override { played << QString("tone %1 x%2").arg(frequency).arg(beeps); }
    void playFile(const QString& path) override { played << path; }
};

struct MainWindowHarness {
    QTemporaryDir folder;
    SimClock clock;
    VirtualInstrument instrument{clock};
    RecordedMessages messages;
    RecordedSounds sounds;
    std::unique_ptr<TfmMain> window;
    std::function<void(InstallEnvironment&)> adjustInstall; // redirects the installation window
    std::function<bool(const QString&)> openDocument = [](const QString&) { return true; }; // no browser
    QStringList manualCandidates;
    std::function<bool(const QStringList&)> startProgram = [](const QStringList&) { return true; }; // no process
    std::function<void(bool)> wireGeneratorToBusA; // with the virtual instrument's signals

    explicit MainWindowHarness(double clockSpeed = 200.0, bool analogSignals = false) : clock(clockSpeed)
    {
        if (analogSignals) {
            InstallAnalogEngine(instrument);
            LogicEngine& logic = InstallLogicEngine(instrument);
            wireGeneratorToBusA = [&logic](bool on) {
                LogicScene scene = LogicScene::Default();
                scene.loopBack = on;
                logic.setScene(std::move(scene));
            };
        }
    }

    std::string settingsFolder() const { return folder.path().toStdString() + "/"; }
    std::string settingsPath() const { return settingsFolder() + "tesmar.ini"; }

    void writeSettings(const std::string& text) const
    {
        std::ofstream out(settingsPath(), std::ios::binary);
        out << text;
    }

    // Creates the window and runs its first showing, as the program does.
    TfmMain& start(const std::vector<std::string>& arguments = {})
    {
        MainWindowEnvironment environment{instrument,    messages,     settingsFolder(),
                                          CommandLine::Parse(arguments),
                                          [this](int ms) { clock.sleepMs(ms); }, {}, &sounds,
                                          adjustInstall, openDocument, manualCandidates};
        environment.startProgram = startProgram;
        environment.wireGeneratorToBusA = wireGeneratorToBusA;
        window = std::make_unique<TfmMain>(std::move(environment));
        window->FormShow();
        return *window;
    }
};

} // namespace tesmar::testing
