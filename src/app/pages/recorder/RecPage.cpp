#include "app/BgrColour.h"
#include "app/pages/recorder/RecPage.h"

#include "app/pages/recorder/RecChart.h"
#include "app/options/OptionVariables.h"
#include "app/pages/PageWidgets.h"
#include "text/MessageTable.h"
#include "recorder/acquisition/RecAcquisition.h"
#include "ui/knob/KnobFactory.h"
#include "ui/knob/TOscKnob.h"

#include <QColorDialog>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableWidget>
#include <QTimeEdit>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace tesmar {

namespace {

RecMarkerQuestions DialogQuestions(QWidget* parent)
{
    RecMarkerQuestions q;
    q.comment = [parent](const std::string& current) -> std::optional<std::string> {
        bool ok = false;
        const QString text = QInputDialog::getText(parent, "Ввод комментария", "Введите комментарий для маркера:",
                                                   QLineEdit::Normal, QString::fromStdString(current), &ok);
        return ok ? std::optional<std::string>(text.toStdString()) : std::nullopt;
    };
    q.colour = [parent](std::uint32_t current) -> std::optional<std::uint32_t> {
        const QColor chosen =
            QColorDialog::getColor(ColourFromBgr(current), parent);
        if (!chosen.isValid())
            return std::nullopt;
        return BgrFromColour(chosen);
    };
    return q;
}

} // namespace

