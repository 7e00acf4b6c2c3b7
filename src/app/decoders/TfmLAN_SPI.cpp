#include "TfmLAN_SPI.h"

#include "DecoderGridEditing.h"
#include "app/pages/logic/LanPage.h"
#include "decoders/DecoderText.h"
#include "decoders/SpiDecoder.h"
#include "decoders/SpiEncoder.h"
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

TfmLAN_SPI::TfmLAN_SPI(const DecoderContext& context, QWidget* parent)
    : DecoderWindow(context, "SPI", parent) {
    setObjectName("fmLAN_SPI");
    gbParams = new QGroupBox("Параметры", this);
    cbChMOSI = addChannelList("cbChMOSI", "MOSI");
    cbChMISO = addChannelList("cbChMISO", "MISO");
    cbChSCK = addChannelList("cbChSCK", "SCK");
    edBaud = new QLineEdit("100", this);
    edBaud->setObjectName("edBaud");
    // Four digits, so that the top of the range (1000 kHz) can be typed.
    edBaud->setMaxLength(4);
    edBaud->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edBaud));
    edBaud->setToolTip(
        "Задайте тактовую частоту (5-1000 кГц), необходимо только для генерации временных диаграмм");
    cbPolarity = new QComboBox(this);
    cbPolarity->setObjectName("cbPolarity");
    cbPolarity->addItems({"низко", "высоко"});
    cbPhase = new QComboBox(this);
    cbPhase->setObjectName("cbPhase");
    cbPhase->addItems({"1-й фронт SCK", "2-й фронт SCK"});
    cbOrder = new QComboBox(this);
    cbOrder->setObjectName("cbOrder");
    cbOrder->addItems({"MSB", "LSB"});
    cbAvtoFill = new QCheckBox("Авто", this);
    cbAvtoFill->setObjectName("cbAvtoFill");

    auto* clock = new QHBoxLayout;
    clock->addWidget(edBaud);
    clock->addWidget(new QLabel("кГц", this));
    auto* form = new QFormLayout(gbParams);
    form->addRow("Канал передачи (MOSI)", cbChMOSI);
    form->addRow("Канал приема (MISO)", cbChMISO);
    form->addRow("Канал синхронизации (SCK)", cbChSCK);
    form->addRow("Тактовая частота", clock);
    form->addRow("Полярность SCK", cbPolarity);
    form->addRow("Фаза SCK", cbPhase);
    form->addRow("Порядок данных", cbOrder);
    form->addRow(cbAvtoFill);

    spbtDeCode =
        addButton("spbtDeCode", "Декодировать",
                  "Декодировать временные диаграммы (MISO и MOSI) и заполнить таблицу, где маркер 1 должен "
                  "указывать на начало байта");
    spbtCode =
        addButton("spbtCode", "Кодировать",
                  "Преобразовать данные (MOSI) из таблицы в соответствующую временную диаграмму, маркер 1 "
                  "определяет начало диаграммы");

    strgridResult = makeGrid([this] { return SpiTable({}, ctx_.table).headers; });
    const CellRule bin{"[01]{0,8}", "00000000"}, hex{"[0-9A-Fa-f]{0,2}", "00"};
    auto* editing =
        new DecoderGridEditing(strgridResult, {{1, bin}, {2, hex}, {3, bin}, {4, hex}}, cbAvtoFill);
    connect(editing, &DecoderGridEditing::enterPressed, this, [this](int row, int column) {
        NormaliseBytePair(strgridResult, row, column, column <= 2 ? 1 : 3);
    });
    keepTypedBytes(3, "MOSI");

    layOut(gbParams, {spbtDeCode, spbtCode}, strgridResult);

    connect(spbtDeCode, &QPushButton::clicked, this, &TfmLAN_SPI::spbtDeCodeClick);
    connect(spbtCode, &QPushButton::clicked, this, &TfmLAN_SPI::spbtCodeClick);
    connect(strgridResult, &QTableWidget::cellDoubleClicked, this, &TfmLAN_SPI::strgridResultDblClick);
}

void TfmLAN_SPI::spbtDeCodeClick() {
    // Bytes typed for encoding stay unless the user lets the decode replace them.
    const bool decodeMosi = mayReplaceTyped();
    SpiDecodeRequest request;
    request.sck = channelOf(cbChSCK);
    request.mosi = channelOf(cbChMOSI);
    request.miso = channelOf(cbChMISO);
    request.settings = {cbPolarity->currentIndex(), cbPhase->currentIndex(), cbOrder->currentIndex() == 0};
    request.marker1 = ctx_.page.markerTime(0);
    const SpiDecodeResult result = DecodeSpi(ctx_.page.channelQueries(), request);
    if (result.error) {
        showError(*result.error);
        return;
    }
    misoTimes_ = result.misoTimes;
    if (decodeMosi)
        mosiTimes_ = result.mosiTimes;
    SpiDecodeResult shown = result;
    if (!decodeMosi) {
        shown.mosi.clear();
        shown.mosiTimes.clear();
    }
    fillGrid(strgridResult, SpiTable(shown, ctx_.table), !decodeMosi);
}

void TfmLAN_SPI::spbtCodeClick() {
    SpiEncodeRequest request;
    request.mosi = channelOf(cbChMOSI);
    request.sck = channelOf(cbChSCK);
    request.clockText = edBaud->text().toStdString();
    request.settings = {cbPolarity->currentIndex(), cbPhase->currentIndex(), cbOrder->currentIndex() == 0};
    request.marker1 = ctx_.page.markerTime(0);
    // Bytes from the MOSI HEX column down to its first empty cell; no byte starts later than the
    // generator data's last sample.
    for (int row = 1; row <= strgridResult->rowCount() && row <= GeneratorData::kSampleCount; ++row) {
        const std::string cell = TrimBlanks(cellText(strgridResult, row, 4).toStdString());
        if (cell.empty())
            break;
        request.bytes.push_back(static_cast<std::uint8_t>(ParseHexCell(cell)));
    }
    const SpiEncodeResult result = EncodeSpi(generatorTarget(), request);
    if (result.error) {
        if (result.error->key == Msg::strLanUartErrBaud)
            edBaud->selectAll();
        else if (result.error->key == Msg::strLanSpiRngBaud)
            edBaud->setFocus();
        showError(*result.error);
        return;
    }
    mosiTimes_ = result.mosiTimes;
    ctx_.page.generatorEdited(0, GeneratorData::kSampleCount - 1);
}

void TfmLAN_SPI::strgridResultDblClick(int row, int column) {
    const std::size_t r = static_cast<std::size_t>(row);
    if ((column == 1 || column == 2) && r < misoTimes_.size())
        ctx_.page.ShowTime(channelOf(cbChMISO), misoTimes_[r], 0);
    else if ((column == 3 || column == 4) && r < mosiTimes_.size())
        ctx_.page.ShowTime(channelOf(cbChMOSI), mosiTimes_[r], 0);
}

} // namespace tesmar
