#include "TfmMain.h"

#include "app/ScreenFit.h"
#include "app/language/LanguageWindows.h"

#include "MainMenu.h"
#include "UserMessages.h"
#include "device/Commands.h"
#include "device/DeviceStartup.h"
#include "text/MessageFormat.h"
#include "app/options/TfmOptions.h"
#include "FileDialogs.h"
#include "export/ExportActions.h"
#include "files/DataFileActions.h"
#include "files/TfmRemark.h"
#include "WindowPositions.h"
#include "options/TfmColor.h"
#include "help/TfmAbout.h"
#include "recorder/RecorderRecord.h"

#include <qcustomplot.h>
#include "filter/TfmFiltr.h"
#include "sounds/SoundPlayer.h"
#include "sounds/TfmOSC_Buzzer.h"
#include <QCheckBox>
#include "app/pages/spectrum/FftPage.h"
#include "app/pages/logic/LanPage.h"
#include "app/pages/osc/OscPage.h"
#include "app/pages/PageContext.h"
#include "app/pages/recorder/RecPage.h"
#include "service/TfmCLBR.h"
#include "service/TfmInstall.h"
#include "service/TfmUpDateSoft.h"
#include "terminal/TfmTerminal.h"
#include "language/LanguageMenu.h"

#include <QAction>
#include <QCoreApplication>
#include <QProcess>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLocale>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>

#include <cstdio>

