#pragma once
// The logic analyser page `tsLAN`: rate knob, bus B mode, external clock, trigger, the single
// run on its reader threads, and the chart with its markers and bus readouts.

#include "app/pages/MeasurementPage.h"
#include "app/pages/PageContext.h"
#include "formats/DataFile.h"
#include "logic/CapturePatch.h"
#include "logic/ChannelQueries.h"
#include "logic/ChannelSetup.h"
#include "logic/GeneratorData.h"
#include "logic/LogicCapture.h"
#include "logic/LogicMode.h"
#include "logic/LogicSummary.h"
#include "logic/LogicTimeAxis.h"
#include "logic/LogicUnpack.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

class QComboBox;
class QGroupBox;
class QLabel;
class QKeyEvent;
class QLineEdit;
class QRadioButton;
class QScrollBar;
class QSpinBox;
class QProgressBar;
class QTimer;
class QToolButton;

namespace tesmar {

class IniFile;
class LanAcquisition;
class LanChart;
class LanGeneratorPanel;
class TfmLANSetup;
class TfmLANStat;
class TOscKnob;

class LanPage : public MeasurementPage {
    Q_OBJECT
public:
    LanPage(const PageContext& context, LogicCapture& capture, GeneratorData& generator, QWidget* parent = nullptr);
    ~LanPage() override;
    PageHintKeys hintKeys() const override;
    QWidget* chart() const override;

    void readSettings(const IniFile& ini);
    void writeSettings(IniFile& ini) const;
    void shutdown();

    // The measurement data file of what the chart shows; nullopt when there is nothing to save.
    std::optional<DataFile> saveDataFile() const;
    // Shows a logic analyser data file that has been read completely; false (nothing touched)
    // when it is not one.
    bool openDataFile(const DataFile& file);
    void clearPage() override;

    const LogicMode& mode() const { return mode_; }
    const ChannelSetup& channelSetup() const { return channels_; }
    // The channel setup file behind the open and save buttons.
    bool openSetupFile(const QString& path);
    bool saveSetupFile(const QString& path);
    // The generator data file last saved, else last opened (empty: none), for setup files.
    QString generatorFileName() const { return generatorSaved_.isEmpty() ? generatorOpened_ : generatorSaved_; }
    // Loads generator data from a file; false (data unchanged) when it cannot be read.
    bool openGeneratorFile(const QString& path, QString* problem = nullptr);
    // The generator data were changed since they were last opened or saved.
    bool hasUnsavedGenerator() const { return generatorUnsaved_; }
    // The save dialog for the generator data; true when they were written.
    bool saveGeneratorAs();
    // Edited generator data would be lost: true when the user saved them or let them go.
    bool confirmGeneratorDiscard();
    // Caption click: the dialog for line `channel`; true when it was accepted.
    bool editChannel(int channel);
    double multiplier() const { return multiplier_; }
    LanAcquisition& acquisition() { return *acquisition_; }

    // What the decoder windows read and change on the page.
    bool generatorMode() const;
    // 1/Fs of the current settings: the period the generator data is played at.
    double generatorPeriod() const { return 1.0 / mode_.sampleRate; }
    ChannelQueries channelQueries() const;
    // Marker 0 or 1 in seconds.
    double markerTime(int marker) const;
    // Samples first … last of the generator data were written elsewhere: table and traces redrawn.
    void generatorEdited(int first, int last);
    // Brings time `seconds` of line `channel` into the window and puts `marker` on it.
    void ShowTime(int channel, double seconds, int marker);

