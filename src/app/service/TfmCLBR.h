#pragma once
// The calibration window `fmClbr`: reference measurements in a table, a new pair for one channel
// and range computed from them, tried, written to the instrument and kept in a text file.

#include "device/Calibration.h"
#include "dsp/SignalParams.h"
#include "text/MessageKeys.h"

#include <QDialog>

#include <functional>
#include <optional>

class QCheckBox;
class QCustomPlot;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;
class QToolButton;

namespace tesmar {

class DialogFolders;
class MessageTable;
class UsbSession;
class UserMessages;
struct CalibrationSheet;

struct CalibrationWindowEnvironment {
    UsbSession& session;
    CalibrationSet& pairs;                        // the pairs in effect
    std::optional<CalibrationRecord>& record;     // the instrument's record as last read
    const MessageTable& table;
    UserMessages& messages;
    DialogFolders& folders;
    // The oscilloscope's last general parameters of channel 0 (A) or 1 (B).
    std::function<std::optional<SignalParams>(int channel)> oscParams;
};

class TfmCLBR : public QDialog {
    Q_OBJECT
public:
    static constexpr int kRows = 18;
    enum Column { ColNumber = 0, ColMeasured = 1, ColCode = 2, ColReference = 3, ColCorrected = 4 };

    explicit TfmCLBR(CalibrationWindowEnvironment environment, QWidget* parent = nullptr);

    bool openFile(const QString& path);
    bool saveFile(const QString& path);

    QRadioButton* rbCh1K = nullptr;
    QRadioButton* rbCh1Kx10 = nullptr;
    QRadioButton* rbCh2K = nullptr;
    QRadioButton* rbCh2Kx10 = nullptr;
    QLineEdit* edU0 = nullptr;
    QLineEdit* edK = nullptr;
    QLineEdit* edU0_ = nullptr;
    QLineEdit* edK_ = nullptr;
    QCheckBox* cbByEndPoint = nullptr;
    QTableWidget* strgridData = nullptr;
    QLineEdit* edDeviceType = nullptr;
    QLineEdit* edDeviceNum = nullptr;
    QLabel* lbDeviceType = nullptr;
    QLabel* lbDeviceNum = nullptr;
    QLabel* lbErrorMeasured = nullptr;
    QLabel* lbErrorCorrected = nullptr;
    QCustomPlot* chCalibration = nullptr;
    QToolButton* spbtGetUmet = nullptr;
    QPushButton* btCalibration = nullptr;
    QPushButton* btSetClbr = nullptr;
    QPushButton* btSet = nullptr;
    QPushButton* btWrClbr = nullptr;
    QPushButton* btRdClbr = nullptr;
    QPushButton* btDefK = nullptr;
    QPushButton* btSetKToNext = nullptr;
    QPushButton* btGetKFromNext = nullptr;
    QToolButton* spbtClearAll = nullptr;
    QToolButton* spbtClearCur = nullptr;
    QToolButton* spbtOpen = nullptr;
    QToolButton* spbtSave = nullptr;

public slots:
    void FormShow();
    void rbCh1KClick();
    void strgridDataKeyPress();
    void spbtGetUmetClick();
    void btCalibrationClick();
    void btSetClbrClick();
    void btSetClick();
    void btWrClbrClick();
    void btRdClbrClick();
    void btDefKClick();
    void btSetKToNextClick();
    void btGetKFromNextClick();
    void spbtClearAllClick();
    void spbtClearCurClick();
    void spbtOpenClick();
    void spbtSaveClick();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void createControls();
    QWidget* createPairPanel();
    QWidget* createDevicePanel();
    QWidget* createButtonPanel();
    void createChart();
    // The selected channel (0 A, 1 B) and range, and the pair in effect for them.
    int selectedChannel() const;
    AnalogRange selectedRange() const;
    CalibrationPair& selectedPair();
    CalibrationPair& otherChannelPair();
    void showPair(const CalibrationPair& pair, QLineEdit* zero, QLineEdit* k);
    CalibrationPair typedPair(QLineEdit* zero, QLineEdit* k) const;
    void showDevice();
    QString cellText(int row, int column) const;
    void setCell(int row, int column, const QString& text);
    void showFit(const std::vector<double>& measured, const std::vector<double>& reference,
                 const struct CalibrationFit& fit);
    CalibrationSheet sheet() const;
    // A decimal number in the user's notation; throws with the conversion message otherwise.
    double number(const QString& text) const;
    void run(const std::function<void()>& action);
    QString msg(Msg key) const;
    // The texts composed from the message table: column titles, curve names, error readouts.
    void showComposedTexts();

    CalibrationWindowEnvironment env_;
    CalibrationPair loadedOldPair_; // the old pair as last loaded, read or set
    std::optional<std::pair<double, double>> fitErrors_; // measured and corrected, of the last fit
};

} // namespace tesmar