RecPage::RecPage(const PageContext& context, QWidget* parent)
    : MeasurementPage("tsRec", context, parent), options_(context.options)
{
    markerQuestions = DialogQuestions(this);
    acquisition_ = new RecAcquisition(ctx_.session, ctx_.history, this);
    connect(acquisition_, &RecAcquisition::completed, this, &RecPage::RecordingFinished);
    timerRunRec = new QTimer(this);
    timerRunRec->setObjectName("timerRunRec");
    timerRunRec->setSingleShot(true);
    timerRunRec->setInterval(250);
    connect(timerRunRec, &QTimer::timeout, this, &RecPage::timerRunRecTimer);
    timerRecStallPos = new QTimer(this);
    timerRecStallPos->setObjectName("timerRecStallPos");
    timerRecStallPos->setSingleShot(true);
    timerRecStallPos->setInterval(10'000);
    connect(timerRecStallPos, &QTimer::timeout, this, &RecPage::timerRecStallPosTimer);
    timerRecShow = new QTimer(this);
    timerRecShow->setObjectName("timerRecShow");
    timerRecShow->setInterval(40);
    connect(timerRecShow, &QTimer::timeout, this, &RecPage::liveTick);
    buildControls();
    buildMarkerMenus();
    knRecTimeDivChange();
}

RecPage::~RecPage()
{
    shutdown();
}

PageHintKeys RecPage::hintKeys() const
{
    return {Msg::strRecFileOpenHint,    Msg::strRecFileSaveDataHint, Msg::strRecFileSavePCMHint,
            Msg::strRecFileSaveEMFHint, Msg::strRecFileSaveBMPHint,  Msg::strRecFilePrintHint,
            Msg::strRecEditCopyEMFHint, Msg::strRecEditCopyBMPHint,  Msg::strRecEditClearHint};
}

QWidget* RecPage::chart() const
{
    return chRec;
}

void RecPage::buildControls()
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);

    auto* left = new QWidget(this);
    auto* leftColumn = new QVBoxLayout(left);
    leftColumn->setContentsMargins(0, 0, 0, 0);
    chRec = new RecChart(left);
    chRec->xAxis->setLabel(msg(Msg::strRecTime));
    chRec->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    chRec->setMinimumSize(300, 200);
    chRec->setUserMarkers(&markers_);
    chRec->setTimeInMicroseconds(options_.rec_time_in_us);
    leftColumn->addWidget(chRec, 1);
    scbrRec = new QScrollBar(Qt::Horizontal, left);
    scbrRec->setObjectName("scbrRec");
    scbrRec->setRange(0, 0);
    scbrRec->setPageStep(kRecScrollRange);
    leftColumn->addWidget(scbrRec);
    leftColumn->addWidget(buildReadouts());
    layout->addWidget(left, 1);

    lsbRecSetupShow = MakePageButton(this, "lsbRecSetupShow", "«", "Показать панель настроек", false);
    lsbRecSetupShow->setVisible(false);
    layout->addWidget(lsbRecSetupShow, 0, Qt::AlignTop);

    pnRecSetup = new QWidget(this);
    pnRecSetup->setObjectName("pnRecSetup");
    auto* panel = new QVBoxLayout(pnRecSetup);
    panel->setContentsMargins(0, 0, 0, 0);
    panel->setSpacing(2);
    auto* top = new QHBoxLayout;
    pnRecShowSignal = MakePageLabel(pnRecSetup, "pnRecShowSignal", "En");
    pnRecShowSignal->setToolTip("Прорисовка сигнала в процессе записи (Dis - запрещена, En - разрешена)");
    pnRecShowSignal->installEventFilter(this);
    top->addWidget(pnRecShowSignal);
    top->addStretch(1);
    lsbRecSetupHide = MakePageButton(pnRecSetup, "lsbRecSetupHide", "»", "Скрыть панель настроек", false);
    top->addWidget(lsbRecSetupHide);
    panel->addLayout(top);
    auto* channels = new QHBoxLayout;
    channels->addWidget(buildChannelGroup(0));
    channels->addWidget(buildChannelGroup(1));
    panel->addLayout(channels);
    panel->addWidget(buildPeriodGroup());
    panel->addWidget(buildRunGroup());
    panel->addWidget(buildMarkerTable(), 1);
    // A window lower than the panel scrolls the panel instead of squashing its groups.
    pnRecSetupScroll = MakeSetupScroll(this, pnRecSetup, "pnRecSetupScroll");
    layout->addWidget(pnRecSetupScroll);

    connect(lsbRecSetupHide, &QToolButton::clicked, this, &RecPage::lsbRecSetupHideClick);
    connect(lsbRecSetupShow, &QToolButton::clicked, this, &RecPage::lsbRecSetupShowClick);
    connect(knRecTimeDiv, &TOscKnob::OnChange, this, &RecPage::knRecTimeDivChange);
    connect(knRecCh1, &TOscKnob::OnChange, this, &RecPage::knRecCh1Change);
    connect(knRecCh2, &TOscKnob::OnChange, this, &RecPage::knRecCh2Change);
    connect(scbrRec, &QScrollBar::valueChanged, this, &RecPage::scbrRecScroll);
    connect(chRec, &QCustomPlot::afterReplot, this, &RecPage::chRecAfterDraw);
    connect(chRec, &OscChart::markerMoved, this, &RecPage::UpdateMarkerReadouts);
    connect(chRec, &OscChart::zeroDragged, this, [this](int channel, double volts) {
        QCPAxis* axis = chRec->channelAxis(channel);
        axis->setRange(axis->range().lower - volts, axis->range().upper - volts);
        chRec->replot();
    });
    connect(chRec, &OscChart::zeroMenuRequested, this, [this](int channel, QPoint at) {
        QMenu menu(this);
        for (int tag = 10; tag <= 90; tag += 10) {
            QAction* item = menu.addAction(QString("&%1/%2").arg(tag).arg(100 - tag));
            item->setObjectName(QString("miRecZeroCh%1_%2").arg(channel + 1).arg(tag));
            connect(item, &QAction::triggered, this, [this, channel, tag] { ZeroMenuClick(channel, tag); });
        }
        menu.exec(at);
    });
    connect(chRec, &RecChart::userMarkerDragged, this, [this](int slot, double time) {
        markers_.setTime(slot, time);
        writeMarkerRow(slot);
        selectRowQuietly(slot);
    });
    connect(chRec, &RecChart::userMarkerMenuRequested, this, [this](int slot, QPoint at) {
        menuSlot_ = slot;
        pmMarker->popup(at);
    });
}

QWidget* RecPage::buildChannelGroup(int channel)
{
    const bool a = channel == 0;
    auto* group = new QGroupBox(a ? "Канал А (В/э)" : "Канал B (В/э)", pnRecSetup);
    group->setObjectName(a ? "grboxRecCh1" : "grboxRecCh2");
    auto* column = new QVBoxLayout(group);
    column->setContentsMargins(4, 4, 4, 4);
    TOscKnob* knob = CreatePageKnob(a ? "knRecCh1" : "knRecCh2", group);
    QToolButton* on = MakePageButton(group, a ? "sbRecOnCh1" : "sbRecOnCh2", msg(a ? Msg::strChOn : Msg::strChOff),
                                 a ? "Включить/выключить канал A" : "Включить/выключить канал B");
    on->setChecked(a);
    on->setStyleSheet(a ? "color: red" : "color: black");
    column->addWidget(knob, 0, Qt::AlignHCenter);
    column->addWidget(on);
    (a ? knRecCh1 : knRecCh2) = knob;
    (a ? sbRecOnCh1 : sbRecOnCh2) = on;
    (a ? grboxRecCh1 : grboxRecCh2) = group;
    connect(on, &QToolButton::clicked, this, [this, channel] { channelClick(channel); });
    return group;
}

