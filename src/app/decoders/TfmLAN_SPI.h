#pragma once
// The SPI window: decodes SCK, MOSI and MISO of the logic capture into byte pairs and plays the
// MOSI column of its grid into the generator data as clock and data.

#include "DecoderWindow.h"

#include <vector>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace tesmar {

class TfmLAN_SPI : public DecoderWindow {
    Q_OBJECT
public:
    TfmLAN_SPI(const DecoderContext& context, QWidget* parent = nullptr);

    QGroupBox* gbParams = nullptr;
    QComboBox* cbChMOSI = nullptr;
    QComboBox* cbChMISO = nullptr;
    QComboBox* cbChSCK = nullptr;
    QLineEdit* edBaud = nullptr;
    QComboBox* cbPolarity = nullptr;
    QComboBox* cbPhase = nullptr;
    QComboBox* cbOrder = nullptr;
    QCheckBox* cbAvtoFill = nullptr;
    QPushButton* spbtDeCode = nullptr;
    QPushButton* spbtCode = nullptr;
    QTableWidget* strgridResult = nullptr;

public slots:
    void spbtDeCodeClick();
    void spbtCodeClick();
    void strgridResultDblClick(int row, int column);

private:
    std::vector<double> misoTimes_;
    std::vector<double> mosiTimes_;
};

} // namespace tesmar
