// The spectrum analyser page: its controls and their layout.

#include "app/pages/spectrum/FftPage.h"

#include "app/pages/spectrum/FftChart.h"
#include "app/pages/PageWidgets.h"
#include "text/MessageTable.h"
#include "osc/acquisition/OscAcquisition.h"
#include "ui/knob/KnobFactory.h"
#include "ui/knob/TOscKnob.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace tesmar {

FftPage::FftPage(const PageContext& context, QWidget* parent) : MeasurementPage("tsFFT", context, parent)
{
    acquisition_ = new OscAcquisition(ctx_.session, ctx_.history, this);
    connect(acquisition_, &OscAcquisition::completed, this, &FftPage::FFTRunDone);
    timerRunFFT = new QTimer(this);
    timerRunFFT->setObjectName("timerRunFFT");
    timerRunFFT->setSingleShot(true);
    timerRunFFT->setInterval(50);
    connect(timerRunFFT, &QTimer::timeout, this, &FftPage::timerRunFFTTimer);
    buildControls();
    knFFTFrecDivChange();
}

FftPage::~FftPage()
{
    shutdown();
}

PageHintKeys FftPage::hintKeys() const
{
    return {Msg::strFftFileOpenHint,    Msg::strFftFileSaveDataHint, std::nullopt,
            Msg::strFftFileSaveEMFHint, Msg::strFftFileSaveBMPHint,  Msg::strFftFilePrintHint,
            Msg::strFftEditCopyEMFHint, Msg::strFftEditCopyBMPHint,  Msg::strFftEditClearHint};
}

QWidget* FftPage::chart() const
{
    return chFFT;
}

QCPGraph* FftPage::curve(int channel) const
{
    return channel == 0 ? chFFT->srFFT_Ch1 : chFFT->srFFT_Ch2;
}

void FftPage::buildControls()
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);

    auto* left = new QWidget(this);
    auto* leftColumn = new QVBoxLayout(left);
    leftColumn->setContentsMargins(0, 0, 0, 0);
    chFFT = new FftChart(left);
    chFFT->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    chFFT->setMinimumSize(300, 200);
    leftColumn->addWidget(chFFT, 1);
    scbrFFT = new QScrollBar(Qt::Horizontal, left);
    scbrFFT->setObjectName("scbrFFT");
    scbrFFT->setRange(0, 0);
    scbrFFT->setPageStep(kScrollRange);
    leftColumn->addWidget(scbrFFT);
    leftColumn->addWidget(buildReadouts());
    layout->addWidget(left, 1);

    lsbFFTSetupShow = MakePageButton(this, "lsbFFTSetupShow", "«", "Показать панель настроек", false);
    lsbFFTSetupShow->setVisible(false);
    layout->addWidget(lsbFFTSetupShow, 0, Qt::AlignTop);

    pnFFTSetup = new QWidget(this);
    pnFFTSetup->setObjectName("pnFFTSetup");
    auto* panel = new QVBoxLayout(pnFFTSetup);
    panel->setContentsMargins(0, 0, 0, 0);
    panel->setSpacing(2);
    auto* top = new QHBoxLayout;
    pnFFTViewReadType = MakePageLabel(pnFFTSetup, "pnFFTViewReadType", "Buf");
    pnFFTViewReadType->setToolTip(
        "Режим чтения для заданного Fд (Buf - чтение через буфер, Pipe - потоковое чтение)");
    pnFFTViewReadType->installEventFilter(this);
    top->addWidget(pnFFTViewReadType);
    top->addStretch(1);
    lsbFFTSetupHide = MakePageButton(pnFFTSetup, "lsbFFTSetupHide", "»", "Скрыть панель настроек", false);
    top->addWidget(lsbFFTSetupHide);
    panel->addLayout(top);
    panel->addWidget(buildChannelGroup(0));
    panel->addWidget(buildChannelGroup(1));
    auto* rateGroup = new QGroupBox("Частота", pnFFTSetup);
    rateGroup->setObjectName("grboxFFTFrec");
    auto* rateLayout = new QVBoxLayout(rateGroup);
    rateLayout->setContentsMargins(2, 2, 2, 2);
    knFFTFrecDiv = CreatePageKnob("knFFTFrecDiv", rateGroup);
    rateLayout->addWidget(knFFTFrecDiv, 0, Qt::AlignHCenter);
    // The window list beside the rate knob: the panel must stay low enough for a laptop screen.
    auto* rateRow = new QHBoxLayout;
    rateRow->setSpacing(2);
    rateRow->addWidget(rateGroup, 1);
    rateRow->addWidget(buildWindowGroup(), 0, Qt::AlignVCenter);
    panel->addLayout(rateRow);
    panel->addWidget(buildAnalysisGroups());
    panel->addWidget(buildControlGroup());
    panel->addStretch(1);
    pnFFTSetupScroll = MakeSetupScroll(this, pnFFTSetup, "pnFFTSetupScroll");
    layout->addWidget(pnFFTSetupScroll);

    connect(lsbFFTSetupHide, &QToolButton::clicked, this, &FftPage::lsbFFTSetupHideClick);
    connect(lsbFFTSetupShow, &QToolButton::clicked, this, &FftPage::lsbFFTSetupShowClick);
    connect(knFFTFrecDiv, &TOscKnob::OnChange, this, &FftPage::knFFTFrecDivChange);
    connect(knFFTCh1, &TOscKnob::OnChange, this, &FftPage::knFFTCh1Change);
    connect(knFFTCh2, &TOscKnob::OnChange, this, &FftPage::knFFTCh2Change);
    connect(scbrFFT, &QScrollBar::valueChanged, this, &FftPage::scbrFFTScroll);
    connect(chFFT, &FftChart::markerMoved, this, &FftPage::UpdateMarkerReadouts);
    connect(chFFT, &QCustomPlot::afterReplot, this, &FftPage::updateScrollBar);
}

