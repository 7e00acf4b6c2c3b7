#pragma once
// The oscilloscope page `tsOsc`: channels, time base, trigger, run buttons, the chart with its
// markers, and the processing of each finished record.

#include "app/pages/MeasurementPage.h"
#include "app/pages/PageContext.h"
#include "formats/DataFile.h"
#include "osc/OscChannelView.h"
#include "osc/OscProcessing.h"
#include "osc/OscReadMode.h"
#include "osc/OscTimeAxis.h"
#include "osc/acquisition/OscAcquisition.h"
#include "dsp/FilterPoint.h"
#include "dsp/SignalReadout.h"

#include <QElapsedTimer>

#include <array>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QScrollArea;
class QScrollBar;
class QTimer;
class QToolButton;

namespace tesmar {

class IniFile;
class OscChart;
class TOscKnob;

class OscPage : public MeasurementPage {
    Q_OBJECT
public:
    OscPage(const PageContext& context, QWidget* parent = nullptr);
    ~OscPage() override;
    PageHintKeys hintKeys() const override;
    QWidget* chart() const override;

    // Section `main` keys of the page (knobs, axes, levels, buttons).
    void readSettings(const IniFile& ini, char decimalSeparator);
    void writeSettings(IniFile& ini, char decimalSeparator) const;
    // Start-up: the channel handlers, then the time-base handler.
    void applyChannelStates();
    // Closing: ends a running measurement and its thread.
    void shutdown();

    bool streamMode() const { return streamMode_; }
    OscAcquisition& acquisition() { return *acquisition_; }
    const ProcessedRecord* shownRecord() const;
    // The values of the two drawn traces (for PCM export).
    std::pair<std::vector<double>, std::vector<double>> shownTraces() const;
    // The measurement data file of what the chart shows; nullopt when there is nothing to save.
    std::optional<DataFile> saveDataFile() const;
    // Shows an oscilloscope data file that has been read completely; false (nothing touched)
    // when its values cannot be shown.
    bool openDataFile(const DataFile& file);
    void clearPage() override;
    // The general parameters of channel 0 (A) or 1 (B) of the record shown, if it has them.
    std::optional<SignalParams> lastSignalParams(int channel) const;

    // Controls under their names.
    OscChart* chOsc = nullptr;
    TOscKnob* knOscCh1 = nullptr;
    TOscKnob* knOscCh2 = nullptr;
    TOscKnob* knOscTimeDiv = nullptr;
    QToolButton* sbOscOnCh1 = nullptr;
    QToolButton* sbOscOnCh2 = nullptr;
    QToolButton* sbOscAvtoRangeCh1 = nullptr;
    QToolButton* sbOscAvtoZeroCh1 = nullptr;
    QToolButton* sbOscAvtoRangeCh2 = nullptr;
    QToolButton* sbOscAvtoZeroCh2 = nullptr;
    QCheckBox* chboxOscFiltrationOnCh1 = nullptr;
    QCheckBox* chboxOscFiltrationOnCh2 = nullptr;
    QToolButton* spbtOscFiltrationSetCh1 = nullptr;
    QToolButton* spbtOscFiltrationSetCh2 = nullptr;
    QToolButton* sbOscRunSingle = nullptr;
    QToolButton* sbOscRun = nullptr;
    QGroupBox* grboxOscTrigger = nullptr;
    QToolButton* sbOscTriggerOn = nullptr;
    QToolButton* sbOscTriggerSourceCh1 = nullptr;
    QToolButton* sbOscTriggerSourceCh2 = nullptr;
    QToolButton* sbOscTriggerSourceExt = nullptr;
    QToolButton* sbOscTriggerEdgeRising = nullptr;
    QToolButton* sbOscTriggerEdgeFailling = nullptr;
    QToolButton* spOscTriggerAbs = nullptr;
    QToolButton* spOscTriggerDif = nullptr;
    QLineEdit* edOscTriggerDif = nullptr;
    QLabel* lbOscTriggerDifUnit = nullptr;
    QLabel* lbOscTriggerLevel = nullptr; // the level of the chosen channel, in volts
    QComboBox* cbOscZoom = nullptr;
    QToolButton* sbOscZoomIn = nullptr;
    QToolButton* sbOscZoomOut = nullptr;
    QToolButton* sbOscZoomUndo = nullptr;
    QScrollBar* scbrOsc = nullptr;
    QLabel* pnOscViewReadType = nullptr;
    QLabel* lbOscMarker1Time = nullptr;
    QLabel* lbOscMarker2Time = nullptr;
    QLabel* lbOscMarker2Sub1Time = nullptr;
    QLabel* lbOscMarker1VoltA = nullptr;
    QLabel* lbOscMarker1VoltB = nullptr;
    QLabel* lbOscMarker2VoltA = nullptr;
    QLabel* lbOscMarker2VoltB = nullptr;
    QLabel* lbOscMarker2Sub1VoltA = nullptr;
    QLabel* lbOscMarker2Sub1VoltB = nullptr;
    std::array<QLabel*, 2> lbOscUc{};  // lbOscUcCh1, lbOscUcCh2
    std::array<QLabel*, 2> lbOscUv{};  // lbOscUvCh1, lbOscUvCh2
    std::array<QLabel*, 2> lbOscF{};   // lbOscFCh1, lbOscFCh2
    QWidget* pnOscSetup = nullptr;
    QScrollArea* pnOscSetupScroll = nullptr; // holds pnOscSetup
    QToolButton* lsbOscSetupHide = nullptr;
    QToolButton* lsbOscSetupShow = nullptr;
    QTimer* timerRunOsc = nullptr;
    QTimer* timerResetOscTrigger = nullptr;
    QTimer* timerOscLive = nullptr; // draws a stream record while it fills

