#include "app/pages/osc/OscPage.h"
#include "text/MessageFormat.h"

#include "app/language/WindowTexts.h"
#include "app/pages/osc/OscChart.h"
#include "app/pages/PageWidgets.h"
#include "text/MessageTable.h"
#include "ui/knob/KnobFactory.h"
#include "ui/knob/TOscKnob.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace tesmar {

OscPage::OscPage(const PageContext& context, QWidget* parent) : MeasurementPage("tsOsc", context, parent)
{
    acquisition_ = new OscAcquisition(ctx_.session, ctx_.history, this);
    acquisition_->setLiveRecord(true);
    connect(acquisition_, &OscAcquisition::completed, this, &OscPage::OscRunDone);
    timerRunOsc = new QTimer(this);
    timerRunOsc->setObjectName("timerRunOsc");
    timerRunOsc->setSingleShot(true);
    timerRunOsc->setInterval(50);
    connect(timerRunOsc, &QTimer::timeout, this, &OscPage::StartOscAcquisition);
    timerResetOscTrigger = new QTimer(this);
    timerResetOscTrigger->setObjectName("timerResetOscTrigger");
    timerResetOscTrigger->setSingleShot(true);
    timerResetOscTrigger->setTimerType(Qt::PreciseTimer);
    connect(timerResetOscTrigger, &QTimer::timeout, this, &OscPage::timerResetOscTriggerTimer);
    timerOscLive = new QTimer(this);
    timerOscLive->setObjectName("timerOscLive");
    timerOscLive->setInterval(250);
    connect(timerOscLive, &QTimer::timeout, this, &OscPage::drawLiveRecord);
    buildControls();
    applyTriggerRules();
    knOscTimeDivChange();
}

OscPage::~OscPage()
{
    shutdown();
}

PageHintKeys OscPage::hintKeys() const
{
    return {Msg::strOscFileOpenHint,    Msg::strOscFileSaveDataHint, Msg::strOscFileSavePCMHint,
            Msg::strOscFileSaveEMFHint, Msg::strOscFileSaveBMPHint,  Msg::strOscFilePrintHint,
            Msg::strOscEditCopyEMFHint, Msg::strOscEditCopyBMPHint,  Msg::strOscEditClearHint};
}

QWidget* OscPage::chart() const
{
    return chOsc;
}