QWidget* FftPage::buildChannelGroup(int channel)
{
    const bool a = channel == 0;
    auto* group = new QGroupBox(a ? "Канал А (В/э)" : "Канал B (В/э)", pnFFTSetup);
    group->setObjectName(a ? "grboxFFTCh1" : "grboxFFTCh2");
    auto* grid = new QGridLayout(group);
    grid->setContentsMargins(4, 4, 4, 4);
    TOscKnob* knob = CreatePageKnob(a ? "knFFTCh1" : "knFFTCh2", group);
    (a ? knFFTCh1 : knFFTCh2) = knob;
    grid->addWidget(knob, 0, 0, 3, 1);
    QToolButton* on = MakePageButton(group, a ? "sbFFTOnCh1" : "sbFFTOnCh2", msg(Msg::strChOff),
                                     a ? "Включить/выключить канал A" : "Включить/выключить канал B");
    QToolButton* db = MakePageButton(group, a ? "spbtFFTCh1dB" : "spbtFFTCh2dB", "дБ", "Шкала в дБ");
    QToolButton* ref = MakePageButton(group, a ? "spbtFFTCh10dB" : "spbtFFTCh20dB", "0 дБ = Umax", "0 дБ = Umax ");
    ref->setEnabled(false);
    grid->addWidget(on, 0, 1);
    grid->addWidget(db, 1, 1);
    grid->addWidget(ref, 2, 1);
    (a ? sbFFTOnCh1 : sbFFTOnCh2) = on;
    (a ? spbtFFTCh1dB : spbtFFTCh2dB) = db;
    (a ? spbtFFTCh10dB : spbtFFTCh20dB) = ref;
    on->setChecked(a);
    on->setText(msg(a ? Msg::strChOn : Msg::strChOff));
    on->setStyleSheet(a ? "color: red" : "color: black");
    connect(on, &QToolButton::clicked, this, [this, channel] { channelClick(channel); });
    connect(db, &QToolButton::clicked, this, [this, channel] { dbClick(channel); });
    connect(ref, &QToolButton::clicked, this, [this, channel] { referenceClick(channel); });
    return group;
}

