// The logic analyser page: its controls and their layout.

#include "app/pages/logic/LanPage.h"
#include "text/MessageFormat.h"
#include "app/FileDialogs.h"

#include "app/pages/logic/LanChart.h"
#include "app/pages/PageWidgets.h"
#include "app/MainMenu.h"
#include "app/logic/LanGeneratorPanel.h"
#include "app/logic/TfmLANSetup.h"
#include "text/MessageTable.h"
#include "logic/ChannelNames.h"
#include "logic/acquisition/LanAcquisition.h"
#include "ui/knob/KnobFactory.h"
#include "ui/knob/TOscKnob.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QAction>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QProgressBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace tesmar {

LanPage::LanPage(const PageContext& context, LogicCapture& capture, GeneratorData& generator, QWidget* parent)
    : MeasurementPage("tsLAN", context, parent), capture_(capture), generator_(generator)
{
    acquisition_ = new LanAcquisition(ctx_.session, ctx_.history, this);
    connect(acquisition_, &LanAcquisition::completed, this, &LanPage::LanRunDone);
    timerChangeUpPass = new QTimer(this);
    timerChangeUpPass->setObjectName("timerChangeUpPass");
    timerChangeUpPass->setSingleShot(true);
    timerChangeUpPass->setInterval(100);
    connect(timerChangeUpPass, &QTimer::timeout, this, &LanPage::knLANFrecDivChange);
    fmLANSetup = new TfmLANSetup(this);
    fmLANSetup->setOtherCaption(msg(Msg::strOtherColour));
    buildControls();
    connect(ctx_.menu.miLANSelectByMarker, &QAction::triggered, this, &LanPage::miLANSelectByMarkerClick);
    setupStatistics();
    setupPatch();
    connect(ctx_.menu.miLANKeepOUT, &QAction::toggled, this, [this](bool keep) {
        if (!keep)
            releaseOutputs();
    });
    sbLANModeBusG->setChecked(true); // bus B starts as the generator
    sbLANModeBusGClick();
    applyChannelSetup();
}

LanPage::~LanPage()
{
    shutdown();
}

PageHintKeys LanPage::hintKeys() const
{
    return {Msg::strLanFileOpenHint,    Msg::strLanFileSaveDataHint, std::nullopt,
            Msg::strLanFileSaveEMFHint, Msg::strLanFileSaveBMPHint,  Msg::strLanFilePrintHint,
            Msg::strLanEditCopyEMFHint, Msg::strLanEditCopyBMPHint,  Msg::strLanEditClearHint};
}

QWidget* LanPage::chart() const
{
    return chLAN;
}