void OscPage::buildControls()
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);

    auto* left = new QWidget(this);
    auto* leftColumn = new QVBoxLayout(left);
    leftColumn->setContentsMargins(0, 0, 0, 0);
    chOsc = new OscChart(left);
    chOsc->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    chOsc->setMinimumSize(300, 200);
    leftColumn->addWidget(chOsc, 1);
    scbrOsc = new QScrollBar(Qt::Horizontal, left);
    scbrOsc->setObjectName("scbrOsc");
    scbrOsc->setRange(0, kScrollRange);
    scbrOsc->setPageStep(kScrollRange);
    leftColumn->addWidget(scbrOsc);
    leftColumn->addWidget(buildReadouts());
    layout->addWidget(left, 1);

    lsbOscSetupShow = MakePageButton(this, "lsbOscSetupShow", "«", "Показать панель настроек", false);
    lsbOscSetupShow->setVisible(false);
    layout->addWidget(lsbOscSetupShow, 0, Qt::AlignTop);

    pnOscSetup = new QWidget(this);
    pnOscSetup->setObjectName("pnOscSetup");
    auto* panel = new QVBoxLayout(pnOscSetup);
    panel->setContentsMargins(0, 0, 0, 0);
    panel->setSpacing(2);
    auto* top = new QHBoxLayout;
    pnOscViewReadType = MakePageLabel(pnOscSetup, "pnOscViewReadType", "Buf");
    pnOscViewReadType->setToolTip("Режим чтения данных (двойной щелчок: настройка)");
    pnOscViewReadType->installEventFilter(this);
    top->addWidget(pnOscViewReadType);
    top->addStretch(1);
    lsbOscSetupHide = MakePageButton(pnOscSetup, "lsbOscSetupHide", "»", "Скрыть панель настроек", false);
    top->addWidget(lsbOscSetupHide);
    panel->addLayout(top);
    panel->addWidget(buildChannelGroup(0));
    panel->addWidget(buildChannelGroup(1));
    knOscTimeDiv = CreatePageKnob("knOscTimeDiv", pnOscSetup);
    panel->addWidget(knOscTimeDiv, 0, Qt::AlignHCenter);
    panel->addWidget(buildTriggerGroup());
    panel->addWidget(buildRunGroup());
    panel->addStretch(1);
    // A window lower than the panel scrolls the panel instead of squashing its groups.
    pnOscSetupScroll = MakeSetupScroll(this, pnOscSetup, "pnOscSetupScroll");
    layout->addWidget(pnOscSetupScroll);

    connect(lsbOscSetupHide, &QToolButton::clicked, this, &OscPage::lsbOscSetupHideClick);
    connect(lsbOscSetupShow, &QToolButton::clicked, this, &OscPage::lsbOscSetupShowClick);
    connect(knOscTimeDiv, &TOscKnob::OnChange, this, &OscPage::knOscTimeDivChange);
    connect(knOscCh1, &TOscKnob::OnChange, this, &OscPage::knOscCh1Change);
    connect(knOscCh2, &TOscKnob::OnChange, this, &OscPage::knOscCh2Change);
    connect(scbrOsc, &QScrollBar::valueChanged, this, &OscPage::scbrOscScroll);
    connect(chOsc, &OscChart::markerMoved, this, &OscPage::UpdateMarkerReadouts);
    connect(chOsc, &QCustomPlot::afterReplot, this, &OscPage::updateScrollBar);
    connect(chOsc, &OscChart::triggerLevelDragged, this, [this](int, double volts) {
        ctx_.setStatusText(QString::fromStdString(FormatMessage(ctx_.messages.text(Msg::strOscTriggerMarkerCh1), {volts}))
                               .replace('.', QChar(decimalSeparator())));
    });
    connect(chOsc, &OscChart::triggerLevelReleased, this, [this](int) {
        ctx_.setStatusText({});
        RestartTrigger(false);
        if (running())
            showWaitingStatus();
    });
    chOsc->setLevelFormat(msg(Msg::strDim_V), QChar(decimalSeparator()));
    connect(chOsc, &QCustomPlot::beforeReplot, this, &OscPage::showTriggerLevel);
    connect(chOsc, &OscChart::zeroDragged, this, [this](int channel, double volts) {
        QCPAxis* axis = chOsc->channelAxis(channel);
        setAxis(channel, {axis->range().lower - volts, axis->range().upper - volts});
    });
    connect(chOsc, &OscChart::zeroReleased, this, [this](int) { RestartTrigger(false); });
    connect(chOsc, &OscChart::zeroMenuRequested, this, [this](int channel, QPoint at) {
        QMenu menu(this);
        for (int tag = 10; tag <= 90; tag += 10) {
            QAction* item = menu.addAction(QString("&%1/%2").arg(tag).arg(100 - tag));
            item->setObjectName(QString("miOscZeroCh%1_%2").arg(channel + 1).arg(tag));
            connect(item, &QAction::triggered, this, [this, channel, tag] { ZeroMenuClick(channel, tag); });
        }
        menu.exec(at);
    });
}

