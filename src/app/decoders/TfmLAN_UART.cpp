#include "TfmLAN_UART.h"

#include "DecoderGridEditing.h"
#include "app/UserMessages.h"
#include "app/pages/logic/LanPage.h"
#include "decoders/DecoderText.h"
#include "decoders/UartBaudEstimate.h"
#include "decoders/UartDecoder.h"
#include "decoders/UartEncoder.h"
#include "logic/GeneratorData.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tesmar {

TfmLAN_UART::TfmLAN_UART(const DecoderContext& context, QWidget* parent)
    : DecoderWindow(context, "UART", parent) {
    setObjectName("fmLAN_UART");
    gbParams = new QGroupBox("Параметры", this);
    cbChTxD = addChannelList("cbChTxD", "TXD");
    cbChRxD = addChannelList("cbChRxD", "RXD");
    cbBaud = new QComboBox(this);
    cbBaud->setObjectName("cbBaud");
    cbBaud->setEditable(true);
    for (int baud : kUartBaudList)
        cbBaud->addItem(QString::number(baud));
    cbBaud->setCurrentText("9600");
    cbBaud->lineEdit()->setMaxLength(6);
    cbBaud->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), cbBaud));
    cbDataBit = new QComboBox(this);
    cbDataBit->setObjectName("cbDataBit");
    cbDataBit->addItems({"5", "6", "7", "8"});
    cbDataBit->setCurrentIndex(3);
    cbCRCBit = new QComboBox(this);
    cbCRCBit->setObjectName("cbCRCBit");
    cbCRCBit->addItems({"Нет", "Чет", "Нечет"});
    cbStopBit = new QComboBox(this);
    cbStopBit->setObjectName("cbStopBit");
    cbStopBit->addItems({"1", "2"});
    cbAvtoFill = new QCheckBox("Авто", this);
    cbAvtoFill->setObjectName("cbAvtoFill");

    auto* form = new QFormLayout(gbParams);
    form->addRow("Канал передачи данных (TxD)", cbChTxD);
    form->addRow("Канал  приема  данных  (RxD)", cbChRxD);
    form->addRow("Скорость", cbBaud);
    form->addRow("Бит данных", cbDataBit);
    form->addRow("Четность", cbCRCBit);
    form->addRow("Стоп биты", cbStopBit);
    form->addRow(cbAvtoFill);

    spbtCalcBaud =
        addButton("spbtCalcBaud", "Скорость",
                  "Нажмите для приблизительного расчета скорости обмена на основании данных по каналу RxD");
    spbtDeCode =
        addButton("spbtDeCode", "Декодировать",
                  "Декодировать временные диаграммы (RxD и TxD) и заполнить таблицу, где маркер 1(2) должен "
                  "указывать на \"старт бит\" RxD (TxD)");
    spbtCode =
        addButton("spbtCode", "Кодировать",
                  "Преобразовать данные (TxD) из таблицы в соответствующую временную диаграмму, маркер 1 "
                  "определяет начало диаграммы");

    strgridResult = makeGrid([this] { return UartTable({}, ctx_.table).headers; });
    strgridResult->setToolTip(
        "Результаты декодирования, двойной щелчок по ячейке RxD (TxD) переведет маркер 1 в "
        "начало соответствующего байта");
    const CellRule bin{"[01]{0,8}", "00000000"}, hex{"[0-9A-Fa-f]{0,2}", "00"};
    auto* editing =
        new DecoderGridEditing(strgridResult, {{1, bin}, {2, hex}, {3, bin}, {4, hex}}, cbAvtoFill);
    keepTypedBytes(3, "TxD");
    connect(editing, &DecoderGridEditing::enterPressed, this, [this](int row, int column) {
        NormaliseBytePair(strgridResult, row, column, column <= 2 ? 1 : 3);
    });

    layOut(gbParams, {spbtCalcBaud, spbtDeCode, spbtCode}, strgridResult);

    connect(spbtCalcBaud, &QPushButton::clicked, this, &TfmLAN_UART::spbtCalcBaudClick);
    connect(spbtDeCode, &QPushButton::clicked, this, &TfmLAN_UART::spbtDeCodeClick);
    connect(spbtCode, &QPushButton::clicked, this, &TfmLAN_UART::spbtCodeClick);
    connect(strgridResult, &QTableWidget::cellDoubleClicked, this, &TfmLAN_UART::strgridResultDblClick);
    connect(cbStopBit, &QComboBox::currentIndexChanged, this, &TfmLAN_UART::cbStopBitChange);
    connect(cbCRCBit, &QComboBox::currentIndexChanged, this, &TfmLAN_UART::cbCRCBitChange);
}

