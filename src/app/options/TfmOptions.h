#pragma once
// The options dialog "Параметры": one tab per page of the main window. It only moves values
// between its controls and the program-wide option variables; OK copies the controls into
// them, Cancel and every other way of closing put the variables back into the controls.

#include "app/options/OptionVariables.h"

#include <QDialog>

#include <functional>

#include <array>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QGroupBox;
class QTabWidget;
class QWidget;

namespace tesmar {

class MessageTable;
class UserMessages;

class TfmOptions : public QDialog {
    Q_OBJECT
  public:
    // Tab indexes, in the order of the main window's pages.
    enum Page { PageOsc = 0, PageFft = 1, PageRec = 2, PageLan = 3 };

    TfmOptions(OptionVariables& options, const MessageTable& messages, UserMessages& boxes,
               QWidget* parent = nullptr);

    // Shows `values` in the controls.
    void load(const OptionVariables& values);
    // Brings the tab of main-window page `page` to the front; any other index means the logic analyser.
    void showPage(int page);
    // The logic-only instrument has no oscilloscope, spectrum or recorder tab.
    void hideAnalogPages();
    // On the virtual instrument: the choice to wire the generator's outputs to bus A, applied
    // through `wire` when confirmed with OK (hidden otherwise).
    void offerGeneratorLoopBack(std::function<void(bool on)> wire);

    QTabWidget* pgcntrOptions = nullptr;
    QWidget* tsOsc = nullptr;
    QWidget* tsFFT = nullptr;
    QWidget* tsRec = nullptr;
    QWidget* tsLAN = nullptr;
    QPushButton* btOK = nullptr;
    QGroupBox* grboxLANSimulator = nullptr;
    QCheckBox* cbLANSimLoopBack = nullptr;
    QPushButton* btCancel = nullptr;

    QRadioButton* rbOscSnapAScreen = nullptr;
    QRadioButton* rbOscSnapASignal = nullptr;
    QRadioButton* rbOscSnapBScreen = nullptr;
    QRadioButton* rbOscSnapBSignal = nullptr;
    QCheckBox* cbOscViewIcon = nullptr;
    QComboBox* cbOscTdBufIndex = nullptr;
    QSpinBox* udOscBufPreTrigger = nullptr;
    QLineEdit* edOscBufPreTrigger = nullptr;
    QCheckBox* cbOscForceSmallBuf = nullptr;
    QComboBox* cbOscPipeSize = nullptr;
    QSpinBox* udOscPipePreTrigger = nullptr;
    QLineEdit* edOscPipePreTrigger = nullptr;
    QCheckBox* cbOscDisableAverage = nullptr;
    QCheckBox* cbOscAvtoOnFlt = nullptr;
    QCheckBox* cbOscAvtoOnTrigger = nullptr;

    QSpinBox* udFFTCountKNIHam = nullptr;
    QLineEdit* edFFTCountKNIHam = nullptr;
    QCheckBox* cbFFTAvtoOnFlt = nullptr;
    QCheckBox* cbFFTViewIcon = nullptr;
    QComboBox* cbFFTFdBufIndex = nullptr;
    QComboBox* cbFFTPipeSize = nullptr;
    QCheckBox* cbFFTDisableAverage = nullptr;

    QComboBox* cbRecIndexDisable = nullptr;
    QComboBox* cbRecIndexHide = nullptr;
    QCheckBox* cbRecScaleByTd = nullptr;
    QCheckBox* cbRecAskMarkerColor = nullptr;
    QCheckBox* cbRecAskMarkerComent = nullptr;
    QCheckBox* cbRecDisableAverage = nullptr;
    QCheckBox* cbRecFastCalc = nullptr;
    QCheckBox* cbRecDrawNoAllPoints = nullptr;
    QCheckBox* cbRecHideTime = nullptr;
    QCheckBox* cbRecDynamicMem = nullptr;
    QCheckBox* cbRecTimeInUs = nullptr;

    QComboBox* cbLANFdBufIndex = nullptr;
    QSpinBox* udLANBufPreTrigger = nullptr;
    QLineEdit* edLANBufPreTrigger = nullptr;
    QComboBox* cbLANPipeSize = nullptr;
    QSpinBox* udLANPipePreTrigger = nullptr;
    QLineEdit* edLANPipePreTrigger = nullptr;
    std::array<QCheckBox*, 8> cbLANUseCh{};
    QComboBox* cbLANChExtSmpl = nullptr;
    QCheckBox* cbLanBusAInverse = nullptr;
    QCheckBox* cbLanAvtoOnTrigger = nullptr;
    QCheckBox* cbLanPassGroupFind = nullptr;
    QCheckBox* cbLANViewIcon = nullptr;

  public slots:
    // OK: every control into its option; a mask of no lines is refused and keeps the old one.
    void spOKClick();
    // Cancel: every option back into its control.
    void spCancelClick();

  protected:
    // Every way of closing passes here: an unanswered close acts as Cancel, and the dialog
    // stays open while no line of bus A is switched on.
    void done(int result) override;

  private:
    std::function<void(bool)> wireLoopBack_;
    bool loopBack_ = false;
    QWidget* buildOscPage();
    QWidget* buildFftPage();
    QWidget* buildRecPage();
    QWidget* buildLanPage();
    bool anyLineChecked() const;

    OptionVariables& options_;
    const MessageTable& messages_;
    UserMessages& boxes_;
    bool answered_ = false;
};

} // namespace tesmar