QWidget* OscPage::buildChannelGroup(int channel)
{
    const bool a = channel == 0;
    auto* group = new QGroupBox(a ? "Канал A" : "Канал B", pnOscSetup);
    group->setObjectName(a ? "grboxOscCh1" : "grboxOscCh2");
    auto* grid = new QGridLayout(group);
    grid->setContentsMargins(4, 4, 4, 4);
    TOscKnob* knob = CreatePageKnob(a ? "knOscCh1" : "knOscCh2", group);
    (a ? knOscCh1 : knOscCh2) = knob;
    grid->addWidget(knob, 0, 0, 4, 1);
    QToolButton* on = MakePageButton(group, a ? "sbOscOnCh1" : "sbOscOnCh2", msg(Msg::strChOff),
                                 a ? "Включить/выключить канал A" : "Включить/выключить канал B");
    QToolButton* range = MakePageButton(group, a ? "sbOscAvtoRangeCh1" : "sbOscAvtoRangeCh2", "Авто",
                                    "Автоматический выбор диапазона по напряжению");
    QToolButton* zero = MakePageButton(group, a ? "sbOscAvtoZeroCh1" : "sbOscAvtoZeroCh2", "0",
                                   "Автоматическая установка нуля");
    zero->setEnabled(false);
    auto* filter = new QCheckBox("Фильтр", group);
    filter->setObjectName(a ? "chboxOscFiltrationOnCh1" : "chboxOscFiltrationOnCh2");
    filter->setToolTip("Включить цифровой фильтр канала");
    QToolButton* filterSet = MakePageButton(group, a ? "spbtOscFiltrationSetCh1" : "spbtOscFiltrationSetCh2", "...",
                                        msg(a ? Msg::strSetFltParamChA : Msg::strSetFltParamChB), false);
    grid->addWidget(on, 0, 1, 1, 2);
    grid->addWidget(range, 1, 1);
    grid->addWidget(zero, 1, 2);
    grid->addWidget(filter, 2, 1);
    grid->addWidget(filterSet, 2, 2);
    (a ? sbOscOnCh1 : sbOscOnCh2) = on;
    (a ? sbOscAvtoRangeCh1 : sbOscAvtoRangeCh2) = range;
    (a ? sbOscAvtoZeroCh1 : sbOscAvtoZeroCh2) = zero;
    (a ? chboxOscFiltrationOnCh1 : chboxOscFiltrationOnCh2) = filter;
    (a ? spbtOscFiltrationSetCh1 : spbtOscFiltrationSetCh2) = filterSet;
    on->setChecked(a);
    on->setText(msg(a ? Msg::strChOn : Msg::strChOff));
    on->setStyleSheet(a ? "color: red" : "color: black");
    connect(on, &QToolButton::clicked, this, [this, channel] { channelClick(channel); });
    connect(range, &QToolButton::clicked, this, [this, channel] { autoRangeClick(channel); });
    connect(filterSet, &QToolButton::clicked, this, [this, channel, filter] {
        if (ctx_.openFilterDesigner)
            ctx_.openFilterDesigner(channel, filter);
    });
    return group;
}

QWidget* OscPage::buildTriggerGroup()
{
    grboxOscTrigger = new QGroupBox("Синхронизация", pnOscSetup);
    grboxOscTrigger->setObjectName("grboxOscTrigger");
    auto* grid = new QGridLayout(grboxOscTrigger);
    grid->setContentsMargins(4, 4, 4, 4);
    sbOscTriggerOn = MakePageButton(grboxOscTrigger, "sbOscTriggerOn", msg(Msg::strTriggerOff), "Включить синхронизацию");
    sbOscTriggerSourceCh1 = MakePageButton(grboxOscTrigger, "sbOscTriggerSourceCh1", "A",
                                       "Выбрать к качестве источника синхронизации канал А (уровень задается маркером A слева)");
    sbOscTriggerSourceCh2 = MakePageButton(grboxOscTrigger, "sbOscTriggerSourceCh2", "B",
                                       "Выбрать к качестве источника синхронизации канал B (уровень задается маркером B справа)");
    sbOscTriggerSourceExt = MakePageButton(grboxOscTrigger, "sbOscTriggerSourceExt", "Ext",
                                       "Внешний источник синхронизации (ТТЛ уровни) только при работе через буфер ");
    sbOscTriggerEdgeRising = MakePageButton(grboxOscTrigger, "sbOscTriggerEdgeRising", "↑",
                                        "Синхронизация по нарастающему фронту сигнала");
    sbOscTriggerEdgeFailling = MakePageButton(grboxOscTrigger, "sbOscTriggerEdgeFailling", "↓",
                                          "Синхронизация по спадающему фронту сигнала");
    spOscTriggerAbs = MakePageButton(grboxOscTrigger, "spOscTriggerAbs", "Абс",
                                 "Синхронизация по превышению/понижению заданного уровня (абсолютная)");
    spOscTriggerDif = MakePageButton(grboxOscTrigger, "spOscTriggerDif", "Диф",
                                 "Синхронизация по превышению разницы между соседними отсчетами (дифференциальная) ");
    edOscTriggerDif = new QLineEdit(grboxOscTrigger);
    edOscTriggerDif->setObjectName("edOscTriggerDif");
    edOscTriggerDif->setToolTip("Задайте разницу между соседними отсчетами, по которой будет выполнена синхронизация (0,2…20 В)");
    showThreshold();
    edOscTriggerDif->installEventFilter(this);
    lbOscTriggerDifUnit = MakePageLabel(grboxOscTrigger, "lbOscTriggerDifUnit", "В");
    lbOscTriggerLevel = MakePageLabel(grboxOscTrigger, "lbOscTriggerLevel");
    lbOscTriggerLevel->setProperty(kKeepCaptionProperty, true); // composed from the level and the unit

    auto exclusive = [this](std::initializer_list<QToolButton*> buttons) {
        auto* group = new QButtonGroup(this);
        group->setExclusive(true);
        for (QToolButton* b : buttons)
            group->addButton(b);
        (*buttons.begin())->setChecked(true);
    };
    exclusive({sbOscTriggerSourceCh1, sbOscTriggerSourceCh2, sbOscTriggerSourceExt});
    exclusive({sbOscTriggerEdgeRising, sbOscTriggerEdgeFailling});
    exclusive({spOscTriggerAbs, spOscTriggerDif});

    grid->addWidget(sbOscTriggerOn, 0, 0, 1, 3);
    grid->addWidget(sbOscTriggerSourceCh1, 1, 0);
    grid->addWidget(sbOscTriggerSourceCh2, 1, 1);
    grid->addWidget(sbOscTriggerSourceExt, 1, 2);
    grid->addWidget(sbOscTriggerEdgeRising, 2, 0);
    grid->addWidget(sbOscTriggerEdgeFailling, 2, 1);
    grid->addWidget(spOscTriggerAbs, 3, 0);
    grid->addWidget(spOscTriggerDif, 3, 1);
    grid->addWidget(edOscTriggerDif, 4, 0, 1, 2);
    grid->addWidget(lbOscTriggerDifUnit, 4, 2);
    grid->addWidget(lbOscTriggerLevel, 5, 0, 1, 3);

    connect(sbOscTriggerOn, &QToolButton::clicked, this, &OscPage::sbOscTriggerOnClick);
    for (QToolButton* b : {sbOscTriggerSourceCh1, sbOscTriggerSourceCh2, sbOscTriggerSourceExt, sbOscTriggerEdgeRising,
                           sbOscTriggerEdgeFailling, spOscTriggerAbs, spOscTriggerDif})
        connect(b, &QToolButton::clicked, this, &OscPage::sbOscTriggerSourceCh1Click);
    connect(edOscTriggerDif, &QLineEdit::returnPressed, this, &OscPage::edOscTriggerDifEnter);
    return grboxOscTrigger;
}

