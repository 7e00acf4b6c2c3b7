#pragma once
// The UART window: decodes the RxD and TxD lines of the logic capture into bytes, estimates the
// baud rate and plays the TxD column of its grid into the generator data.

#include "DecoderWindow.h"

#include <vector>

class QCheckBox;
class QGroupBox;
class QPushButton;

namespace tesmar {

class TfmLAN_UART : public DecoderWindow {
    Q_OBJECT
public:
    TfmLAN_UART(const DecoderContext& context, QWidget* parent = nullptr);

    QGroupBox* gbParams = nullptr;
    QComboBox* cbChTxD = nullptr;
    QComboBox* cbChRxD = nullptr;
    QComboBox* cbBaud = nullptr;
    QComboBox* cbDataBit = nullptr;
    QComboBox* cbCRCBit = nullptr;
    QComboBox* cbStopBit = nullptr;
    QCheckBox* cbAvtoFill = nullptr;
    QPushButton* spbtCalcBaud = nullptr;
    QPushButton* spbtDeCode = nullptr;
    QPushButton* spbtCode = nullptr;
    QTableWidget* strgridResult = nullptr;

public slots:
    void spbtCalcBaudClick();
    void spbtDeCodeClick();
    void spbtCodeClick();
    void strgridResultDblClick(int row, int column);
    void cbStopBitChange();
    void cbCRCBitChange();

private:
    // The baud text as a valid rate, or 0 after its message was shown.
    int checkedBaud();

    std::vector<double> rxdTimes_;
    std::vector<double> txdTimes_;
};

} // namespace tesmar