QWidget* FftPage::buildAnalysisGroups()
{
    auto* box = new QWidget(pnFFTSetup);
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);

    auto* filter = new QGroupBox("Фильтр", box);
    filter->setObjectName("grboxFFTFiltration");
    auto* filterGrid = new QGridLayout(filter);
    filterGrid->setContentsMargins(4, 2, 4, 2);
    for (int ch = 0; ch < 2; ++ch) {
        const bool a = ch == 0;
        auto* on = new QCheckBox(a ? "Вкл A" : "Вкл B", filter);
        on->setObjectName(a ? "chboxFFTFiltrationOnCh1" : "chboxFFTFiltrationOnCh2");
        on->setToolTip("Учитывать АЧХ фильтра канала при расчете спектра");
        QToolButton* set = MakePageButton(filter, a ? "spbtFFTFiltrationSetCh1" : "spbtFFTFiltrationSetCh2", "...",
                                          msg(a ? Msg::strSetFltParamChA : Msg::strSetFltParamChB), false);
        // Both channels on one row: the panel must stay low enough for a laptop screen.
        filterGrid->addWidget(on, 0, 2 * ch);
        filterGrid->addWidget(set, 0, 2 * ch + 1);
        (a ? chboxFFTFiltrationOnCh1 : chboxFFTFiltrationOnCh2) = on;
        (a ? spbtFFTFiltrationSetCh1 : spbtFFTFiltrationSetCh2) = set;
    }
    connect(spbtFFTFiltrationSetCh1, &QToolButton::clicked, this, &FftPage::spbtFFTFiltrationSetCh1Click);
    connect(spbtFFTFiltrationSetCh2, &QToolButton::clicked, this, &FftPage::spbtFFTFiltrationSetCh2Click);
    column->addWidget(filter);

    auto* kni = new QGroupBox("КНИ", box);
    kni->setObjectName("grboxFFTKNI");
    auto* kniGrid = new QGridLayout(kni);
    kniGrid->setContentsMargins(4, 2, 4, 2);
    cbFFTKNIMax = new QCheckBox("Max", kni);
    cbFFTKNIMax->setObjectName("cbFFTKNIMax");
    cbFFTKNIMax->setToolTip("Основная гармоника - наибольшая спектральная линия");
    cbFFTKNIMax->setChecked(true);
    edFFTKNIF = new QLineEdit(QString::number(manualF1_), kni);
    edFFTKNIF->setObjectName("edFFTKNIF");
    edFFTKNIF->setMaxLength(5);
    edFFTKNIF->setToolTip("Частота основной гармоники, Гц (после ввода числа нажмите Enter)");
    edFFTKNIF->installEventFilter(this);
    kniGrid->addWidget(cbFFTKNIMax, 0, 0);
    kniGrid->addWidget(MakePageLabel(kni, "", "F1 ="), 0, 1);
    kniGrid->addWidget(edFFTKNIF, 0, 2);
    const char* rows[] = {"F1", "kг", "k3"};
    for (int r = 0; r < 3; ++r)
        kniGrid->addWidget(MakePageLabel(kni, "", rows[r]), 1 + r, 0);
    for (int ch = 0; ch < 2; ++ch) {
        const QString suffix = ch == 0 ? "Ch1" : "Ch2";
        lbFFTF1[ch] = MakePageLabel(kni, ("lbFFTF1" + suffix).toLatin1().constData());
        lbFFTKNI1[ch] = MakePageLabel(kni, ("lbFFTKNI1" + suffix).toLatin1().constData());
        lbFFTKNI3[ch] = MakePageLabel(kni, ("lbFFTKNI3" + suffix).toLatin1().constData());
        for (QLabel* l : {lbFFTF1[ch], lbFFTKNI1[ch], lbFFTKNI3[ch]})
            l->setStyleSheet(ch == 0 ? "color: red" : "color: blue");
        kniGrid->addWidget(lbFFTF1[ch], 1, 1 + ch);
        kniGrid->addWidget(lbFFTKNI1[ch], 2, 1 + ch);
        kniGrid->addWidget(lbFFTKNI3[ch], 3, 1 + ch);
    }
    connect(cbFFTKNIMax, &QCheckBox::clicked, this, &FftPage::cbFFTKNIMaxClick);
    connect(edFFTKNIF, &QLineEdit::returnPressed, this, &FftPage::edFFTKNIFEnter);
    column->addWidget(kni);
    return box;
}

