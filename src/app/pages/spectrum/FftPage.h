#pragma once
// The spectrum analyser page `tsFFT`: rate and range knobs, channels, dB scales, the distortion
// factors, the frequency axis with its markers, and the run cycle on the oscilloscope's readers.

#include "app/pages/MeasurementPage.h"
#include "app/pages/PageContext.h"
#include "dsp/SignalReadout.h"
#include "formats/DataFile.h"
#include "spectrum/SpectrumFrequencyAxis.h"
#include "spectrum/SpectrumProcessing.h"
#include "spectrum/SpectrumReadType.h"

#include <array>

class QCheckBox;
class QCPGraph;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QScrollArea;
class QScrollBar;
class QTimer;
class QToolButton;

namespace tesmar {

class FftChart;
class IniFile;
class OscAcquisition;
class TOscKnob;

class FftPage : public MeasurementPage {
    Q_OBJECT
public:
    FftPage(const PageContext& context, QWidget* parent = nullptr);
    ~FftPage() override;
    PageHintKeys hintKeys() const override;
    QWidget* chart() const override;

    void readSettings(const IniFile& ini);
    void writeSettings(IniFile& ini) const;
    // Start-up: the dB handlers, the channel handlers, then the rate handler.
    void applyStoredStates();
    void shutdown();

    const SpectrumRecord& record() const { return record_; }
    // The measurement data file of what the chart shows; nullopt when there is nothing to save.
    std::optional<DataFile> saveDataFile() const;
    // Shows a spectrum data file that has been read completely; false (nothing touched) when
    // its values cannot be shown.
    bool openDataFile(const DataFile& file);
    void clearPage() override;
    const SpectrumReadType& readType() const { return readType_; }
    double frequencyUnit() const { return unit_; }