QWidget* OscPage::buildRunGroup()
{
    auto* box = new QWidget(pnOscSetup);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    sbOscRunSingle = MakePageButton(box, "sbOscRunSingle", msg(Msg::strRunSingle), msg(Msg::strRunSingleHint));
    sbOscRun = MakePageButton(box, "sbOscRun", msg(Msg::strRun), msg(Msg::strRunHint));
    for (QToolButton* b : {sbOscRunSingle, sbOscRun}) {
        b->setStyleSheet("color: green");
        b->setMinimumWidth(70);
    }
    grid->addWidget(sbOscRunSingle, 0, 0);
    grid->addWidget(sbOscRun, 0, 1);

    cbOscZoom = new QComboBox(box);
    cbOscZoom->setObjectName("cbOscZoom");
    cbOscZoom->addItems({"1:1", "2:1", "3:1", "4:1", "5:1", "10:1", "20:1", "30:1", "40:1", "50:1", "100:1", "150:1",
                         "200:1", "300:1", "400:1", "500:1"});
    sbOscZoomIn = MakePageButton(box, "sbOscZoomIn", "+", "Увеличить масштаб по времени", false);
    sbOscZoomOut = MakePageButton(box, "sbOscZoomOut", "-", "Уменьшить масштаб по времени", false);
    sbOscZoomUndo = MakePageButton(box, "sbOscZoomUndo", "1:1", "Исходный масштаб", false);
    sbOscZoomOut->setEnabled(false);
    sbOscZoomUndo->setEnabled(false);
    auto* zoomRow = new QHBoxLayout;
    zoomRow->addWidget(cbOscZoom, 1);
    zoomRow->addWidget(sbOscZoomIn);
    zoomRow->addWidget(sbOscZoomOut);
    zoomRow->addWidget(sbOscZoomUndo);
    grid->addLayout(zoomRow, 1, 0, 1, 2);

    connect(sbOscRunSingle, &QToolButton::clicked, this, &OscPage::sbOscRunSingleClick);
    connect(sbOscRun, &QToolButton::clicked, this, &OscPage::sbOscRunClick);
    connect(cbOscZoom, &QComboBox::currentIndexChanged, this, &OscPage::cbOscZoomChange);
    connect(sbOscZoomIn, &QToolButton::clicked, this, &OscPage::sbOscZoomInClick);
    connect(sbOscZoomOut, &QToolButton::clicked, this, &OscPage::sbOscZoomOutClick);
    connect(sbOscZoomUndo, &QToolButton::clicked, this, &OscPage::sbOscZoomUndoClick);
    return box;
}