QWidget* FftPage::buildWindowGroup()
{
    auto* window = new QGroupBox("Окно БПФ", pnFFTSetup);
    window->setObjectName("grboxFFTWin");
    auto* windowLayout = new QHBoxLayout(window);
    windowLayout->setContentsMargins(4, 2, 4, 2);
    cbFFTWinParam = new QComboBox(window);
    cbFFTWinParam->setObjectName("cbFFTWinParam");
    cbFFTWinParam->addItems({"Нет", "Хамминга", "Ханнинга", "Блэкмана", "Харриса"});
    windowLayout->addWidget(cbFFTWinParam);
    return window;
}

QWidget* FftPage::buildControlGroup()
{
    auto* group = new QGroupBox("Управление", pnFFTSetup);
    group->setObjectName("grboxFFTControl");
    auto* grid = new QGridLayout(group);
    grid->setContentsMargins(4, 2, 4, 2);
    sbFFTRunSingle = MakePageButton(group, "sbFFTRunSingle", msg(Msg::strRunSingle), msg(Msg::strRunSingleHint));
    sbFFTRun = MakePageButton(group, "sbFFTRun", msg(Msg::strRun), msg(Msg::strRunHint));
    for (QToolButton* b : {sbFFTRunSingle, sbFFTRun}) {
        b->setStyleSheet("color: green");
        b->setMinimumWidth(70);
    }
    grid->addWidget(sbFFTRunSingle, 0, 0);
    grid->addWidget(sbFFTRun, 0, 1);

    cbFFTZoom = new QComboBox(group);
    cbFFTZoom->setObjectName("cbFFTZoom");
    cbFFTZoom->addItems({"1:1", "2:1", "3:1", "4:1", "5:1", "10:1", "20:1", "30:1", "40:1", "50:1", "100:1", "150:1",
                         "200:1", "300:1", "400:1", "500:1"});
    sbFFTZoomIn = MakePageButton(group, "sbFFTZoomIn", "+", "Увеличить масштаб по частоте", false);
    sbFFTZoomOut = MakePageButton(group, "sbFFTZoomOut", "-", "Уменьшить масштаб по частоте", false);
    sbFFTZoomUndo = MakePageButton(group, "sbFFTZoomUndo", "1:1", "Исходный масштаб", false);
    sbFFTFrecLog = MakePageButton(group, "sbFFTFrecLog", "Log", "Логарифмическая ось частоты");
    sbFFTZoomOut->setEnabled(false);
    sbFFTZoomUndo->setEnabled(false);
    auto* zoomRow = new QHBoxLayout;
    zoomRow->addWidget(cbFFTZoom, 1);
    zoomRow->addWidget(sbFFTZoomIn);
    zoomRow->addWidget(sbFFTZoomOut);
    zoomRow->addWidget(sbFFTZoomUndo);
    zoomRow->addWidget(sbFFTFrecLog);
    grid->addLayout(zoomRow, 1, 0, 1, 2);

    connect(sbFFTRunSingle, &QToolButton::clicked, this, &FftPage::sbFFTRunSingleClick);
    connect(sbFFTRun, &QToolButton::clicked, this, &FftPage::sbFFTRunClick);
    connect(cbFFTZoom, &QComboBox::currentIndexChanged, this, &FftPage::cbFFTZoomChange);
    connect(sbFFTZoomIn, &QToolButton::clicked, this, &FftPage::sbFFTZoomInClick);
    connect(sbFFTZoomOut, &QToolButton::clicked, this, &FftPage::sbFFTZoomOutClick);
    connect(sbFFTZoomUndo, &QToolButton::clicked, this, &FftPage::sbFFTZoomUndoClick);
    connect(sbFFTFrecLog, &QToolButton::clicked, this, &FftPage::sbFFTFrecLogClick);
    return group;
}

