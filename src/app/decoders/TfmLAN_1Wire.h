#pragma once
// The 1-Wire window: decodes the DQ line of the logic capture into reset and presence pulses and
// bytes, naming the commands of a known device family.

#include "DecoderWindow.h"

#include <vector>

class QGroupBox;
class QPushButton;

namespace tesmar {

class TfmLAN_1Wire : public DecoderWindow {
    Q_OBJECT
public:
    TfmLAN_1Wire(const DecoderContext& context, QWidget* parent = nullptr);

    QGroupBox* gbParams = nullptr;
    QComboBox* cbChDQ = nullptr;
    QComboBox* cbDevice = nullptr;
    QPushButton* spbtDeCode = nullptr;
    QTableWidget* strgridResult = nullptr;

public slots:
    void spbtDeCodeClick();
    void strgridResultDblClick(int row, int column);

private:
    std::vector<double> times_; // start of each row's element
};

} // namespace tesmar