void LanPage::buildControls()
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);

    auto* centre = new QWidget(this);
    auto* centreColumn = new QVBoxLayout(centre);
    centreColumn->setContentsMargins(0, 0, 0, 0);
    // The captions stand beside their traces; they are placed after every replot.
    auto* chartRow = new QHBoxLayout;
    chartRow->setSpacing(0);
    auto* captions = new QWidget(centre);
    captions->setObjectName("grboxLANChannels");
    captions->setFixedWidth(64);
    for (int c = 0; c < 16; ++c) {
        const QString name = QString::fromStdString(DefaultChannelName(c));
        auto* label = MakePageLabel(captions, QString("lbLANCh%1%2Caption").arg(c < 8 ? 'A' : 'B').arg(c % 8).toLatin1(),
                                    name);
        label->setToolTip("Щелкните для задания названия и цвета канала");
        label->setFixedWidth(60);
        label->installEventFilter(this);
        channelCaptions[c] = label;
    }
    chartRow->addWidget(captions);
    chLAN = new LanChart(centre);
    chLAN->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    // The sixteen captions stand one above the other beside their traces: the plot (with the
    // time axis below it) is never lower than they are.
    const int captionHeight = channelCaptions[0]->sizeHint().height();
    chLAN->setMinimumSize(300, std::max(250, 17 * captionHeight + 4 * chLAN->fontMetrics().height()));
    chartRow->addWidget(chLAN, 1);
    centreColumn->addLayout(chartRow, 1);
    // The generator's lines are drawn with the mouse: left button 1, right button 0.
    connect(chLAN, &LanChart::tracePressed, this, [this](double x, double y, Qt::MouseButton button) {
        editLine_ = -1;
        if (!(y > 0 && y < 8))
            return;
        editLine_ = 7 - static_cast<int>(std::trunc(y));
        if (button == Qt::LeftButton || button == Qt::RightButton)
            editHigh_ = button == Qt::LeftButton;
        if (chLAN->bus(1).samples.size() != static_cast<std::size_t>(GeneratorData::kSampleCount)) {
            generator_.clear();
            generatorPanel->refreshTable(0, GeneratorData::kSampleCount - 1);
            drawGenerator();
        }
        editFromX_ = x;
    });
    connect(chLAN, &LanChart::traceDragged, this, [this](double x) {
        editGeneratorBetween(editFromX_, x);
        editFromX_ = x;
    });
    connect(chLAN, &LanChart::traceReleased, this, [this](double x, bool moved) {
        if (!moved)
            editGeneratorBetween(x, x);
        editLine_ = -1;
    });
    connect(chLAN, &QCustomPlot::afterReplot, this, [this] {
        for (int c = 0; c < 16; ++c)
            channelCaptions[c]->move(0, static_cast<int>(chLAN->yAxis->coordToPixel(15 - c)) - 12);
    });
    scbrLAN = new QScrollBar(Qt::Horizontal, centre);
    scbrLAN->setObjectName("scbrLAN");
    scbrLAN->setRange(0, 0);
    auto* scrollRow = new QHBoxLayout;
    sbOpenLANSetup = MakePageButton(centre, "sbOpenLANSetup", "Откр.", "Открыть файл с названиями каналов", false);
    sbSaveLANSetup = MakePageButton(centre, "sbSaveLANSetup", "Сохр.", "Сохранить названия каналов в файл", false);
    connect(sbOpenLANSetup, &QToolButton::clicked, this, &LanPage::sbOpenLANSetupClick);
    connect(sbSaveLANSetup, &QToolButton::clicked, this, &LanPage::sbSaveLANSetupClick);
    scrollRow->addWidget(sbOpenLANSetup);
    scrollRow->addWidget(sbSaveLANSetup);
    scrollRow->addWidget(scbrLAN, 1);
    centreColumn->addLayout(scrollRow);
    // A stream capture shows nothing until it ends: the bar says how far it has come.
    pbLANStream = new QProgressBar(centre);
    pbLANStream->setObjectName("pbLANStream");
    pbLANStream->setFormat("%v / %m (%p %)");
    pbLANStream->setVisible(false);
    centreColumn->addWidget(pbLANStream);
    timerLANStreamProgress = new QTimer(this);
    timerLANStreamProgress->setObjectName("timerLANStreamProgress");
    timerLANStreamProgress->setInterval(200);
    connect(timerLANStreamProgress, &QTimer::timeout, this, [this] {
        // While a trigger is searched the pre-trigger ring turns: the bar never goes back.
        const auto stored = static_cast<int>(std::min<std::int64_t>(acquisition_->progress(), pbLANStream->maximum()));
        pbLANStream->setValue(std::max(pbLANStream->value(), stored));
    });
    centreColumn->addWidget(buildReadouts());
    layout->addWidget(centre, 1);

    lsbLANSetupShow = MakePageButton(this, "lsbLANSetupShow", "«", "Показать панель настроек", false);
    lsbLANSetupShow->setVisible(false);
    layout->addWidget(lsbLANSetupShow, 0, Qt::AlignTop);
    pnLANSetup = new QWidget(this);
    pnLANSetup->setObjectName("pnLANSetup");
    auto* panel = new QVBoxLayout(pnLANSetup);
    panel->setContentsMargins(0, 0, 0, 0);
    panel->setSpacing(2);
    auto* top = new QHBoxLayout;
    pnLANViewReadType = MakePageLabel(pnLANSetup, "pnLANViewReadType", "Buf");
    pnLANViewReadType->setToolTip("Режим чтения для заданного Fд (Buf - чтение через буфер, Pipe - потоковое "
                                  "чтение(только в режиме 8-ми канального анализатора))");
    pnLANViewReadType->installEventFilter(this);
    top->addWidget(pnLANViewReadType);
    top->addStretch(1);
    lsbLANSetupHide = MakePageButton(pnLANSetup, "lsbLANSetupHide", "»", "Скрыть панель настроек", false);
    top->addWidget(lsbLANSetupHide);
    panel->addLayout(top);
    knLANFrecDiv = CreatePageKnob("knLANFrecDiv", pnLANSetup);
    panel->addWidget(knLANFrecDiv, 0, Qt::AlignHCenter);
    panel->addWidget(buildModeGroup());
    panel->addWidget(buildTriggerGroup());
    panel->addWidget(buildControlGroup());
    panel->addWidget(buildSearchGroup());
    generatorPanel = new LanGeneratorPanel(generator_, ctx_.messages, pnLANSetup);
    // Room for the data table, but never less than the panel's own controls need.
    generatorPanel->setMinimumHeight(std::max(300, generatorPanel->minimumSizeHint().height()));
    panel->addWidget(generatorPanel, 1);
    // A small window scrolls the panel instead of squashing it.
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName("pnLANSetupScroll");
    scroll->setWidget(pnLANSetup);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setMinimumWidth(pnLANSetup->sizeHint().width() + 20);
    layout->addWidget(scroll);
    connect(generatorPanel, &LanGeneratorPanel::samplesChanged, this, &LanPage::generatorChanged);
    connect(generatorPanel, &LanGeneratorPanel::openRequested, this, [this] {
        if (!ctx_.askFilePath)
            return;
        if (const auto path = ctx_.askFilePath("odOpenGeneratorData", FileDialog("odOpenGeneratorData").filter, ".dat", false)) {
            QString problem;
            if (!openGeneratorFile(*path, &problem) && ctx_.showWarning)
                ctx_.showWarning(QString::fromStdString(FormatMessage(ctx_.messages.text(Msg::strOpenFileError), {path->toStdString()})) + "\r" + problem);
        }
    });
    connect(generatorPanel, &LanGeneratorPanel::saveRequested, this, &LanPage::saveGeneratorAs);
    connect(generatorPanel, &LanGeneratorPanel::newRequested, this, [this] {
        if (confirmGeneratorDiscard())
            clearGenerator();
    });

    connect(lsbLANSetupHide, &QToolButton::clicked, this, &LanPage::lsbLANSetupHideClick);
    connect(lsbLANSetupShow, &QToolButton::clicked, this, &LanPage::lsbLANSetupShowClick);
    connect(knLANFrecDiv, &TOscKnob::OnChange, this, &LanPage::knLANFrecDivChange);
    connect(scbrLAN, &QScrollBar::valueChanged, this, &LanPage::scbrLANScroll);
    connect(chLAN, &MarkerChart::markerMoved, this, [this](int marker) {
        if (marker == 0)
            forgetSearchHit();
        UpdateReadouts();
    });
    connect(chLAN, &QCustomPlot::afterReplot, this, &LanPage::updateScrollBar);
}