namespace tesmar {

namespace {

const char* const kPageCaptions[TfmMain::kPageCount] = {"Осциллограф", "Спектр анализатор", "Самописец",
                                                        "Логический анализатор"};

QString FromUtf8(const std::string& text)
{
    return QString::fromStdString(text);
}

} // namespace

TfmMain::TfmMain(MainWindowEnvironment environment, QWidget* parent)
    : QMainWindow(parent),
      env_(std::move(environment)),
      session_(env_.transport),
      folders_(dataFolder()),
      settings_(env_.settingsFolder + "tesmar.ini")
{
    setObjectName("fmMain");
    setWindowTitle(kApplicationTitle);
    if (env_.sleeper)
        session_.setSleeper(env_.sleeper);
    // A failed transfer may happen on a reader thread; the box belongs to this thread.
    session_.setExchangeErrorReporter([this](UsbStatus status) {
        QMetaObject::invokeMethod(this, [this, status] { showExchangeError(status); }, Qt::QueuedConnection);
    });
    session_.setDeviceListener(
        [this] { QMetaObject::invokeMethod(this, &TfmMain::deviceChanged, Qt::QueuedConnection); });

    menu_ = new MainMenu(menuBar(), this);
    connect(menu_->miFileQuit, &QAction::triggered, this, &QWidget::close);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    pgcntrMain = new QTabWidget(central);
    pgcntrMain->setObjectName("pgcntrMain");
    const PageContext context{session_,
                              messages_,
                              calibration_,
                              system_,
                              options_,
                              history_,
                              *menu_,
                              [this](int page) { LockPages(page); },
                              [this] { UnlockPages(); },
                              [this](const QString& text) { setStatusText(text); },
                              [this] { return !menu_->miFileQuit->isEnabled(); },
                              options_,
                              filters_,
                              [this](int channel, QCheckBox* box) { openFilterDesigner(channel, box); },
                              [this](const std::array<std::optional<SignalParams>, 2>& params,
                                     std::array<double, 2> rangeVolts) { fmOSC_Buzzer->CheckSounds(params, rangeVolts); },
                              [this] { return requireDevice(); },
                              [this](const QString& text) { env_.messages.warning(text); },
                              [this](const char* dialog, const QString& filter, const QString& extension, bool save) {
                                  const FileDialogKind kind{dialog, filter, extension};
                                  return save ? AskSavePath(this, folders_, kind, env_.messages, messages_)
                                              : AskOpenPath(this, folders_, kind);
                              },
                              [this](const QString& text) { return env_.messages.askToSave(text); }};
    oscPage_ = new OscPage(context, pgcntrMain);
    fftPage_ = new FftPage(context, pgcntrMain);
    lanPage_ = new LanPage(context, logicCapture_, generatorData_, pgcntrMain);
    recPage_ = new RecPage(context, pgcntrMain);
    pages_ = {oscPage_, fftPage_, recPage_, lanPage_};
    for (int i = 0; i < kPageCount; ++i)
        pgcntrMain->addTab(pages_[i], kPageCaptions[i]);
    layout->addWidget(pgcntrMain, 1);
    createServiceButtons();
    layout->addWidget(pnService);
    // A screen smaller than the window's least size (a large scale factor) scrolls the whole
    // window instead of cutting its pages; on a usual screen nothing scrolls here.
    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(central);
    setCentralWidget(scroll);

    statusPanel_ = new QLabel(this);
    statusPanel_->setObjectName("stbrMainPanel");
    statusBar()->setObjectName("stbrMain");
    statusBar()->addWidget(statusPanel_, 1);
    devicePanel_ = new QLabel(this);
    devicePanel_->setObjectName("stbrMainDevice");
    statusBar()->addPermanentWidget(devicePanel_);
    showDeviceState();

    connect(pgcntrMain, &QTabWidget::currentChanged, this, &TfmMain::pgcntrMainChange);

    fmOptions = new TfmOptions(options_, messages_, env_.messages, this);
    if (env_.wireGeneratorToBusA)
        fmOptions->offerGeneratorLoopBack(env_.wireGeneratorToBusA);
    fmFiltr = new TfmFiltr(filters_, options_, messages_, env_.messages, folders_, this);
    exportActions = new ExportActions(
        *menu_, folders_, messages_, env_.messages,
        [this] { return qobject_cast<QCustomPlot*>(pages_[pgcntrMain->currentIndex()]->chart()); },
        [this]() -> std::optional<std::pair<std::vector<double>, std::vector<double>>> {
            if (pgcntrMain->currentIndex() == 0)
                return oscPage_->shownTraces();
            if (pgcntrMain->currentIndex() != 2)
                return std::nullopt; // the spectrum and logic pages have no PCM
            std::pair<std::vector<double>, std::vector<double>> traces;
            if (const RecorderRecord* record = recPage_->record())
                for (int ch = 0; ch < 2; ++ch)
                    if (record->on(ch)) {
                        auto& values = ch == 0 ? traces.first : traces.second;
                        for (std::size_t i = 0; i < record->count(); ++i)
                            values.push_back(record->channel(ch).at(i));
                    }
            return traces;
        },
        this);
    fmRemark = new TfmRemark(folders_, messages_, env_.messages, this);
    connect(menu_->miEditClear, &QAction::triggered, this, &TfmMain::miEditClearClick);
    connect(menu_->miEditRem, &QAction::triggered, this, [this] { fmRemark->showForPage(pgcntrMain->currentIndex()); });
    dataFileActions = new DataFileActions(
        *menu_, folders_, messages_, env_.messages, *pgcntrMain,
        {DataFilePageIo{oscPage_, [this] { return oscPage_->saveDataFile(); },
                        [this](const DataFile& file) { return oscPage_->openDataFile(file); }},
         DataFilePageIo{fftPage_, [this] { return fftPage_->saveDataFile(); },
                        [this](const DataFile& file) { return fftPage_->openDataFile(file); }},
         DataFilePageIo{recPage_, [this] { return recPage_->saveDataFile(); },
                        [this](const DataFile& file) { return recPage_->openDataFile(file); },
                        [this] { return recPage_->hasDataToSave(); }, {},
                        [this] { return recPage_->saveDataFileView(); },
                        [this](const DataFileScan& scan, DataFileSource& source) { return recPage_->openDataFile(scan, source); }},
         DataFilePageIo{lanPage_, [this] { return lanPage_->saveDataFile(); },
                        [this](const DataFile& file) { return lanPage_->openDataFile(file); }, {},
                        [this] { return NameEveryLine(lanPage_->channelSetup().names); }}},
        [this] { pgcntrMainChange(pgcntrMain->currentIndex()); }, *fmRemark, this);
    if (!env_.soundPlayer)
        env_.soundPlayer = new QtSoundPlayer(this);
    fmOSC_Buzzer = new TfmOSC_Buzzer(*env_.soundPlayer, folders_, this);
    connect(menu_->miAnalogSound, &QAction::triggered, fmOSC_Buzzer, &QWidget::show);
    connect(menu_->miServiceSetup, &QAction::triggered, this, &TfmMain::miServiceSetupClick);
    createServiceWindows();
    fmColor = new TfmColor({[this](const ChartColours& c) { applyChartColours(c); },
                            [this] { return chartColoursInForce(); }},
                           this);
    connect(menu_->miServiceColor, &QAction::triggered, fmColor, &QDialog::exec);
    connect(menu_->miServiceSaveSeup, &QAction::triggered, this, &TfmMain::miServiceSaveSeupClick);
    fmAbout = new TfmAbout(this);
    connect(menu_->miAbout, &QAction::triggered, this, &TfmMain::miAboutClick);
    connect(menu_->miHelp, &QAction::triggered, this, &TfmMain::miHelpClick);
    connect(menu_->miServiceOpenSeup, &QAction::triggered, this, &TfmMain::miServiceOpenSeupClick);
    languageMenu = new LanguageMenu({*this, *menu_, messages_, folders_, env_.messages,
                                     env_.languageFolders.empty() ? DefaultLanguageFolders(env_.settingsFolder)
                                                                  : env_.languageFolders},
                                    this);
    languageMenu->AddDeveloperButtons(pnService);
    connect(oscPage_, &OscPage::optionsRequested, this, [this] { showOptions(0); });
    connect(fftPage_, &FftPage::optionsRequested, this, [this] { showOptions(1); });
    connect(recPage_, &RecPage::optionsRequested, this, [this] { showOptions(2); });
    connect(lanPage_, &LanPage::optionsRequested, this, [this] { showOptions(3); });
    connect(lanPage_, &LanPage::patchAllowedChanged, this, &TfmMain::setPatchAllowed);
    // Below this the readouts and the page's controls would no longer fit side by side; a lower
    // window scrolls the control panel.
    // Tool windows larger than a small screen scroll (the decoder windows fit themselves).
    for (const LanguageWindow& tool : FindLanguageWindows(this))
        if (tool.window != this && !qobject_cast<DecoderWindow*>(tool.window))
            ScrollWhenScreenTooSmall(tool.window);
    central->installEventFilter(this);
    updateLeastSize();
    resize(QSize(1000, 700).boundedTo(screen() ? screen()->availableGeometry().size() : QSize(1000, 700)));
}

TfmMain::~TfmMain() = default;

QString TfmMain::msg(Msg key) const
{
    return FromUtf8(messages_.text(key));
}

void TfmMain::createServiceButtons()
{
    pnService = new QWidget(this);
    pnService->setObjectName("pnService");
    auto* row = new QHBoxLayout(pnService);
    row->setContentsMargins(2, 0, 2, 0);
    auto add = [this, row](const char* name, const char* caption) {
        auto* button = new QPushButton(caption, pnService);
        button->setObjectName(name);
        row->addWidget(button);
        return button;
    };
    btGetID = add("btGetID", "Get ID");
    btMnToBl = add("btMnToBl", "MnToBl");
    btLedOn = add("btLedOn", "Led=On");
    btLedOff = add("btLedOff", "Led=Off");
    btReset = add("btReset", "Reset");
    row->addStretch(1);
    pnService->setVisible(false);
    connect(btGetID, &QPushButton::clicked, this, &TfmMain::btGetIDClick);
    connect(btMnToBl, &QPushButton::clicked, this, &TfmMain::btMnToBlClick);
    connect(btLedOn, &QPushButton::clicked, this, &TfmMain::btLedOnClick);
    connect(btLedOff, &QPushButton::clicked, this, &TfmMain::btLedOffClick);
    connect(btReset, &QPushButton::clicked, this, &TfmMain::btResetClick);
}

void TfmMain::guarded(int code, const std::function<void()>& step)
{
    try {
        step();
    } catch (const std::exception&) {
        env_.messages.error(FromUtf8(FormatMessage(messages_.text(Msg::strErrorInit), {static_cast<long long>(code)})));
    }
}

void TfmMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!shown_)
        QMetaObject::invokeMethod(this, &TfmMain::FormShow, Qt::QueuedConnection);
}