    LanChart* chLAN = nullptr;
    TOscKnob* knLANFrecDiv = nullptr;
    QToolButton* sbLANRun = nullptr;
    QToolButton* sbLANModeBusG = nullptr;
    QToolButton* sbLANModeBusA = nullptr;
    QToolButton* sbLANExtSampling = nullptr;
    QToolButton* sbLANExtEdgeRising = nullptr;
    QToolButton* sbLANExtEdgeFailling = nullptr;
    QToolButton* sbLANExtFrec = nullptr;
    QLineEdit* edLANExtFrec = nullptr;
    QToolButton* sbLANTriggerOn = nullptr;
    QToolButton* sbLANTriggerEdgeRising = nullptr;
    QToolButton* sbLANTriggerEdgeFailling = nullptr;
    QComboBox* cbLANTriggerEdgeCh = nullptr;
    QToolButton* sbLANTriggerMask = nullptr;
    QLineEdit* edLANTriggerMask = nullptr;
    QToolButton* sbLANTriggerMaskOnBusA = nullptr;
    QToolButton* sbLANTriggerMaskOnBusB = nullptr;
    QToolButton* sbLANPassImpulsRising = nullptr;
    QToolButton* sbLANPassImpulsFailling = nullptr;
    QComboBox* cbLANPassImpulsCh = nullptr;
    QSpinBox* udLANPassImpuls = nullptr;
    QComboBox* cbLANZoom = nullptr;
    QToolButton* sbLANZoomIn = nullptr;
    QToolButton* sbLANZoomOut = nullptr;
    QToolButton* sbLANZoomUndo = nullptr;
    QScrollBar* scbrLAN = nullptr;
    // Samples stored of a stream capture's depth while it runs (hidden otherwise).
    QProgressBar* pbLANStream = nullptr;
    QTimer* timerLANStreamProgress = nullptr;
    QLabel* pnLANViewReadType = nullptr;
    QLabel* lbLANMarker1Time = nullptr;
    QLabel* lbLANMarker2Time = nullptr;
    QLabel* lbLANMarker2Sub1Time = nullptr;
    // [marker][bus]: lbLANMarker1BusABin, lbLANMarker1BusBBin, …
    std::array<std::array<QLabel*, 2>, 2> lbLANMarkerBusBin{};
    std::array<std::array<QLabel*, 2>, 2> lbLANMarkerBusHex{};
    std::array<QLabel*, 16> channelCaptions{}; // lbLANChA0Caption … lbLANChB7Caption
    QToolButton* sbOpenLANSetup = nullptr;
    QToolButton* sbSaveLANSetup = nullptr;
    LanGeneratorPanel* generatorPanel = nullptr;
    TfmLANSetup* fmLANSetup = nullptr;
    TfmLANStat* fmLANStat = nullptr;
    QWidget* pnLANSetup = nullptr;
    QToolButton* lsbLANSetupHide = nullptr;
    QToolButton* lsbLANSetupShow = nullptr;
    QTimer* timerChangeUpPass = nullptr;
    QRadioButton* rbLANFindSourceBusA = nullptr;
    QRadioButton* rbLANFindSourceBusB = nullptr;
    QRadioButton* rbLANFindSourceEdgeRising = nullptr;
    QRadioButton* rbLANFindSourceEdgeFailling = nullptr;
    QRadioButton* rbLANFindSourceEdgeFall = nullptr;
    QLabel* imLANFindSourceEdgeRising = nullptr;
    QLabel* imLANFindSourceEdgeFailling = nullptr;
    QLabel* imLANFindSourceEdgeFall = nullptr;
    QComboBox* cbLANFindCh = nullptr;
    QLineEdit* edLANFindBIN = nullptr;
    QLineEdit* edLANFindHEX = nullptr;
    QLineEdit* edLANFindDEC = nullptr;
    QToolButton* spbtOpenLANFindForward = nullptr;
    QToolButton* spbtOpenLANFindBack = nullptr;
    // Patching: shown on the chart while a capture waits to be joined.
    QToolButton* spbtPatch = nullptr;
    QToolButton* spbtPatchShiftLeft = nullptr;
    QToolButton* spbtPatchShiftRight = nullptr;
    QTimer* timerRepeatPatchShift = nullptr;

    // The capture waiting to be joined; null when none is.
    const PendingPatch* pendingPatch() const { return patch_ ? &*patch_ : nullptr; }
    // The held shift button: 0 none, 1 left, 2 right.
    int patchShiftDirection() const { return patchShiftDirection_; }