QWidget* LanPage::buildModeGroup()
{
    auto* group = new QGroupBox("Управление", pnLANSetup);
    group->setObjectName("grboxLANMode");
    auto* grid = new QGridLayout(group);
    grid->setContentsMargins(4, 2, 4, 2);
    sbLANModeBusG = MakePageButton(group, "sbLANModeBusG", "Генератор",
                                   "Использовать шину B в качестве 8-ми канального генератора");
    sbLANModeBusA = MakePageButton(group, "sbLANModeBusA", "16 каналов",
                                   "Использовать шину B в качестве дополнительного 8-ми канального анализатора");
    sbLANExtSampling = MakePageButton(group, "sbLANExtSampling", "Внеш.", "Внешний источник тактирования (ТТЛ уровни)");
    sbLANExtEdgeRising = MakePageButton(group, "sbLANExtEdgeRising", "↑", "Тактирование по нарастающему фронту");
    sbLANExtEdgeFailling = MakePageButton(group, "sbLANExtEdgeFailling", "↓", "Тактирование по спадающему фронту");
    sbLANExtFrec = MakePageButton(group, "sbLANExtFrec", "Fд=", "Задать частоту внешнего тактового генератора");
    edLANExtFrec = new QLineEdit("100,00", group);
    edLANExtFrec->setObjectName("edLANExtFrec");
    edLANExtFrec->setToolTip("Задайте частоту внешнего тактового генератора (1…1000кГц) и нажмите Enter");
    edLANExtFrec->setEnabled(false);
    edLANExtFrec->installEventFilter(this);
    auto* modes = new QButtonGroup(this);
    modes->setExclusive(false);
    auto* edges = new QButtonGroup(this);
    edges->addButton(sbLANExtEdgeRising);
    edges->addButton(sbLANExtEdgeFailling);
    sbLANExtEdgeRising->setChecked(true);
    grid->addWidget(sbLANModeBusG, 0, 0, 1, 2);
    grid->addWidget(sbLANModeBusA, 0, 2, 1, 2);
    grid->addWidget(sbLANExtSampling, 1, 0);
    grid->addWidget(sbLANExtEdgeRising, 1, 1);
    grid->addWidget(sbLANExtEdgeFailling, 1, 2);
    grid->addWidget(sbLANExtFrec, 2, 0);
    grid->addWidget(edLANExtFrec, 2, 1, 1, 3);
    connect(sbLANModeBusG, &QToolButton::clicked, this, [this] {
        if (sbLANModeBusG->isChecked())
            sbLANModeBusA->setChecked(false);
        sbLANModeBusGClick();
    });
    connect(sbLANModeBusA, &QToolButton::clicked, this, [this] {
        if (sbLANModeBusA->isChecked())
            sbLANModeBusG->setChecked(false);
        sbLANModeBusGClick();
    });
    connect(sbLANExtSampling, &QToolButton::clicked, this, &LanPage::sbLANExtSamplingClick);
    connect(sbLANExtFrec, &QToolButton::clicked, this, &LanPage::sbLANExtFrecClick);
    connect(edLANExtFrec, &QLineEdit::returnPressed, this, &LanPage::edLANExtFrecEnter);
    return group;
}