// Two stop bits and parity exclude each other.
void TfmLAN_UART::cbStopBitChange() {
    if (cbStopBit->currentIndex() == 1 && cbCRCBit->currentIndex() != 0)
        cbCRCBit->setCurrentIndex(0);
}

void TfmLAN_UART::cbCRCBitChange() {
    if (cbCRCBit->currentIndex() != 0 && cbStopBit->currentIndex() == 1)
        cbStopBit->setCurrentIndex(0);
}

void TfmLAN_UART::spbtCalcBaudClick() {
    const int rxd = channelOf(cbChRxD);
    const auto baud = EstimateUartBaud(ctx_.page.channelQueries(), rxd, cbChRxD->currentText().toStdString());
    if (const auto* message = std::get_if<DecoderMessage>(&baud)) {
        showError(*message);
        return;
    }
    cbBaud->setCurrentText(QString::number(std::get<long long>(baud)));
}

int TfmLAN_UART::checkedBaud() {
    const auto baud = ParseRateText(cbBaud->currentText().toStdString(), kUartMinBaud, kUartMaxBaud,
                                    Msg::strLanUartRngBaud);
    if (const auto* message = std::get_if<DecoderMessage>(&baud)) {
        if (message->key == Msg::strLanUartRngBaud)
            cbBaud->setFocus();
        else
            cbBaud->lineEdit()->selectAll();
        showError(*message);
        return 0;
    }
    return std::get<int>(baud);
}

void TfmLAN_UART::spbtDeCodeClick() {
    const int baud = checkedBaud();
    if (baud == 0)
        return;
    const bool decodeTxd = mayReplaceTyped();
    rxdTimes_.clear();
    if (decodeTxd)
        txdTimes_.clear();
    gbParams->setFocus();
    UartDecodeRequest request;
    request.rxd = channelOf(cbChRxD);
    if (decodeTxd)
        request.txd = channelOf(cbChTxD);
    else
        request.txd.reset();
    request.settings = {baud, cbDataBit->currentIndex() + 5,
                        static_cast<UartParity>(cbCRCBit->currentIndex()), cbStopBit->currentIndex() + 1};
    // Both lines from marker 1: one line chosen for both decodes the same in both columns.
    request.marker1 = ctx_.page.markerTime(0);
    const UartDecodeResult result = DecodeUart(ctx_.page.channelQueries(), request);
    rxdTimes_ = result.rxd.startTimes;
    if (decodeTxd)
        txdTimes_ = result.txd.startTimes;

    fillGrid(strgridResult, UartTable(result, ctx_.table), !decodeTxd);
    showErrors(result.messages);
}

void TfmLAN_UART::spbtCodeClick() {
    UartEncodeRequest request;
    request.txd = channelOf(cbChTxD);
    request.baudText = cbBaud->currentText().toStdString();
    request.settings = {9600, cbDataBit->currentIndex() + 5,
                        static_cast<UartParity>(cbCRCBit->currentIndex()), cbStopBit->currentIndex() + 1};
    request.marker1 = ctx_.page.markerTime(0);
    // Bytes from the TxD HEX column down to its first empty cell; only frames that begin inside
    // the generator data matter, so there is no point reading more rows than it has samples.
    for (int row = 1; row <= strgridResult->rowCount() && row <= GeneratorData::kSampleCount; ++row) {
        const std::string cell = TrimBlanks(cellText(strgridResult, row, 4).toStdString());
        if (cell.empty())
            break;
        request.bytes.push_back(static_cast<std::uint8_t>(ParseHexCell(cell)));
    }
    txdTimes_.clear();
    const UartEncodeResult result = EncodeUart(generatorTarget(), request);
    if (result.error) {
        if (result.error->key == Msg::strLanUartErrBaud)
            cbBaud->lineEdit()->selectAll();
        else if (result.error->key == Msg::strLanUartRngBaud)
            cbBaud->setFocus();
        showError(*result.error);
        return;
    }
    txdTimes_ = result.txdTimes;
    ctx_.page.generatorEdited(0, GeneratorData::kSampleCount - 1);
}

void TfmLAN_UART::strgridResultDblClick(int row, int column) {
    const std::size_t r = static_cast<std::size_t>(row); // grid row row + 1, its entry row
    if ((column == 1 || column == 2) && r < rxdTimes_.size())
        ctx_.page.ShowTime(channelOf(cbChRxD), rxdTimes_[r], 0);
    else if ((column == 3 || column == 4) && r < txdTimes_.size())
        ctx_.page.ShowTime(channelOf(cbChTxD), txdTimes_[r], 0);
}

} // namespace tesmar