    double differenceThreshold() const { return threshold_; }

public slots:
    void sbOscRunSingleClick();
    void sbOscRunClick();
    void OscRunDone(bool bufferMode);
    void StartOscAcquisition();
    void StopOscAcquisition();
    void ProcessOscData();
    void SetupTimeAxis();
    void UpdateMarkerReadouts();
    void knOscTimeDivChange();
    void knOscCh1Change();
    void knOscCh2Change();
    void sbOscOnCh1Click();
    void sbOscOnCh2Click();
    void sbOscAvtoRangeCh1Click();
    void sbOscAvtoRangeCh2Click();
    void sbOscTriggerOnClick();
    void sbOscTriggerSourceCh1Click();
    void edOscTriggerDifEnter();
    void RestartTrigger(bool force);
    void timerResetOscTriggerTimer();
    void cbOscZoomChange();
    void sbOscZoomInClick();
    void sbOscZoomOutClick();
    void sbOscZoomUndoClick();
    void scbrOscScroll(int position);
    void ZeroMenuClick(int channel, int tag);
    void lsbOscSetupHideClick();
    void lsbOscSetupShowClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void retranslate() override;

private:
    void buildControls();
    QWidget* buildChannelGroup(int channel);
    QWidget* buildTriggerGroup();
    QWidget* buildRunGroup();
    QWidget* buildReadouts();
    void channelClick(int channel);
    void rangeKnobChange(int channel);
    void autoRangeClick(int channel);
    void applyTriggerRules();
    // On/off, source, edge and kind, in the order they are kept in the settings file.
    std::array<QToolButton*, 8> triggerButtons() const;
    void readTriggerSettings(const IniFile& ini, char separator);
    void setTriggerOn(bool on);
    OscBlockInput blockInput() const;
    void pressRunButton(QToolButton* pressed, QToolButton* other);
    // The threshold field as a number, none when it is not one; and back into the field.
    std::optional<double> typedThreshold() const;
    // The period the buffer/stream boundary option names, none for "Все".
    std::optional<double> bufferBoundaryPeriod() const;
    void showThreshold();
    void showTriggerLevel();
    // The status line while a run waits: the trigger level and channel it waits for.
    void showWaitingStatus();
    void restoreRunButtons();
    void drawRecord(const ProcessedRecord& record);
    void drawCurves(const ProcessedRecord& record);
    // The stream record as far as it has come (timerOscLive), without the end processing.
    void drawLiveRecord();
    // The time axis of the record the block in force will bring; sets the unit.
    AxisRange expectedRecordAxis();
    void showTimeUnit(double oldFactor);
    void autoRange(int channel, const std::vector<double>& values);
    void updateScrollBar();
    void setTimeRange(const AxisRange& range);
    std::optional<std::pair<double, double>> curveExtent() const;
    void showSignalParams(const ProcessedRecord& record);
    void showParamLabels(const ProcessedRecord& record);
    void setAxis(int channel, const AxisRange& range);
    void restartNow();
    bool running() const;

    OscAcquisition* acquisition_ = nullptr;
    OscTimeAxis timeAxis_;
    bool streamMode_ = false;
    int capacity_ = kOscBufferSamples;
    int preTrigger_ = 100;
    double quantizedTd_ = 5e-6;
    double dt_ = 5e-6;                 // point interval of the shown record
    double threshold_ = 0.5;
    bool skipDraw_ = false;
    bool markersUnset_ = true;        // the first layout puts the markers at the plot's edges
    bool scrolling_ = false;
    QElapsedTimer lastBlockBuild_;
    std::optional<ProcessedRecord> shown_;
    OscResult live_; // the page's buffer of the live hand-over
    std::array<SignalReadout, 2> readouts_{};
};

} // namespace tesmar