void TfmMain::FormShow()
{
    if (shown_)
        return;
    shown_ = true;

    guarded(6, [this] { folders_ = DialogFolders(dataFolder()); });
    settings_.load();
    guarded(7, [this] {
        ReadSystemSettings(settings_, system_);
        TransferSettings& t = session_.settings();
        t.writeTimeoutMs = system_.usbWrTimeout;
        t.readTimeoutMs = system_.usbRdTimeout;
        t.resetTimeoutMs = system_.usbResetTimeout;
        t.showExchangeError = system_.showExchangeError;
    });
    guarded(8, [this] { folders_.read(settings_); });
    guarded(9, [this] { readWindowPositions(); });
    readSetupSections(settings_);
    guarded(32, [this] {
        // The print preview's language code lives in the message table, where a language file may change it.
        messages_.setText(Msg::strLangPreView, settings_.readString("misc", "strLangPreView", messages_.text(Msg::strLangPreView)));
    });
    guarded(33, [this] {
        languageMenu->BuildList();
        languageMenu->ApplyStored(settings_.readString("misc", "lang", "Russian.ini"));
    });
    guarded(34, [this] { fmTerminal->readSettings(settings_); });
    guarded(36, [this] {
        if (env_.closeSplash)
            env_.closeSplash();
    });
    guarded(37, [this] {
        const CommandLine& line = env_.commandLine;
        if (line.calibration) {
            menu_->miClbr->setVisible(true);
            logicOnlyCheck_ = false;
        }
        if (line.debug)
            pnService->setVisible(true);
    });
    // Once access was just granted, the instrument must be plugged in again: no session now.
    if (env_.commandLine.setup && fmInstall->exec() == TfmInstall::kResultCopied) {
        close();
        emit firstShowingDone();
        return;
    }
    takeUpDevice();
    emit firstShowingDone();
}

