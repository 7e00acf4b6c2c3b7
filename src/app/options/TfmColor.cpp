#include "TfmColor.h"

#include "ChartColouring.h"
#include "ColourPicker.h"
#include "app/BgrColour.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>
#include <qcustomplot.h>

#include <cmath>
#include <numbers>

namespace tesmar {

TfmColor::TfmColor(Charts charts, QWidget* parent) : QDialog(parent), charts_(std::move(charts))
{
    setObjectName("fmColor");
    setWindowTitle("Настройка цвета");
    setModal(true);

    auto* colourGroup = new QGroupBox("Цвет", this);
    colourGroup->setObjectName("grboxColor");
    auto* grid = new QGridLayout(colourGroup);
    int row = 0;
    auto picker = [&](const char* name, const char* caption) {
        auto* p = new ColourPicker(colourGroup);
        p->setObjectName(name);
        auto* label = new QLabel(caption, colourGroup);
        label->setObjectName(QString("lb") + QString(name).mid(2));
        label->setBuddy(p);
        grid->addWidget(label, row, 0);
        grid->addWidget(p, row, 1);
        ++row;
        connect(p, &ColourPicker::colourChanged, this, &TfmColor::cbFonChange);
        return p;
    };
    cbFon = picker("cbFon", "Фон:");
    cbChA = picker("cbChA", "Канал А:");
    cbScaleChA = picker("cbScaleChA", "Шкала канала A:");
    cbChB = picker("cbChB", "Канал B:");
    cbScaleChB = picker("cbScaleChB", "Шкала канала B:");
    cbGrid = picker("cbGrid", "Сетка:");
    cbOutLineGrid = picker("cbOutLineGrid", "Контур сетки:");
    cbX = picker("cbX", "Ось X:");
    cbScaleX = picker("cbScaleX", "Шкала оси X:");
    auto* widthLabel = new QLabel("Толщина линии:", colourGroup);
    widthLabel->setObjectName("lbWidth");
    udWidth = new QSpinBox(colourGroup);
    udWidth->setObjectName("udWidth");
    udWidth->setRange(kMinLineWidth, kMaxLineWidth);
    udWidth->setValue(1);
    // The number changes only through the arrows.
    if (auto* edit = udWidth->findChild<QLineEdit*>()) {
        edit->setObjectName("edWidth");
        edit->setReadOnly(true);
    }
    auto* unit = new QLabel("пикселей", colourGroup);
    unit->setObjectName("lbWidthUnit");
    auto* widthRow = new QHBoxLayout;
    widthRow->addWidget(udWidth);
    widthRow->addWidget(unit);
    grid->addWidget(widthLabel, row, 0);
    grid->addLayout(widthRow, row, 1);

    timerChangeWidth = new QTimer(this);
    timerChangeWidth->setObjectName("timerChangeWidth");
    timerChangeWidth->setSingleShot(true);
    timerChangeWidth->setInterval(100);
    connect(udWidth, &QSpinBox::valueChanged, timerChangeWidth, qOverload<>(&QTimer::start));
    connect(timerChangeWidth, &QTimer::timeout, this, &TfmColor::timerChangeWidthTimer);

    auto* previewGroup = new QGroupBox("Просмотр", this);
    previewGroup->setObjectName("grboxPreView");
    auto* previewLayout = new QVBoxLayout(previewGroup);
    chColor = new QCustomPlot(previewGroup);
    chColor->setObjectName("chColor");
    chColor->setMinimumSize(320, 240);
    previewLayout->addWidget(chColor);
    buildPreview();

    btOK = new QPushButton("OK", this);
    btOK->setObjectName("btOK");
    btOK->setDefault(true);
    btOK->setToolTip("Применить изменения");
    btCancel = new QPushButton("Отмена", this);
    btCancel->setObjectName("btCancel");
    btCancel->setToolTip("Отменить изменения");
    connect(btOK, &QPushButton::clicked, this, [this] {
        btOKClick();
        accept();
    });
    connect(btCancel, &QPushButton::clicked, this, [this] {
        btCancelClick();
        reject();
    });

    auto* top = new QHBoxLayout;
    top->addWidget(colourGroup);
    top->addWidget(previewGroup, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btOK);
    buttons->addWidget(btCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setPickers(ChartColours{});
}

void TfmColor::buildPreview()
{
    QCustomPlot& c = *chColor;
    c.xAxis->setRange(0, 100);
    c.xAxis->ticker()->setTickCount(10);
    c.xAxis->setLabel("Время, мс");
    c.yAxis->setRange(-20, 20);
    c.yAxis2->setVisible(true);
    c.yAxis2->setRange(-20, 20);
    c.yAxis2->grid()->setVisible(false);
    seriesA = c.addGraph(c.xAxis, c.yAxis);
    seriesB = c.addGraph(c.xAxis, c.yAxis2);
    ApplyChartColours(c, seriesA, seriesB, ChartColours{});
}

ChartColours TfmColor::pickers() const
{
    ChartColours c;
    c.cbFon = BgrFromColour(cbFon->colour());
    c.cbChA = BgrFromColour(cbChA->colour());
    c.cbScaleChA = BgrFromColour(cbScaleChA->colour());
    c.cbChB = BgrFromColour(cbChB->colour());
    c.cbScaleChB = BgrFromColour(cbScaleChB->colour());
    c.cbGrid = BgrFromColour(cbGrid->colour());
    c.cbOutLineGrid = BgrFromColour(cbOutLineGrid->colour());
    c.cbX = BgrFromColour(cbX->colour());
    c.cbScaleX = BgrFromColour(cbScaleX->colour());
    c.udWidth = udWidth->value();
    return c;
}

void TfmColor::setPickers(const ChartColours& c)
{
    const std::pair<ColourPicker*, std::uint32_t> all[] = {
        {cbFon, c.cbFon},   {cbChA, c.cbChA},   {cbScaleChA, c.cbScaleChA},       {cbChB, c.cbChB},
        {cbScaleChB, c.cbScaleChB}, {cbGrid, c.cbGrid}, {cbOutLineGrid, c.cbOutLineGrid}, {cbX, c.cbX},
        {cbScaleX, c.cbScaleX}};
    for (const auto& [picker, colour] : all)
        picker->setColour(ColourFromBgr(colour));
    const QSignalBlocker quiet(udWidth);
    udWidth->setValue(c.udWidth);
}

void TfmColor::applyStored(const ChartColours& colours)
{
    setPickers(colours);
    cbFonChange();
    btOKClick();
}

void TfmColor::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (previewFilled_)
        return;
    // The preview's curves are made once; later showings keep what the pickers hold.
    previewFilled_ = true;
    answered_ = false;
    QVector<double> x(101), a(101), b(101);
    for (int i = 0; i <= 100; ++i) {
        x[i] = i;
        a[i] = 9 * std::sin(2 * std::numbers::pi * i / 20) + 10;
        b[i] = 5 * std::sin(2 * std::numbers::pi * i / 10 + std::numbers::pi / 2) - 10;
    }
    seriesA->setData(x, a, true);
    seriesB->setData(x, b, true);
    cbFonChange();
}

void TfmColor::cbFonChange()
{
    ApplyChartColours(*chColor, seriesA, seriesB, pickers());
}

void TfmColor::timerChangeWidthTimer()
{
    timerChangeWidth->stop();
    cbFonChange();
}

void TfmColor::btOKClick()
{
    answered_ = true;
    if (charts_.apply)
        charts_.apply(pickers());
}

void TfmColor::btCancelClick()
{
    answered_ = true;
    if (charts_.inForce)
        setPickers(charts_.inForce());
    cbFonChange();
}

void TfmColor::done(int result)
{
    // Escape or the close box act as Cancel: the colours in force come back.
    if (!answered_)
        btCancelClick();
    answered_ = false;
    QDialog::done(result);
}

} // namespace tesmar