QWidget* LanPage::buildTriggerGroup()
{
    auto* group = new QGroupBox("Триггер", pnLANSetup);
    group->setObjectName("grboxLANTrigger");
    auto* grid = new QGridLayout(group);
    grid->setContentsMargins(4, 2, 4, 2);
    sbLANTriggerOn = MakePageButton(group, "sbLANTriggerOn", msg(Msg::strTriggerOff), "Включить триггер");
    sbLANTriggerEdgeRising = MakePageButton(group, "sbLANTriggerEdgeRising", "↑", "Запуск по нарастающему фронту");
    sbLANTriggerEdgeFailling = MakePageButton(group, "sbLANTriggerEdgeFailling", "↓", "Запуск по спадающему фронту");
    cbLANTriggerEdgeCh = new QComboBox(group);
    cbLANTriggerEdgeCh->setObjectName("cbLANTriggerEdgeCh");
    sbLANTriggerMask = MakePageButton(group, "sbLANTriggerMask", "Маска", "Запуск по комбинации на шине");
    edLANTriggerMask = new QLineEdit("00000000", group);
    edLANTriggerMask->setObjectName("edLANTriggerMask");
    edLANTriggerMask->setMaxLength(8);
    edLANTriggerMask->setToolTip("Задайте маску с использованием символов 0, 1, x (безразлично)");
    sbLANTriggerMaskOnBusA = MakePageButton(group, "sbLANTriggerMaskOnBusA", "A", "Маска для шины A");
    sbLANTriggerMaskOnBusB = MakePageButton(group, "sbLANTriggerMaskOnBusB", "B", "Маска для шины B");
    sbLANPassImpulsRising = MakePageButton(group, "sbLANPassImpulsRising", "⊓", "Пропуск заданного количества импульсов");
    sbLANPassImpulsFailling = MakePageButton(group, "sbLANPassImpulsFailling", "⊔", "Пропуск заданного количества импульсов");
    cbLANPassImpulsCh = new QComboBox(group);
    cbLANPassImpulsCh->setObjectName("cbLANPassImpulsCh");
    udLANPassImpuls = new QSpinBox(group);
    udLANPassImpuls->setObjectName("udLANPassImpuls");
    udLANPassImpuls->setRange(0, 32767);

    auto* kinds = new QButtonGroup(this);
    for (QToolButton* b : {sbLANTriggerEdgeRising, sbLANTriggerEdgeFailling, sbLANTriggerMask})
        kinds->addButton(b);
    sbLANTriggerMask->setChecked(true);
    auto* buses = new QButtonGroup(this);
    buses->addButton(sbLANTriggerMaskOnBusA);
    buses->addButton(sbLANTriggerMaskOnBusB);
    sbLANTriggerMaskOnBusA->setChecked(true);
    // The two pass buttons exclude each other, and both may be up.
    connect(sbLANPassImpulsRising, &QToolButton::clicked, this, [this] {
        if (sbLANPassImpulsRising->isChecked())
            sbLANPassImpulsFailling->setChecked(false);
        triggerControlTouched();
    });
    connect(sbLANPassImpulsFailling, &QToolButton::clicked, this, [this] {
        if (sbLANPassImpulsFailling->isChecked())
            sbLANPassImpulsRising->setChecked(false);
        triggerControlTouched();
    });

    grid->addWidget(sbLANTriggerOn, 0, 0, 1, 4);
    grid->addWidget(sbLANTriggerEdgeRising, 1, 0);
    grid->addWidget(sbLANTriggerEdgeFailling, 1, 1);
    grid->addWidget(cbLANTriggerEdgeCh, 1, 2, 1, 2);
    grid->addWidget(sbLANTriggerMask, 2, 0);
    grid->addWidget(edLANTriggerMask, 2, 1);
    grid->addWidget(sbLANTriggerMaskOnBusA, 2, 2);
    grid->addWidget(sbLANTriggerMaskOnBusB, 2, 3);
    grid->addWidget(sbLANPassImpulsRising, 3, 0);
    grid->addWidget(sbLANPassImpulsFailling, 3, 1);
    grid->addWidget(cbLANPassImpulsCh, 3, 2);
    grid->addWidget(udLANPassImpuls, 3, 3);

    connect(sbLANTriggerOn, &QToolButton::clicked, this, &LanPage::sbLANTriggerOnClick);
    for (QToolButton* b : {sbLANTriggerEdgeRising, sbLANTriggerEdgeFailling, sbLANTriggerMask, sbLANTriggerMaskOnBusA,
                           sbLANTriggerMaskOnBusB})
        connect(b, &QToolButton::clicked, this, &LanPage::triggerControlTouched);
    connect(edLANTriggerMask, &QLineEdit::textEdited, this, &LanPage::triggerControlTouched);
    connect(cbLANTriggerEdgeCh, &QComboBox::activated, this, &LanPage::triggerControlTouched);
    connect(cbLANPassImpulsCh, &QComboBox::activated, this, &LanPage::triggerControlTouched);
    connect(udLANPassImpuls, &QSpinBox::valueChanged, this, [this] {
        triggerControlTouched();
        timerChangeUpPass->start();
    });
    return group;
}