void TfmMain::takeUpDevice()
{
    // The session keeps watching when no instrument is there, so that one plugged in later counts.
    const DeviceTakeUp result = TakeUpDevice(
        session_, logicOnlyCheck_, [this](int code, const std::function<void()>& step) { guarded(code, step); }, true);
    takenUpAttach_ = session_.attachCount();
    watchingDevice_ = true;
    showDeviceState();
    applyTakeUp(result, true);
}

void TfmMain::applyTakeUp(const DeviceTakeUp& result, bool atStart)
{
    switch (result.outcome) {
    case DeviceTakeUp::Outcome::NoDevice:
        if (atStart)
            env_.messages.error(msg(Msg::strInitError));
        return;
    case DeviceTakeUp::Outcome::BootLoader:
        env_.messages.error(msg(Msg::strErrorBL));
        return;
    case DeviceTakeUp::Outcome::Ready:
        break;
    }
    calibration_ = result.pairs.value_or(CalibrationSet{});
    calibrationRecord_ = result.record;
    if (result.logicOnly && !logicOnly_)
        applyLogicOnlyView();
}

void TfmMain::deviceChanged()
{
    showDeviceState();
    if (!watchingDevice_ || !session_.isAttached() || session_.attachCount() == takenUpAttach_)
        return;
    if (!menu_->miFileQuit->isEnabled() || (fmUpDateSoft && fmUpDateSoft->updating())) {
        QTimer::singleShot(250, this, &TfmMain::deviceChanged); // after the measurement or the update
        return;
    }
    takenUpAttach_ = session_.attachCount();
    applyTakeUp(TakeUpAttachedDevice(session_, logicOnlyCheck_,
                                     [this](int code, const std::function<void()>& step) { guarded(code, step); }),
                false);
    if (statusText_ == noDeviceText())
        setStatusText({});
}

