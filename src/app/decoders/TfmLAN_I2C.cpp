#include "TfmLAN_I2C.h"

#include "DecoderGridEditing.h"
#include "app/pages/logic/LanPage.h"
#include "decoders/DecoderText.h"
#include "decoders/I2cDecoder.h"
#include "decoders/I2cEncoder.h"
#include "logic/GeneratorData.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tesmar {

TfmLAN_I2C::TfmLAN_I2C(const DecoderContext& context, QWidget* parent)
    : DecoderWindow(context, "I2C", parent) {
    setObjectName("fmLAN_I2C");
    gbParams = new QGroupBox("Параметры", this);
    cbChSCL = addChannelList("cbChSCL", "SCL");
    cbChSDA = addChannelList("cbChSDA", "SDA");
    cbBaud = new QComboBox(this);
    cbBaud->setObjectName("cbBaud");
    cbBaud->setEditable(true);
    cbBaud->addItems({"100", "400"});
    cbBaud->setCurrentText("100");
    cbBaud->lineEdit()->setMaxLength(3);
    cbBaud->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), cbBaud));
    cbAvtoFill = new QCheckBox("Авто", this);
    cbAvtoFill->setObjectName("cbAvtoFill");

    auto* rate = new QHBoxLayout;
    rate->addWidget(cbBaud);
    rate->addWidget(new QLabel("кбит/с", this));
    auto* form = new QFormLayout(gbParams);
    form->addRow("Канал синхронизации (SCL)", cbChSCL);
    form->addRow("Канал данных (SDA)", cbChSDA);
    form->addRow("Скорость передачи", rate);
    form->addRow(cbAvtoFill);

    spbtDeCode = addButton("spbtDeCode", "Декодировать",
                           "Декодировать временные диаграммы (SDA) и заполнить таблицу, где маркер 1 должен "
                           "указывать на \"старт\"");
    spbtCode =
        addButton("spbtCode", "Кодировать",
                  "Преобразовать данные из таблицы (адрес, R/W, данные) во временную диаграмму, маркер 1 "
                  "определяет начало диаграммы");

    strgridResult = makeGrid([this] { return I2cDecoderTable({}, ctx_.table).headers; });
    strgridResult->setToolTip("Результаты декодирования, двойной щелчок по ячейке переведет маркер 1 на "
                              "соответствующий элемент (бит) последовательности");
    auto* editing = new DecoderGridEditing(strgridResult,
                                           {{I2cAddress, {"[01]{0,7}", "0000000"}},
                                            {I2cDirection, {"[RWrw]?", "W"}},
                                            {I2cData, {"[01]{0,8}", "00000000"}}},
                                           cbAvtoFill);
    connect(editing, &DecoderGridEditing::enterPressed, this, &TfmLAN_I2C::normaliseCell);

    layOut(gbParams, {spbtDeCode, spbtCode}, strgridResult);

    connect(spbtDeCode, &QPushButton::clicked, this, &TfmLAN_I2C::spbtDeCodeClick);
    connect(spbtCode, &QPushButton::clicked, this, &TfmLAN_I2C::spbtCodeClick);
    connect(strgridResult, &QTableWidget::cellDoubleClicked, this, &TfmLAN_I2C::strgridResultDblClick);
}

void TfmLAN_I2C::showGrid(const I2cGrid& grid) {
    grid_ = grid;
    fillGrid(strgridResult, I2cDecoderTable(grid_, ctx_.table));
}

void TfmLAN_I2C::spbtDeCodeClick() {
    I2cDecodeRequest request;
    request.scl = channelOf(cbChSCL);
    request.sda = channelOf(cbChSDA);
    request.marker1 = ctx_.page.markerTime(0);
    const I2cDecodeResult result = DecodeI2c(ctx_.page.channelQueries(), request);
    // What was decoded before the failure stays in the grid.
    showGrid(result.grid);
    if (result.error)
        showError(*result.error);
}

void TfmLAN_I2C::spbtCodeClick() {
    I2cEncodeRequest request;
    request.scl = channelOf(cbChSCL);
    request.sda = channelOf(cbChSDA);
    request.rateText = cbBaud->currentText().toStdString();
    request.marker1 = ctx_.page.markerTime(0);
    for (int row = 1; row <= strgridResult->rowCount(); ++row) {
        I2cEncodeRow r{cellText(strgridResult, row, I2cAddress).trimmed().toStdString(),
                       cellText(strgridResult, row, I2cDirection).trimmed().toStdString(),
                       cellText(strgridResult, row, I2cData).trimmed().toStdString()};
        if (r.data.empty())
            break;
        request.rows.push_back(std::move(r));
    }
    const I2cEncodeResult result = EncodeI2c(generatorTarget(), request);
    if (result.error) {
        if (result.error->key == Msg::strLanUartErrBaud)
            cbBaud->lineEdit()->selectAll();
        else if (result.error->key == Msg::strLanI2cRngBaud)
            cbBaud->setFocus();
        showError(*result.error);
        return;
    }
    showGrid(result.grid);
    ctx_.page.generatorEdited(0, GeneratorData::kSampleCount - 1);
}

// Enter: the address as 7 binary digits, the direction in upper case, the data as 8 digits.
void TfmLAN_I2C::normaliseCell(int row, int column) {
    const std::string typed = cellText(strgridResult, row + 1, column).toStdString();
    QString text = QString::fromStdString(typed).toUpper();
    if (column == I2cAddress)
        text = QString::fromStdString(BinaryDigits(ParseBinaryCell(typed), 8).substr(1));
    else if (column == I2cData)
        text = QString::fromStdString(BinaryDigits(ParseBinaryCell(typed), 8));
    setCellText(strgridResult, row + 1, column, text);
    MoveDown(strgridResult, row, column);
}

void TfmLAN_I2C::strgridResultDblClick(int row, int column) {
    if (column < 1 || row >= grid_.count || row >= int(grid_.rows.size()))
        return;
    const double time = grid_.rows[static_cast<std::size_t>(row)].times[column];
    if (time != kNoElementTime)
        ctx_.page.ShowTime(channelOf(cbChSDA), time, 0);
}

} // namespace tesmar
