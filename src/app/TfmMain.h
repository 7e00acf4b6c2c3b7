#pragma once
// The main window: the four measurement pages, the main menu, the status line, the page lock
// while a measurement runs, the start-up steps of its first showing and the settings written
// when it closes. It owns the program-wide state and hands it to the pages by reference.

#include "CommandLine.h"
#include "DialogFolders.h"
#include "app/options/ChartColours.h"
#include "app/options/OptionVariables.h"
#include "device/Calibration.h"
#include "device/DeviceStartup.h"
#include "device/UsbSession.h"
#include "settings/IniFile.h"
#include "app/decoders/DecoderWindows.h"
#include "text/MessageTable.h"
#include "settings/SystemSettings.h"
#include "filter/FilterResponse.h"
#include "logic/GeneratorData.h"
#include "logic/LogicCapture.h"
#include "osc/OscOptions.h"
#include "osc/acquisition/OscAcquisition.h"

#include <QMainWindow>
#include <QStringList>

#include <array>
#include <functional>

class QCheckBox;
class QLabel;
class QPushButton;
class QTabWidget;
class QWidget;

namespace tesmar {

class MainMenu;
class MeasurementPage;
class OscPage;
class FftPage;
class RecPage;
class LanPage;
class SoundPlayer;
class DataFileActions;
class ExportActions;
class TfmFiltr;
class TfmRemark;
class TfmColor;
class TfmAbout;
class TfmOSC_Buzzer;
class TfmOptions;
class TfmCLBR;
class TfmUpDateSoft;
class TfmInstall;
class TfmTerminal;
class LanguageMenu;
class UserMessages;
struct InstallEnvironment;

struct MainWindowEnvironment {
    UsbTransport& transport;
    UserMessages& messages;
    std::string settingsFolder;            // folder of tesmar.ini and the dialog folders, with '/'
    CommandLine commandLine;
    UsbSession::Sleeper sleeper;           // empty: real time
    std::function<void()> closeSplash;     // frees the splash window (step 36)
    SoundPlayer* soundPlayer = nullptr;    // none: the program's own player
    std::function<void(InstallEnvironment&)> adjustInstall; // tests redirect the installation
    std::function<bool(const QString&)> openDocument = {}; // none: the desktop's viewer
    QStringList manualCandidates = {};                       // none: where the program keeps it
    std::vector<std::string> languageFolders = {}; // none: the program's own language folders
    std::string dataFolder = {};                   // base of the dialogs' folders; none: settingsFolder
    // Starts the program anew with these arguments; none: a detached process of this program.
    std::function<bool(const QStringList&)> startProgram = {};
    // The virtual instrument's wire from the generator's outputs to bus A; none: a real instrument.
    std::function<void(bool on)> wireGeneratorToBusA = {};
};

class TfmMain : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kPageCount = 4;
    static constexpr const char* kApplicationTitle = "Tesmar 2";

    explicit TfmMain(MainWindowEnvironment environment, QWidget* parent = nullptr);
    ~TfmMain() override;

    // Shared state for the pages and dialogs.
    MessageTable& messageTable() { return messages_; }
    UsbSession& session() { return session_; }
    const CalibrationSet& calibration() const { return calibration_; }
    const SystemSettings& systemSettings() const { return system_; }
    DialogFolders& dialogFolders() { return folders_; }
    MainMenu& menu() { return *menu_; }
    QTabWidget* pages() const { return pgcntrMain; }
    MeasurementPage* page(int index) const { return pages_[index]; }
    OscPage* oscPage() const { return oscPage_; }
    FftPage* fftPage() const { return fftPage_; }
    LanPage* lanPage() const { return lanPage_; }
    LogicCapture& logicCapture() { return logicCapture_; }
    GeneratorData& generatorData() { return generatorData_; }
    std::array<FilterResponse, 2>& filterResponses() { return filters_; }
    RecPage* recPage() const { return recPage_; }
    OscOptions& oscOptions() { return options_; }
    OptionVariables& options() { return options_; }
    QWidget* currentChart() const { return currentChart_; }
    bool logicOnly() const { return logicOnly_; }

    // Text for the status line while no hint is shown.
    void setStatusText(const QString& text);
    QString statusLine() const;
    // The status bar's note of the instrument in use.
    QString deviceLine() const;

    // A measurement on `page` starts: the other pages and the file-like menu items are disabled.
    void LockPages(int page);
    void UnlockPages();
    // The logic analyser's own patch-allowed state, restored to its menu item by UnlockPages.
    void setPatchAllowed(bool allowed) { patchAllowed_ = allowed; }

    // The first showing's work; runs once, also when called directly by tests.
    void FormShow();
    // Writes every section of the settings file (the close handling).
    void FormClose();