void TfmMain::showDeviceState()
{
    menu_->miServiceVirtual->setVisible(!env_.commandLine.simulate && !session_.isAttached());
    devicePanel_->setText(msg(!session_.isAttached()          ? Msg::strDeviceAbsent
                              : env_.commandLine.simulate ? Msg::strDeviceVirtual
                                                          : Msg::strDeviceAttached));
}

QString TfmMain::deviceLine() const
{
    return devicePanel_->text();
}

QString TfmMain::noDeviceText() const
{
    return msg(Msg::strInitError).section('\r', 0, 0);
}

void TfmMain::miServiceVirtualClick()
{
    if (env_.commandLine.simulate || session_.isAttached())
        return;
    // Closed first: the closing may ask about unsaved work, and the user may stay.
    if (!close())
        return;
    QStringList arguments = QCoreApplication::arguments().mid(1);
    arguments << "-SIM";
    const bool started = env_.startProgram
                             ? env_.startProgram(arguments)
                             : QProcess::startDetached(QCoreApplication::applicationFilePath(), arguments);
    if (!started)
        std::fprintf(stderr, "tesmar: could not start %s -SIM\n", qPrintable(QCoreApplication::applicationFilePath()));
}

bool TfmMain::requireDevice()
{
    if (session_.isAttached())
        return true;
    setStatusText(noDeviceText());
    env_.messages.error(msg(Msg::strInitError));
    return false;
}

void TfmMain::applyLogicOnlyView()
{
    logicOnly_ = true;
    pgcntrMain->setCurrentIndex(3);
    pgcntrMainChange(3);
    for (int i = 0; i < 3; ++i)
        pgcntrMain->setTabVisible(i, false);
    fmOptions->hideAnalogPages();
    fmRemark->setAnalogueVisible(false);
    menu_->miAnalog->menuAction()->setVisible(false);
}

void TfmMain::readWindowPositions()
{
    const std::pair<QWidget*, const char*> windows[] = {
        {this, "fmMain"}, {fmFiltr, "fmFiltr"}, {fmClbr, "fmClbr"}, {fmRemark, "fmRemark"}};
    // Without a stored main window every window starts in the middle of the screen.
    const bool stored = settings_.hasKey("pos", "fmMainLeft");
    for (const auto& [window, name] : windows) {
        if (!stored)
            CentreWindow(*window);
        else
            ReadWindowPosition(settings_, *window, name);
    }
}

void TfmMain::writeWindowPositions()
{
    WriteWindowPosition(settings_, *this, "fmMain");
    WriteWindowPosition(settings_, *fmFiltr, "fmFiltr");
    WriteWindowPosition(settings_, *fmClbr, "fmClbr");
    WriteWindowPosition(settings_, *fmRemark, "fmRemark");
}

void TfmMain::FormClose()
{
    if (settingsWritten_)
        return;
    settingsWritten_ = true;
    WriteSystemSettings(settings_, system_);
    folders_.write(settings_);
    writeWindowPositions();
    writeSetupSections(settings_);
    settings_.writeString("misc", "lang", languageMenu->selectedFileName());
    settings_.writeString("misc", "strLangPreView", messages_.text(Msg::strLangPreView));
    fmTerminal->writeSettings(settings_);
    // A read-only file or a full disk: say so; the old file stays as it was.
    if (!settings_.save())
        env_.messages.error(FromUtf8(FormatMessage(messages_.text(Msg::strSettingsWriteError), {settings_.path()})));
}