QWidget* RecPage::buildPeriodGroup()
{
    grboxRecTimeDiv = new QGroupBox("Период", pnRecSetup);
    grboxRecTimeDiv->setObjectName("grboxRecTimeDiv");
    auto* column = new QVBoxLayout(grboxRecTimeDiv);
    column->setContentsMargins(4, 4, 4, 4);
    knRecTimeDiv = CreatePageKnob("knRecTimeDiv", grboxRecTimeDiv);
    column->addWidget(knRecTimeDiv, 0, Qt::AlignHCenter);
    return grboxRecTimeDiv;
}

QWidget* RecPage::buildRunGroup()
{
    auto* box = new QWidget(pnRecSetup);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    sbRecRun = MakePageButton(box, "sbRecRun", msg(Msg::strStart), msg(Msg::strStartHint));
    sbRecRun->setStyleSheet("color: green");
    sbRecRun->setMinimumWidth(70);
    lbRecRunTime = MakePageLabel(box, "lbRecRunTime", "00:00:00:000");
    spRecStop = MakePageButton(box, "spRecStop", "Авто",
                           "Включить автоостанов записи по прошествию заданного интервала времени от момента "
                           "запуска записи");
    dtRecStop = new QTimeEdit(box);
    dtRecStop->setObjectName("dtRecStop");
    dtRecStop->setDisplayFormat("HH:mm:ss");
    dtRecStop->setTime(QTime(0, 0, 0));
    dtRecStop->setToolTip("Задайте интервал времени по прошествию, которого запись сигнала будет остановлена");
    grid->addWidget(sbRecRun, 0, 0);
    grid->addWidget(lbRecRunTime, 0, 1);
    grid->addWidget(spRecStop, 1, 0);
    grid->addWidget(dtRecStop, 1, 1);

    cbRecZoom = new QComboBox(box);
    cbRecZoom->setObjectName("cbRecZoom");
    for (const char* item : RecZoomList())
        cbRecZoom->addItem(item);
    cbRecZoom->setCurrentIndex(kRecZoomHome);
    sbRecZoomIn = MakePageButton(box, "sbRecZoomIn", "+", "Увеличить масштаб по времени", false);
    sbRecZoomOut = MakePageButton(box, "sbRecZoomOut", "-", "Уменьшить масштаб по времени", false);
    sbRecZoomUndo = MakePageButton(box, "sbRecZoomUndo", "1:1", "Исходный масштаб", false);
    sbRecZoomUndo->setEnabled(false);
    auto* zoomRow = new QHBoxLayout;
    zoomRow->addWidget(cbRecZoom, 1);
    zoomRow->addWidget(sbRecZoomIn);
    zoomRow->addWidget(sbRecZoomOut);
    zoomRow->addWidget(sbRecZoomUndo);
    grid->addLayout(zoomRow, 2, 0, 1, 2);

    auto* summary = new QGroupBox("Общие параметры сигнала", box);
    summary->setObjectName("grboxRecSignalParams");
    auto* values = new QGridLayout(summary);
    values->setContentsMargins(4, 4, 4, 4);
    const char* titles[] = {"Umax=", "Umin =", "Uср. ="};
    for (int ch = 0; ch < 2; ++ch) {
        const QString suffix = ch == 0 ? "Ch1" : "Ch2";
        lbRecUmax[ch] = MakePageLabel(summary, ("lbRecUmax" + suffix).toLatin1().constData());
        lbRecUmin[ch] = MakePageLabel(summary, ("lbRecUmin" + suffix).toLatin1().constData());
        lbRecUsr[ch] = MakePageLabel(summary, ("lbRecUsr" + suffix).toLatin1().constData());
        QLabel* labels[] = {lbRecUmax[ch], lbRecUmin[ch], lbRecUsr[ch]};
        for (int row = 0; row < 3; ++row) {
            auto* title = MakePageLabel(summary, "", titles[row]);
            title->setStyleSheet(ch == 0 ? "color: red" : "color: blue");
            values->addWidget(title, row, ch * 2);
            values->addWidget(labels[row], row, ch * 2 + 1);
        }
    }
    grid->addWidget(summary, 3, 0, 1, 2);

    connect(sbRecRun, &QToolButton::clicked, this, &RecPage::sbRecRunClick);
    connect(cbRecZoom, &QComboBox::currentIndexChanged, this, &RecPage::cbRecZoomChange);
    connect(sbRecZoomIn, &QToolButton::clicked, this, &RecPage::sbRecZoomInClick);
    connect(sbRecZoomOut, &QToolButton::clicked, this, &RecPage::sbRecZoomOutClick);
    connect(sbRecZoomUndo, &QToolButton::clicked, this, &RecPage::sbRecZoomUndoClick);
    return box;
}