QWidget* LanPage::buildControlGroup()
{
    auto* box = new QWidget(pnLANSetup);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    sbLANRun = MakePageButton(box, "sbLANRun", msg(Msg::strStart), msg(Msg::strRunSingleHint));
    sbLANRun->setStyleSheet("color: #008000");
    sbLANRun->setMinimumWidth(80);
    grid->addWidget(sbLANRun, 0, 0, 1, 4);
    cbLANZoom = new QComboBox(box);
    cbLANZoom->setObjectName("cbLANZoom");
    cbLANZoom->addItems({"1:500", "1:400", "1:300", "1:200", "1:150", "1:100", "1:50", "1:40", "1:30", "1:20", "1:10",
                         "1:5", "1:4", "1:3", "1:2", "1:1", "2:1", "3:1", "4:1", "5:1", "10:1", "20:1", "30:1", "40:1",
                         "50:1", "100:1", "150:1", "200:1", "300:1", "400:1", "500:1"});
    cbLANZoom->setCurrentIndex(kLogicZoomUndoItem);
    sbLANZoomIn = MakePageButton(box, "sbLANZoomIn", "+", "Увеличить масштаб по времени", false);
    sbLANZoomOut = MakePageButton(box, "sbLANZoomOut", "-", "Уменьшить масштаб по времени", false);
    sbLANZoomUndo = MakePageButton(box, "sbLANZoomUndo", "1:1", "Исходный масштаб", false);
    sbLANZoomUndo->setEnabled(false);
    grid->addWidget(cbLANZoom, 1, 0);
    grid->addWidget(sbLANZoomIn, 1, 1);
    grid->addWidget(sbLANZoomOut, 1, 2);
    grid->addWidget(sbLANZoomUndo, 1, 3);
    connect(sbLANRun, &QToolButton::clicked, this, &LanPage::sbLANRunClick);
    connect(cbLANZoom, &QComboBox::currentIndexChanged, this, &LanPage::cbLANZoomChange);
    connect(sbLANZoomIn, &QToolButton::clicked, this, &LanPage::sbLANZoomInClick);
    connect(sbLANZoomOut, &QToolButton::clicked, this, &LanPage::sbLANZoomOutClick);
    connect(sbLANZoomUndo, &QToolButton::clicked, this, &LanPage::sbLANZoomUndoClick);
    return box;
}