bool TfmMain::confirmUnsavedRecords()
{
    return confirmRecorderDiscard() && lanPage_->confirmGeneratorDiscard();
}

bool TfmMain::confirmRecorderDiscard()
{
    // A recorder record may be hours of work; the other pages' records are remade in a moment.
    // A record with no point yet has nothing to lose (and nothing the save could write).
    if (!recPage_->running() && !(recPage_->hasUnsavedRecord() && recPage_->hasDataToSave()))
        return true;
    return SavedOrLetGo(env_.messages.askToSave(msg(Msg::strRecUnsavedOnClose)), [this] {
        recPage_->finishRecording();
        pgcntrMain->setCurrentWidget(recPage_);
        dataFileActions->miFileSaveDataClick();
        // A cancelled or failed save keeps the program open with the record.
        return !recPage_->hasUnsavedRecord();
    });
}

void TfmMain::miEditClearClick()
{
    MeasurementPage* page = pages_[pgcntrMain->currentIndex()];
    if (page == recPage_ && !confirmRecorderDiscard())
        return;
    // On the logic page the clear takes the generator data with it.
    if (page == lanPage_ && lanPage_->generatorMode() && !lanPage_->confirmGeneratorDiscard())
        return;
    page->clearPage();
}

void TfmMain::closeEvent(QCloseEvent* event)
{
    if (!confirmUnsavedRecords()) {
        event->ignore();
        return;
    }
    // A reader thread must not outlive the window: end the run before the settings are written.
    oscPage_->shutdown();
    fftPage_->shutdown();
    lanPage_->shutdown();
    recPage_->shutdown();
    fmTerminal->shutdown();
    FormClose();
    QMainWindow::closeEvent(event);
}

void TfmMain::pgcntrMainChange(int index)
{
    if (index < 0 || index >= kPageCount)
        return;
    MeasurementPage* page = pages_[index];
    const PageHintKeys keys = page->hintKeys();
    menu_->miFileOpen->setStatusTip(msg(keys.open));
    menu_->miFileSaveData->setStatusTip(msg(keys.saveData));
    if (keys.savePcm)
        menu_->miFileSavePCM->setStatusTip(msg(*keys.savePcm));
    menu_->miFileSaveEMF->setStatusTip(msg(keys.saveEmf));
    menu_->miFileSaveBMP->setStatusTip(msg(keys.saveBmp));
    menu_->miFilePrint->setStatusTip(msg(keys.print));
    menu_->miEditCopyEMF->setStatusTip(msg(keys.copyEmf));
    menu_->miEditCopyBMP->setStatusTip(msg(keys.copyBmp));
    menu_->miEditClear->setStatusTip(msg(keys.clear));
    menu_->miFileSavePCM->setVisible(keys.savePcm.has_value());
    currentChart_ = page->chart();
    if (page->isEnabled())
        page->setFocus();
    const QString title = QString::fromUtf8(kApplicationTitle);
    setWindowTitle(page->dataFileName().isEmpty() ? title : title + " - " + page->dataFileName());
}

void TfmMain::LockPages(int page)
{
    // A disabled tab cannot be chosen, and its page takes no input.
    for (int i = 0; i < kPageCount; ++i)
        pgcntrMain->setTabEnabled(i, i == page);
    const MainMenu& m = *menu_;
    for (QAction* item : {m.miFileOpen, m.miFileSaveData, m.miFileSavePCM, m.miFileSaveCSV, m.miFileSaveEMF, m.miFileSaveBMP,
                          m.miFilePreView, m.miFilePrint, m.miFileQuit, m.miEditCopyEMF, m.miEditCopyBMP,
                          m.miEditClear, m.miEditRem, m.miLANPatch, m.miLANKeepOUT, m.miLANCG, m.miLAN_UART,
                          m.miLAN_I2C, m.miLAN_1Wire, m.miLAN_Terminal, m.miServiceSetup, m.miServiceColor,
                          m.miServiceLang->menuAction()})
        item->setEnabled(false);
    // The terminal may be open beside the main window: it must wait too.
    if (fmTerminal)
        fmTerminal->setOthersMeasuring(true);
}