QWidget* RecPage::buildReadouts()
{
    auto* box = new QGroupBox("Параметры сигнала под маркерами", this);
    box->setObjectName("grboxRecMarkerParams");
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(2, 0, 2, 0);
    grid->setHorizontalSpacing(12);
    lbRecMarker1Time = MakePageLabel(box, "lbRecMarker1Time");
    lbRecMarker2Time = MakePageLabel(box, "lbRecMarker2Time");
    lbRecMarker2Sub1Time = MakePageLabel(box, "lbRecMarker2Sub1Time");
    lbRecMarker1VoltA = MakePageLabel(box, "lbRecMarker1VoltA");
    lbRecMarker1VoltB = MakePageLabel(box, "lbRecMarker1VoltB");
    lbRecMarker2VoltA = MakePageLabel(box, "lbRecMarker2VoltA");
    lbRecMarker2VoltB = MakePageLabel(box, "lbRecMarker2VoltB");
    lbRecMarker2Sub1VoltA = MakePageLabel(box, "lbRecMarker2Sub1VoltA");
    lbRecMarker2Sub1VoltB = MakePageLabel(box, "lbRecMarker2Sub1VoltB");
    grid->addWidget(MakePageLabel(box, "", "M1"), 0, 0);
    grid->addWidget(MakePageLabel(box, "", "M2"), 1, 0);
    grid->addWidget(MakePageLabel(box, "", "M2-M1"), 2, 0);
    grid->addWidget(lbRecMarker1Time, 0, 1);
    grid->addWidget(lbRecMarker2Time, 1, 1);
    grid->addWidget(lbRecMarker2Sub1Time, 2, 1);
    grid->addWidget(lbRecMarker1VoltA, 0, 2);
    grid->addWidget(lbRecMarker2VoltA, 1, 2);
    grid->addWidget(lbRecMarker2Sub1VoltA, 2, 2);
    grid->addWidget(lbRecMarker1VoltB, 0, 3);
    grid->addWidget(lbRecMarker2VoltB, 1, 3);
    grid->addWidget(lbRecMarker2Sub1VoltB, 2, 3);
    for (QLabel* l : {lbRecMarker1VoltA, lbRecMarker2VoltA})
        l->setStyleSheet("color: red");
    for (QLabel* l : {lbRecMarker1VoltB, lbRecMarker2VoltB})
        l->setStyleSheet("color: blue");
    grid->setColumnStretch(4, 1);
    return box;
}

void RecPage::lsbRecSetupHideClick()
{
    pnRecSetupScroll->setVisible(false);
    lsbRecSetupShow->setVisible(true);
}

void RecPage::lsbRecSetupShowClick()
{
    lsbRecSetupShow->setVisible(false);
    pnRecSetupScroll->setVisible(true);
}

bool RecPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == pnRecShowSignal && event->type() == QEvent::MouseButtonDblClick) {
        if (!ctx_.measurementRuns())
            emit optionsRequested();
        return true;
    }
    if (watched == sgRecMarker->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            markerTableMenu(mouse->position().toPoint());
            return true;
        }
    }
    if (watched == sgRecMarker && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const int row = sgRecMarker->currentRow();
        if (key == Qt::Key_Insert) {
            AddMarker(row);
            return true;
        }
        if (key == Qt::Key_Delete) {
            DeleteMarker(row);
            return true;
        }
    }
    return MeasurementPage::eventFilter(watched, event);
}

} // namespace tesmar