    // The sample of the last search hit, none after a marker 1 move, scroll, show-time,
    // generator change or capture start.
    std::optional<std::int64_t> searchHit() const
    {
        return findHit_ ? std::optional<std::int64_t>(findHit_->index) : std::nullopt;
    }
    void forgetSearchHit();

public slots:
    void knLANFrecDivChange();
    void sbLANRunClick();
    void LanRunDone();
    void sbLANModeBusGClick();
    void sbLANTriggerOnClick();
    void sbLANExtSamplingClick();
    void sbLANExtFrecClick();
    void edLANExtFrecEnter();
    void cbLANZoomChange();
    void sbLANZoomInClick();
    void sbLANZoomOutClick();
    void sbLANZoomUndoClick();
    void scbrLANScroll(int position);
    void UpdateReadouts();
    void RecomputeTimeAxis();
    void lsbLANSetupHideClick();
    void lsbLANSetupShowClick();
    void sbOpenLANSetupClick();
    void sbSaveLANSetupClick();
    void miLANSelectByMarkerClick();
    void imLANFindSourceEdgeRisingClick();
    void imLANFindSourceEdgeFaillingClick();
    void imLANFindSourceEdgeFallClick();
    void spbtOpenLANFindForwardClick();
    void spbtOpenLANFindBackClick();
    void miLANStatClick();
    void miLANStatOnTopClick();
    // Recounts an open statistics window from the captures or the generator data.
    void refreshStatistics();
    void spbtPatchClick();
    void spbtPatchShiftLeftMouseDown();
    void spbtPatchShiftRightMouseDown();
    // Releasing either shift button.
    void spbtPatchShiftLeftMouseUp();
    void timerRepeatPatchShiftTimer();
    void miLANPatchClick();
    // Drops a pending patch: its traces and buttons go.
    void cancelPatch();

signals:
    // A line's name or colour changed.
    void channelNamesChanged();
    // Patching is possible after a buffered capture was drawn as the main diagram, not after a
    // stream capture.
    void patchAllowedChanged(bool allowed);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void retranslate() override;

private:
    void buildControls();
    QWidget* buildModeGroup();
    QWidget* buildTriggerGroup();
    QWidget* buildControlGroup();
    QWidget* buildReadouts();
    QWidget* buildSearchGroup();
    void setupStatistics();
    void setupPatch();
    void placePatchButtons();
    void showPatchButtons(bool show);
    void takePatch(std::vector<std::uint8_t> busA, std::vector<std::uint8_t> busB);
    void drawPatch();
    void shiftPatch(int direction);
    void setPatchAllowed(bool allowed);
    bool running() const;
    void triggerControlTouched();
    void fillLineList(QComboBox* list, LogicLineList lines);
    bool pulseSkipActive() const;
    void startCapture();
    void restoreRunButton();
    void takeBufferCapture();
    void takeStreamCapture();
    void drawCapture(bool fresh, bool stream);
    void drawGenerator();
    void setWindow(const LogicWindow& window);
    // The zoom steps past "1:500" for a drawn span of `samples` capture periods.
    void updateWideZoomSteps(double samples);
    void updateZoomButtons();
    void updateScrollBar();
    void applyChannelSetup();
    void releaseOutputs();
    void generatorChanged();
    void editGeneratorBetween(double fromX, double toX);
    struct SearchHit {
        std::int64_t index = 0;
        bool byValue = false;
        int bus = 0;
    };
    bool findEditKey(QLineEdit* edit, const QKeyEvent& key);
    void applyFindValue();
    void findNext(bool forward);
    void showSearchHit(const SearchHit& hit);

    LogicCapture& capture_;
    GeneratorData& generator_;
    LanAcquisition* acquisition_ = nullptr;
    LogicMode mode_;
    std::optional<double> externalFrequency_;
    double captureRate_ = 1e6;    // Fs of the capture being made
    std::array<LogicSummary, 2> summaries_;
    double multiplier_ = 1e6;
    double zoom_ = 1.0;
    bool startAtZero_ = false;
    bool markersUnset_ = true;
    // Markers keep their times across scrolls and zooms; when what is drawn changes (a new
    // capture, the generator traces, the rate of an empty chart) its times may lie anywhere,
    // and the markers keep their places on the screen.
    bool zooming_ = false;
    bool scrolling_ = false;
    LogicBufferLayout layout_;
    ChannelSetup channels_;
    // Editing the generator on the chart: the line, set or clear, and the last position.
    int editLine_ = -1;
    bool editHigh_ = true;
    double editFromX_ = 0.0;
    std::uint8_t findValue_ = 0;
    QLineEdit* lastTypedFind_ = nullptr;
    std::optional<SearchHit> findHit_;
    QString generatorSaved_, generatorOpened_;
    bool generatorUnsaved_ = false;
    bool bufferedForGenerator_ = false; // the rate would stream, but the generator needs the buffer
    // All samples 0: nothing left to save.
    void clearGenerator();
    std::optional<PendingPatch> patch_;
    std::array<LogicSummary, 2> patchSummaries_;
    QWidget* patchButtons_ = nullptr;
    int patchShiftDirection_ = 0;
    bool alignToPatch_ = false;
};

} // namespace tesmar