void TfmMain::UnlockPages()
{
    for (int i = 0; i < kPageCount; ++i)
        pgcntrMain->setTabEnabled(i, true);
    const MainMenu& m = *menu_;
    for (QAction* item : {m.miFileOpen, m.miFileSaveData, m.miFileSavePCM, m.miFileSaveCSV, m.miFileSaveEMF, m.miFileSaveBMP,
                          m.miFilePreView, m.miFilePrint, m.miFileQuit, m.miEditCopyEMF, m.miEditCopyBMP,
                          m.miEditClear, m.miEditRem, m.miLANKeepOUT, m.miLANCG, m.miLAN_UART, m.miLAN_I2C,
                          m.miLAN_1Wire, m.miLAN_Terminal, m.miServiceSetup, m.miServiceColor,
                          m.miServiceLang->menuAction()})
        item->setEnabled(true);
    m.miLANPatch->setEnabled(patchAllowed_);
    if (fmTerminal)
        fmTerminal->setOthersMeasuring(false);
}

void TfmMain::lockForTerminal(bool running)
{
    // While the instrument works for the terminal, nothing else may send it a command: the
    // measuring pages, the menu items that talk to it, the service buttons and the calibration.
    if (running)
        LockPages(pgcntrMain->currentIndex());
    else
        UnlockPages();
    pgcntrMain->setEnabled(!running);
    pnService->setEnabled(!running);
    fmClbr->setEnabled(!running);
    menu_->miClbr->setEnabled(!running);
    menu_->miUpDate->setEnabled(!running);
}

void TfmMain::setStatusText(const QString& text)
{
    statusText_ = text;
    appevMainHint({});
}

QString TfmMain::statusLine() const
{
    return statusPanel_->text();
}

void TfmMain::appevMainHint(const QString& hint)
{
    statusPanel_->setText(hint.isEmpty() ? statusText_ : hint);
}