    QTabWidget* pgcntrMain = nullptr;
    QWidget* pnService = nullptr;
    QPushButton* btGetID = nullptr;
    QPushButton* btMnToBl = nullptr;
    QPushButton* btLedOn = nullptr;
    QPushButton* btLedOff = nullptr;
    QPushButton* btReset = nullptr;
    TfmOptions* fmOptions = nullptr;
    TfmFiltr* fmFiltr = nullptr;
    ExportActions* exportActions = nullptr;
    DataFileActions* dataFileActions = nullptr;
    TfmRemark* fmRemark = nullptr;
    TfmColor* fmColor = nullptr;
    TfmAbout* fmAbout = nullptr;
    TfmOSC_Buzzer* fmOSC_Buzzer = nullptr;
    TfmCLBR* fmClbr = nullptr;
    TfmUpDateSoft* fmUpDateSoft = nullptr;
    DecoderWindows decoderWindows;
    TfmInstall* fmInstall = nullptr;
    TfmTerminal* fmTerminal = nullptr;
    LanguageMenu* languageMenu = nullptr;

public slots:
    void pgcntrMainChange(int index);
    void appevMainHint(const QString& hint);
    void btGetIDClick();
    void btMnToBlClick();
    void btLedOnClick();
    // No instrument: the program starts anew on the virtual instrument (settings are written as
    // at any exit).
    void miServiceVirtualClick();
    void btLedOffClick();
    void btResetClick();
    void miServiceSetupClick();
    void miUpDateClick();
    void miHelpClick();
    void miAboutClick();
    void miServiceSaveSeupClick();
    void miServiceOpenSeupClick();
    // Edit → "Очистить" on the active page, after asking when unsaved work would go with it.
    void miEditClearClick();
    // The work behind the two commands, without their dialogs: an empty string on success, else
    // the message that was shown.
    QString saveSetup(const QString& path);
    QString openSetup(const QString& path);

signals:
    void firstShowingDone();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Closing would lose a recording, an unsaved record or edited generator data: the user saves
    // it, lets it go or stays.
    bool confirmUnsavedRecords();
    bool confirmRecorderDiscard();
    const std::string& dataFolder() const { return env_.dataFolder.empty() ? env_.settingsFolder : env_.dataFolder; }
    QString msg(Msg key) const;
    void guarded(int code, const std::function<void()>& step);
    void createServiceButtons();
    // The pages and service buttons inside the window-wide scroll area.
    QWidget* centralContent() const;
    // The window's least size: the pages' needs, at least 760 x 540, at most the screen.
    void updateLeastSize();
    void readWindowPositions();
    void writeWindowPositions();
    // The sections a setup file shares with the settings file (menu, ch, opt, main, the page
    // index and the colours), read and applied in the order of the start-up steps.
    void readSetupSections(const IniFile& ini);
    void writeSetupSections(IniFile& ini);
    void readMenuStates(const IniFile& ini);
    void writeMenuStates(IniFile& ini);
    void selectStoredPage(const IniFile& ini);
    void applyChartColours(const ChartColours& colours);
    ChartColours chartColoursInForce() const;
    // What the About window says of the instrument in use.
    QString instrumentSummary();
    void takeUpDevice();
    // An instrument came or went (queued from the transport's thread): a new one is taken up as
    // at start, once no measurement runs.
    void deviceChanged();
    void applyTakeUp(const DeviceTakeUp& result, bool atStart);
    void showDeviceState();
    bool requireDevice();
    QString noDeviceText() const;
    void applyLogicOnlyView();
    void showExchangeError(UsbStatus status);
    void showOptions(int page);
    void openFilterDesigner(int channel, QCheckBox* autoOnBox);
    void createServiceWindows();
    void lockForTerminal(bool running);
    char decimalSeparator() const;

    MainWindowEnvironment env_;
    MessageTable messages_;
    SystemSettings system_;
    UsbSession session_;
    CalibrationSet calibration_;
    std::optional<CalibrationRecord> calibrationRecord_; // as last read from the instrument
    OptionVariables options_;
    AcquisitionHistory history_;
    std::array<FilterResponse, 2> filters_;
    LogicCapture logicCapture_;
    GeneratorData generatorData_;
    DialogFolders folders_;
    IniFile settings_;
    bool logicOnlyCheck_ = true;
    bool logicOnly_ = false;
    bool patchAllowed_ = false;
    bool shown_ = false;
    bool settingsWritten_ = false;
    QString statusText_;

    MainMenu* menu_ = nullptr;
    std::array<MeasurementPage*, kPageCount> pages_{};
    OscPage* oscPage_ = nullptr;
    FftPage* fftPage_ = nullptr;
    LanPage* lanPage_ = nullptr;
    RecPage* recPage_ = nullptr;
    QWidget* currentChart_ = nullptr;
    QLabel* statusPanel_ = nullptr;
    QLabel* devicePanel_ = nullptr;   // which instrument is in use
    bool watchingDevice_ = false;     // the start-up take-up is over: an attach is news
    unsigned takenUpAttach_ = 0;      // the session's attach count when last taken up
};

} // namespace tesmar