QWidget* LanPage::buildReadouts()
{
    auto* group = new QGroupBox("Параметры сигнала под маркерами", this);
    group->setObjectName("grboxLANMarkers");
    auto* grid = new QGridLayout(group);
    grid->setContentsMargins(4, 2, 4, 2);
    grid->setHorizontalSpacing(12);
    lbLANMarker1Time = MakePageLabel(group, "lbLANMarker1Time");
    lbLANMarker2Time = MakePageLabel(group, "lbLANMarker2Time");
    lbLANMarker2Sub1Time = MakePageLabel(group, "lbLANMarker2Sub1Time");
    grid->addWidget(MakePageLabel(group, "", "M1"), 0, 0);
    grid->addWidget(MakePageLabel(group, "", "M2"), 1, 0);
    grid->addWidget(MakePageLabel(group, "", "M2-M1"), 2, 0);
    grid->addWidget(lbLANMarker1Time, 0, 1);
    grid->addWidget(lbLANMarker2Time, 1, 1);
    grid->addWidget(lbLANMarker2Sub1Time, 2, 1);
    for (int m = 0; m < 2; ++m)
        for (int bus = 0; bus < 2; ++bus) {
            const QString stem = QString("lbLANMarker%1Bus%2").arg(m + 1).arg(bus == 0 ? 'A' : 'B');
            lbLANMarkerBusBin[m][bus] = MakePageLabel(group, (stem + "Bin").toLatin1());
            lbLANMarkerBusHex[m][bus] = MakePageLabel(group, (stem + "Hex").toLatin1());
            const char* colour = bus == 0 ? "color: red" : "color: blue";
            lbLANMarkerBusBin[m][bus]->setStyleSheet(colour);
            lbLANMarkerBusHex[m][bus]->setStyleSheet(colour);
            grid->addWidget(lbLANMarkerBusBin[m][bus], m, 2 + bus * 2);
            grid->addWidget(lbLANMarkerBusHex[m][bus], m, 3 + bus * 2);
        }
    grid->setColumnStretch(6, 1);
    return group;
}

void LanPage::lsbLANSetupHideClick()
{
    findChild<QScrollArea*>("pnLANSetupScroll")->setVisible(false);
    lsbLANSetupShow->setVisible(true);
}

void LanPage::lsbLANSetupShowClick()
{
    lsbLANSetupShow->setVisible(false);
    findChild<QScrollArea*>("pnLANSetupScroll")->setVisible(true);
}

bool LanPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == edLANExtFrec && event->type() == QEvent::KeyPress) {
        return !AcceptsPositiveNumberKey(*static_cast<QKeyEvent*>(event), *edLANExtFrec, QChar(decimalSeparator()));
    }
    if (event->type() == QEvent::KeyPress)
        for (QLineEdit* edit : {edLANFindBIN, edLANFindHEX, edLANFindDEC})
            if (watched == edit)
                return !findEditKey(edit, *static_cast<QKeyEvent*>(event));
    if (event->type() == QEvent::MouseButtonPress) {
        if (watched == imLANFindSourceEdgeRising)
            imLANFindSourceEdgeRisingClick();
        else if (watched == imLANFindSourceEdgeFailling)
            imLANFindSourceEdgeFaillingClick();
        else if (watched == imLANFindSourceEdgeFall)
            imLANFindSourceEdgeFallClick();
    }
    if (event->type() == QEvent::MouseButtonPress)
        for (int c = 0; c < 16; ++c)
            if (watched == channelCaptions[c]) {
                editChannel(c);
                return true;
            }
    if (watched == pnLANViewReadType && event->type() == QEvent::MouseButtonDblClick) {
        if (!ctx_.measurementRuns())
            emit optionsRequested();
        return true;
    }
    return MeasurementPage::eventFilter(watched, event);
}

bool LanPage::openGeneratorFile(const QString& path, QString* problem)
{
    if (!generatorPanel->openFile(path, problem))
        return false;
    generatorOpened_ = path;
    generatorUnsaved_ = false;
    return true;
}

bool LanPage::confirmGeneratorDiscard()
{
    if (!generatorUnsaved_ || !ctx_.askToSave)
        return true;
    return SavedOrLetGo(ctx_.askToSave(msg(Msg::strGeneratorUnsaved)), [this] { return saveGeneratorAs(); });
}

bool LanPage::saveGeneratorAs()
{
    if (!ctx_.askFilePath)
        return false;
    const auto path = ctx_.askFilePath("sdSaveGeneratorData", FileDialog("sdSaveGeneratorData").filter, ".dat", true);
    if (!path)
        return false;
    if (!generatorPanel->saveFile(*path)) {
        if (ctx_.showWarning)
            ctx_.showWarning(QString::fromStdString(FormatMessage(ctx_.messages.text(Msg::strWriteFileError), {path->toStdString()})));
        return false;
    }
    generatorSaved_ = *path;
    generatorUnsaved_ = false;
    return true;
}

} // namespace tesmar