bool TfmMain::event(QEvent* event)
{
    if (event->type() == QEvent::StatusTip) {
        appevMainHint(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

void TfmMain::changeEvent(QEvent* event)
{
    // A language was applied: the texts composed here follow the message table.
    if (event->type() == QEvent::LanguageChange) {
        pgcntrMainChange(pgcntrMain->currentIndex());
        showDeviceState();
        // The colour window's preview shows a time axis in ms.
        if (auto* preview = fmColor ? fmColor->findChild<QCustomPlot*>("chColor") : nullptr)
            preview->xAxis->setLabel(msg(Msg::strOscTime_ms));
    }
    QMainWindow::changeEvent(event);
}

bool TfmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == centralContent() && event->type() == QEvent::LayoutRequest)
        QMetaObject::invokeMethod(this, &TfmMain::updateLeastSize, Qt::QueuedConnection);
    return QMainWindow::eventFilter(watched, event);
}

QWidget* TfmMain::centralContent() const
{
    const auto* scroll = qobject_cast<QScrollArea*>(centralWidget());
    return scroll ? scroll->widget() : nullptr;
}

void TfmMain::updateLeastSize()
{
    // Below 760 x 540 the readouts and the page's controls would no longer fit side by side;
    // larger fonts (or longer texts) need more, and a small screen offers less: then the window
    // scrolls.
    QSize least(760, 540);
    if (const QWidget* content = centralContent()) {
        const QSize pages = content->minimumSizeHint();
        const int bars = menuBar()->sizeHint().height() + statusBar()->sizeHint().height();
        least = least.expandedTo({pages.width(), pages.height() + bars});
    }
    if (screen())
        least = least.boundedTo(screen()->availableGeometry().size());
    if (least != minimumSize())
        setMinimumSize(least);
}

char TfmMain::decimalSeparator() const
{
    return QLocale().decimalPoint().at(0).toLatin1();
}

void TfmMain::showExchangeError(UsbStatus status)
{
    env_.messages.error(FromUtf8(FormatMessage(messages_.text(Msg::strExchangeError),
                                               {static_cast<unsigned long long>(status), StatusToText(status)})));
}

void TfmMain::miServiceSetupClick()
{
    showOptions(pgcntrMain->currentIndex());
}

void TfmMain::createServiceWindows()
{
    fmClbr = new TfmCLBR({session_, calibration_, calibrationRecord_, messages_, env_.messages, folders_,
                          [this](int channel) { return oscPage_->lastSignalParams(channel); }},
                         this);
    connect(menu_->miClbr, &QAction::triggered, fmClbr, &QWidget::show);
    fmUpDateSoft = new TfmUpDateSoft(session_, messages_, env_.messages, folders_, this);
    connect(menu_->miUpDate, &QAction::triggered, this, &TfmMain::miUpDateClick);
    InstallEnvironment install = TfmInstall::SystemEnvironment(messages_, env_.messages);
    if (env_.adjustInstall)
        env_.adjustInstall(install);
    fmInstall = new TfmInstall(std::move(install), this);
    connect(menu_->miServiceInstall, &QAction::triggered, fmInstall, &QDialog::exec);
    connect(menu_->miServiceVirtual, &QAction::triggered, this, &TfmMain::miServiceVirtualClick);
    fmTerminal = new TfmTerminal(
        {session_, env_.messages, messages_, folders_, [this](bool running) { lockForTerminal(running); }}, this);
    // Not while a measurement runs: the terminal's menu item is locked then.
    const auto openTerminal = [this](const QString& page) {
        if (menu_->miLAN_Terminal->isEnabled())
            fmTerminal->showPage(page);
        return fmTerminal->isVisible();
    };
    connect(menu_->miLAN_Terminal, &QAction::triggered, this, [openTerminal] { openTerminal("I2C"); });
    decoderWindows.create({*lanPage_, generatorData_, messages_, env_.messages, openTerminal}, *menu_, this);
}

void TfmMain::miUpDateClick()
{
    if (menu_->miFileOpen->isEnabled())
        fmUpDateSoft->exec();
}

void TfmMain::openFilterDesigner(int channel, QCheckBox* autoOnBox)
{
    const bool spectrum = autoOnBox && fftPage_->isAncestorOf(autoOnBox);
    fmFiltr->OpenDesigner(channel, autoOnBox, spectrum ? FilterOwnerPage::Spectrum : FilterOwnerPage::Oscilloscope);
}

void TfmMain::showOptions(int page)
{
    fmOptions->showPage(page);
    fmOptions->exec();
    // Changed boundaries and depths take effect through the rate handlers.
    oscPage_->knOscTimeDivChange();
    fftPage_->knFFTFrecDivChange();
    lanPage_->knLANFrecDivChange();
    recPage_->knRecTimeDivChange();
}

void TfmMain::btGetIDClick()
{
    const auto id = QueryDevice(session_, CmdGetId, 0, 1);
    const int byte = id.empty() ? 0 : id[0];
    if (byte == kIdMainApplication)
        setWindowTitle("In main application (ID=0xaa)");
    else if (byte == kIdBootLoader)
        setWindowTitle("In boot loader (ID=0x55)");
    else
        setWindowTitle(QString("Error (ID=%1)").arg(byte, 2, 16, QChar('0')).toUpper());
}

void TfmMain::btMnToBlClick()
{
    SendCommand(session_, {.code = CmdSwitchFirmware});
}

void TfmMain::btLedOnClick()
{
    SendCommand(session_, {.code = CmdLedOn});
}

void TfmMain::btLedOffClick()
{
    SendCommand(session_, {.code = CmdLedOff});
}

void TfmMain::btResetClick()
{
    session_.DeviceReset();
}

} // namespace tesmar
