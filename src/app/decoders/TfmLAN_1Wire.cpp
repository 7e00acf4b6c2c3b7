#include "TfmLAN_1Wire.h"

#include "app/pages/logic/LanPage.h"
#include "decoders/OneWireDecoder.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tesmar {

TfmLAN_1Wire::TfmLAN_1Wire(const DecoderContext& context, QWidget* parent)
    : DecoderWindow(context, "1-Wire", parent) {
    setObjectName("fmLAN_1Wire");
    gbParams = new QGroupBox("Параметры", this);
    cbChDQ = addChannelList("cbChDQ", "DQ");
    cbDevice = new QComboBox(this);
    cbDevice->setObjectName("cbDevice");
    cbDevice->addItems({"Не определено", "DS18x20/DS1822 - термометр"});
    auto* form = new QFormLayout(gbParams);
    form->addRow("Канал данных (DQ)", cbChDQ);
    form->addRow("Устройство", cbDevice);

    spbtDeCode = addButton("spbtDeCode", "Декодировать",
                           "Декодировать временную диаграмму (DQ) и заполнить таблицу, где маркер 1 должен "
                           "указывать на \"сброс\"");

    strgridResult = makeGrid([this] { return OneWireTable({}, ctx_.table).headers; });
    strgridResult->setEditTriggers(QAbstractItemView::NoEditTriggers);
    strgridResult->setSelectionBehavior(QAbstractItemView::SelectRows);

    layOut(gbParams, {spbtDeCode}, strgridResult);

    connect(spbtDeCode, &QPushButton::clicked, this, &TfmLAN_1Wire::spbtDeCodeClick);
    connect(strgridResult, &QTableWidget::cellDoubleClicked, this, &TfmLAN_1Wire::strgridResultDblClick);
}

void TfmLAN_1Wire::spbtDeCodeClick() {
    OneWireRequest request;
    request.dq = channelOf(cbChDQ);
    request.device = cbDevice->currentIndex() == 1 ? OneWireDevice::Thermometer : OneWireDevice::Unknown;
    request.marker1 = ctx_.page.markerTime(0);
    const OneWireDecodeResult result = DecodeOneWire(ctx_.page.channelQueries(), request);
    times_.clear();
    for (const OneWireRow& row : result.rows)
        times_.push_back(row.time);
    fillGrid(strgridResult, OneWireTable(result, ctx_.table));
    if (result.error)
        showError(*result.error);
}

void TfmLAN_1Wire::strgridResultDblClick(int row, int column) {
    if (column >= 1 && static_cast<std::size_t>(row) < times_.size())
        ctx_.page.ShowTime(channelOf(cbChDQ), times_[static_cast<std::size_t>(row)], 0);
}

} // namespace tesmar
