#pragma once
// The I2C window: decodes SCL and SDA of the logic capture into transactions and plays the
// address, direction and data columns of its grid into the generator data.

#include "DecoderWindow.h"
#include "decoders/I2cTable.h"

class QCheckBox;
class QGroupBox;
class QPushButton;

namespace tesmar {

class TfmLAN_I2C : public DecoderWindow {
    Q_OBJECT
public:
    TfmLAN_I2C(const DecoderContext& context, QWidget* parent = nullptr);

    QGroupBox* gbParams = nullptr;
    QComboBox* cbChSCL = nullptr;
    QComboBox* cbChSDA = nullptr;
    QComboBox* cbBaud = nullptr;
    QCheckBox* cbAvtoFill = nullptr;
    QPushButton* spbtDeCode = nullptr;
    QPushButton* spbtCode = nullptr;
    QTableWidget* strgridResult = nullptr;

public slots:
    void spbtDeCodeClick();
    void spbtCodeClick();
    void strgridResultDblClick(int row, int column);

private:
    void normaliseCell(int row, int column);
    void showGrid(const I2cGrid& grid);

    I2cGrid grid_; // the element times of the rows shown
};

} // namespace tesmar