QWidget* OscPage::buildReadouts()
{
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(2, 0, 2, 0);
    grid->setHorizontalSpacing(12);
    lbOscMarker1Time = MakePageLabel(box, "lbOscMarker1Time");
    lbOscMarker2Time = MakePageLabel(box, "lbOscMarker2Time");
    lbOscMarker2Sub1Time = MakePageLabel(box, "lbOscMarker2Sub1Time");
    lbOscMarker1VoltA = MakePageLabel(box, "lbOscMarker1VoltA");
    lbOscMarker1VoltB = MakePageLabel(box, "lbOscMarker1VoltB");
    lbOscMarker2VoltA = MakePageLabel(box, "lbOscMarker2VoltA");
    lbOscMarker2VoltB = MakePageLabel(box, "lbOscMarker2VoltB");
    lbOscMarker2Sub1VoltA = MakePageLabel(box, "lbOscMarker2Sub1VoltA");
    lbOscMarker2Sub1VoltB = MakePageLabel(box, "lbOscMarker2Sub1VoltB");
    grid->addWidget(MakePageLabel(box, "lbOscMarker1Title", "M1"), 0, 0);
    grid->addWidget(MakePageLabel(box, "lbOscMarker2Title", "M2"), 1, 0);
    grid->addWidget(MakePageLabel(box, "lbOscMarker2Sub1Title", "M2-M1"), 2, 0);
    grid->addWidget(lbOscMarker1Time, 0, 1);
    grid->addWidget(lbOscMarker2Time, 1, 1);
    grid->addWidget(lbOscMarker2Sub1Time, 2, 1);
    grid->addWidget(lbOscMarker1VoltA, 0, 2);
    grid->addWidget(lbOscMarker2VoltA, 1, 2);
    grid->addWidget(lbOscMarker2Sub1VoltA, 2, 2);
    grid->addWidget(lbOscMarker1VoltB, 0, 3);
    grid->addWidget(lbOscMarker2VoltB, 1, 3);
    grid->addWidget(lbOscMarker2Sub1VoltB, 2, 3);
    for (QLabel* l : {lbOscMarker1VoltA, lbOscMarker2VoltA})
        l->setStyleSheet("color: red");
    for (QLabel* l : {lbOscMarker1VoltB, lbOscMarker2VoltB})
        l->setStyleSheet("color: blue");
    const char* titles[] = {"U- =", "U~ =", "F  ="};
    for (int ch = 0; ch < 2; ++ch) {
        const QString suffix = ch == 0 ? "Ch1" : "Ch2";
        lbOscUc[ch] = MakePageLabel(box, ("lbOscUc" + suffix).toLatin1().constData());
        lbOscUv[ch] = MakePageLabel(box, ("lbOscUv" + suffix).toLatin1().constData());
        lbOscF[ch] = MakePageLabel(box, ("lbOscF" + suffix).toLatin1().constData());
        QLabel* values[] = {lbOscUc[ch], lbOscUv[ch], lbOscF[ch]};
        for (int row = 0; row < 3; ++row) {
            auto* title = MakePageLabel(box, "", titles[row]);
            title->setStyleSheet(ch == 0 ? "color: red" : "color: blue");
            grid->addWidget(title, row, 4 + ch * 2);
            grid->addWidget(values[row], row, 5 + ch * 2);
        }
    }
    grid->setColumnStretch(8, 1);
    return box;
}

void OscPage::lsbOscSetupHideClick()
{
    pnOscSetupScroll->setVisible(false);
    lsbOscSetupShow->setVisible(true);
}

void OscPage::lsbOscSetupShowClick()
{
    lsbOscSetupShow->setVisible(false);
    pnOscSetupScroll->setVisible(true);
}

bool OscPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == edOscTriggerDif && event->type() == QEvent::KeyPress) {
        return !AcceptsPositiveNumberKey(*static_cast<QKeyEvent*>(event), *edOscTriggerDif, QChar(decimalSeparator()));
    }
    if (watched == pnOscViewReadType && event->type() == QEvent::MouseButtonDblClick) {
        // The options dialog on its oscilloscope page, only while nothing runs.
        if (!ctx_.measurementRuns())
            emit optionsRequested();
        return true;
    }
    return MeasurementPage::eventFilter(watched, event);
}

} // namespace tesmar