QWidget* FftPage::buildReadouts()
{
    auto* box = new QWidget(this);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(2, 0, 2, 0);

    auto* markers = new QGroupBox("Параметры сигнала под маркерами", box);
    markers->setObjectName("grboxFFTMarkers");
    auto* grid = new QGridLayout(markers);
    grid->setContentsMargins(4, 2, 4, 2);
    grid->setHorizontalSpacing(12);
    lbFFTMarker1Frec = MakePageLabel(markers, "lbFFTMarker1Frec");
    lbFFTMarker2Frec = MakePageLabel(markers, "lbFFTMarker2Frec");
    lbFFTMarker2Sub1Frec = MakePageLabel(markers, "lbFFTMarker2Sub1Frec");
    lbFFTMarker1VoltA = MakePageLabel(markers, "lbFFTMarker1VoltA");
    lbFFTMarker1VoltB = MakePageLabel(markers, "lbFFTMarker1VoltB");
    lbFFTMarker2VoltA = MakePageLabel(markers, "lbFFTMarker2VoltA");
    lbFFTMarker2VoltB = MakePageLabel(markers, "lbFFTMarker2VoltB");
    lbFFTMarker2Sub1VoltA = MakePageLabel(markers, "lbFFTMarker2Sub1VoltA");
    lbFFTMarker2Sub1VoltB = MakePageLabel(markers, "lbFFTMarker2Sub1VoltB");
    QLabel* cells[3][4] = {{MakePageLabel(markers, "", "M1"), lbFFTMarker1Frec, lbFFTMarker1VoltA, lbFFTMarker1VoltB},
                           {MakePageLabel(markers, "", "M2"), lbFFTMarker2Frec, lbFFTMarker2VoltA, lbFFTMarker2VoltB},
                           {MakePageLabel(markers, "", "M2-M1"), lbFFTMarker2Sub1Frec, lbFFTMarker2Sub1VoltA,
                            lbFFTMarker2Sub1VoltB}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c)
            grid->addWidget(cells[r][c], r, c);
    for (QLabel* l : {lbFFTMarker1VoltA, lbFFTMarker2VoltA})
        l->setStyleSheet("color: red");
    for (QLabel* l : {lbFFTMarker1VoltB, lbFFTMarker2VoltB})
        l->setStyleSheet("color: blue");
    row->addWidget(markers);

    auto* params = new QGroupBox("Общие параметры сигнала", box);
    params->setObjectName("grboxFFTParams");
    auto* paramGrid = new QGridLayout(params);
    paramGrid->setContentsMargins(4, 2, 4, 2);
    const char* titles[] = {"U- =", "U~ =", "F  ="};
    for (int ch = 0; ch < 2; ++ch) {
        const QString suffix = ch == 0 ? "Ch1" : "Ch2";
        lbFFTUc[ch] = MakePageLabel(params, ("lbFFTUc" + suffix).toLatin1().constData());
        lbFFTUv[ch] = MakePageLabel(params, ("lbFFTUv" + suffix).toLatin1().constData());
        lbFFTF[ch] = MakePageLabel(params, ("lbFFTF" + suffix).toLatin1().constData());
        QLabel* values[] = {lbFFTUc[ch], lbFFTUv[ch], lbFFTF[ch]};
        for (int r = 0; r < 3; ++r) {
            auto* title = MakePageLabel(params, "", titles[r]);
            title->setStyleSheet(ch == 0 ? "color: red" : "color: blue");
            paramGrid->addWidget(title, r, ch * 2);
            paramGrid->addWidget(values[r], r, ch * 2 + 1);
        }
    }
    row->addWidget(params);
    row->addStretch(1);
    return box;
}

void FftPage::lsbFFTSetupHideClick()
{
    pnFFTSetupScroll->setVisible(false);
    lsbFFTSetupShow->setVisible(true);
}

void FftPage::lsbFFTSetupShowClick()
{
    lsbFFTSetupShow->setVisible(false);
    pnFFTSetupScroll->setVisible(true);
}

bool FftPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == edFFTKNIF && event->type() == QEvent::KeyPress) {
        return !AcceptsPositiveNumberKey(*static_cast<QKeyEvent*>(event), *edFFTKNIF, QChar(decimalSeparator()));
    }
    if (watched == pnFFTViewReadType && event->type() == QEvent::MouseButtonDblClick) {
        if (!ctx_.measurementRuns())
            emit optionsRequested();
        return true;
    }
    return MeasurementPage::eventFilter(watched, event);
}

} // namespace tesmar