    FftChart* chFFT = nullptr;
    TOscKnob* knFFTFrecDiv = nullptr;
    TOscKnob* knFFTCh1 = nullptr;
    TOscKnob* knFFTCh2 = nullptr;
    QToolButton* sbFFTOnCh1 = nullptr;
    QToolButton* sbFFTOnCh2 = nullptr;
    QToolButton* spbtFFTCh1dB = nullptr;
    QToolButton* spbtFFTCh2dB = nullptr;
    QToolButton* spbtFFTCh10dB = nullptr;
    QToolButton* spbtFFTCh20dB = nullptr;
    QCheckBox* chboxFFTFiltrationOnCh1 = nullptr;
    QCheckBox* chboxFFTFiltrationOnCh2 = nullptr;
    QToolButton* spbtFFTFiltrationSetCh1 = nullptr;
    QToolButton* spbtFFTFiltrationSetCh2 = nullptr;
    QCheckBox* cbFFTKNIMax = nullptr;
    QLineEdit* edFFTKNIF = nullptr;
    std::array<QLabel*, 2> lbFFTF1{};   // lbFFTF1Ch1, lbFFTF1Ch2
    std::array<QLabel*, 2> lbFFTKNI1{}; // lbFFTKNI1Ch1, lbFFTKNI1Ch2 (kг)
    std::array<QLabel*, 2> lbFFTKNI3{}; // lbFFTKNI3Ch1, lbFFTKNI3Ch2 (k3)
    std::array<QLabel*, 2> lbFFTUc{};
    std::array<QLabel*, 2> lbFFTUv{};
    std::array<QLabel*, 2> lbFFTF{};
    QComboBox* cbFFTWinParam = nullptr;
    QComboBox* cbFFTZoom = nullptr;
    QToolButton* sbFFTZoomIn = nullptr;
    QToolButton* sbFFTZoomOut = nullptr;
    QToolButton* sbFFTZoomUndo = nullptr;
    QToolButton* sbFFTFrecLog = nullptr;
    QToolButton* sbFFTRunSingle = nullptr;
    QToolButton* sbFFTRun = nullptr;
    QScrollBar* scbrFFT = nullptr;
    QLabel* pnFFTViewReadType = nullptr;
    QLabel* lbFFTMarker1Frec = nullptr;
    QLabel* lbFFTMarker2Frec = nullptr;
    QLabel* lbFFTMarker2Sub1Frec = nullptr;
    QLabel* lbFFTMarker1VoltA = nullptr;
    QLabel* lbFFTMarker1VoltB = nullptr;
    QLabel* lbFFTMarker2VoltA = nullptr;
    QLabel* lbFFTMarker2VoltB = nullptr;
    QLabel* lbFFTMarker2Sub1VoltA = nullptr;
    QLabel* lbFFTMarker2Sub1VoltB = nullptr;
    QWidget* pnFFTSetup = nullptr;
    QScrollArea* pnFFTSetupScroll = nullptr; // holds pnFFTSetup
    QToolButton* lsbFFTSetupHide = nullptr;
    QToolButton* lsbFFTSetupShow = nullptr;
    QTimer* timerRunFFT = nullptr;

public slots:
    void knFFTFrecDivChange();
    void knFFTCh1Change();
    void knFFTCh2Change();
    void sbFFTOnCh1Click();
    void sbFFTOnCh2Click();
    void spbtFFTCh1dBClick();
    void spbtFFTCh2dBClick();
    void spbtFFTCh10dBClick();
    void spbtFFTCh20dBClick();
    void cbFFTKNIMaxClick();
    void edFFTKNIFEnter();
    void sbFFTRunSingleClick();
    void sbFFTRunClick();
    void timerRunFFTTimer();
    void FFTRunDone(bool bufferMode);
    void ProcessSpectrum(SpectrumMode mode);
    void cbFFTZoomChange();
    void sbFFTZoomInClick();
    void sbFFTZoomOutClick();
    void sbFFTZoomUndoClick();
    void sbFFTFrecLogClick();
    void scbrFFTScroll(int position);
    void UpdateMarkerReadouts();
    void spbtFFTFiltrationSetCh1Click();
    void spbtFFTFiltrationSetCh2Click();
    void lsbFFTSetupHideClick();
    void lsbFFTSetupShowClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void retranslate() override;

private:
    void buildControls();
    QWidget* buildChannelGroup(int channel);
    QWidget* buildAnalysisGroups();
    QWidget* buildWindowGroup();
    QWidget* buildControlGroup();
    QWidget* buildReadouts();
    bool running() const;
    void StartFFTAcquisition();
    void pressRunButton(QToolButton* pressed, QToolButton* other);
    void restoreRunButtons();
    void channelClick(int channel);
    void rangeKnobChange(int channel);
    void dbClick(int channel);
    void referenceClick(int channel);
    SpectrumScale scale(int channel) const;
    QToolButton* dbButton(int channel) const { return channel == 0 ? spbtFFTCh1dB : spbtFFTCh2dB; }
    QToolButton* referenceButton(int channel) const { return channel == 0 ? spbtFFTCh10dB : spbtFFTCh20dB; }
    TOscKnob* rangeKnob(int channel) const { return channel == 0 ? knFFTCh1 : knFFTCh2; }
    QCPGraph* curve(int channel) const;
    std::optional<double> bufferBoundaryRate() const;
    std::optional<double> manualF1();
    void showManualF1();
    void drawRecord();
    void showResults();
    void UpdateFrequencyAxis();
    void updateScrollBar();
    double shownCurveEnd() const;
    void setChannelAxis(int channel, const AxisRange& range);

    OscAcquisition* acquisition_ = nullptr;
    SpectrumFrequencyAxis axis_;
    SpectrumReadType readType_;
    SpectrumRecord record_;
    double unit_ = 1000.0;
    double manualF1_ = 800.0;
    QString shownF1Text_;
    bool markersUnset_ = true;
    bool scrolling_ = false;
    std::array<SignalReadout, 2> readouts_{};
};

} // namespace tesmar
