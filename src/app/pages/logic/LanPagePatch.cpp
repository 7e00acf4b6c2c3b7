// The logic analyser page: patch mode. A buffered capture made in patch mode waits, dotted after
// the main diagram, while the shift buttons line it up; the join writes it into the captures.

#include "app/pages/logic/LanChart.h"
#include "app/pages/logic/LanPage.h"
#include "app/pages/PageWidgets.h"
#include "app/MainMenu.h"
#include "text/MessageTable.h"

#include <QAction>
#include <QHBoxLayout>
#include <QTimer>
#include <QToolButton>

namespace tesmar {

namespace {
constexpr int kShiftPause = 1000; // ms before a held shift button repeats
constexpr int kShiftRepeat = 50;
constexpr int kShiftLeft = 1, kShiftRight = 2;
} // namespace

void LanPage::setupPatch()
{
    patchButtons_ = new QWidget(chLAN);
    patchButtons_->setObjectName("pnLANPatch");
    auto* row = new QHBoxLayout(patchButtons_);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    spbtPatchShiftLeft = MakePageButton(patchButtons_, "spbtPatchShiftLeft", "◄", "Сместить вклейку влево", false);
    spbtPatchShiftRight = MakePageButton(patchButtons_, "spbtPatchShiftRight", "►", "Сместить вклейку вправо", false);
    spbtPatch = MakePageButton(patchButtons_, "spbtPatch", "Склеить",
                               "Склеить (соединить только что считанные данные (пунктирная диаграмма) с ранее "
                               "считанными данными)",
                               false);
    row->addWidget(spbtPatchShiftLeft);
    row->addWidget(spbtPatchShiftRight);
    row->addWidget(spbtPatch);
    patchButtons_->adjustSize();
    showPatchButtons(false);

    timerRepeatPatchShift = new QTimer(this);
    timerRepeatPatchShift->setObjectName("timerRepeatPatchShift");
    timerRepeatPatchShift->setInterval(kShiftPause);
    connect(timerRepeatPatchShift, &QTimer::timeout, this, &LanPage::timerRepeatPatchShiftTimer);
    connect(spbtPatchShiftLeft, &QToolButton::pressed, this, &LanPage::spbtPatchShiftLeftMouseDown);
    connect(spbtPatchShiftRight, &QToolButton::pressed, this, &LanPage::spbtPatchShiftRightMouseDown);
    connect(spbtPatchShiftLeft, &QToolButton::released, this, &LanPage::spbtPatchShiftLeftMouseUp);
    connect(spbtPatchShiftRight, &QToolButton::released, this, &LanPage::spbtPatchShiftLeftMouseUp);
    connect(spbtPatch, &QToolButton::clicked, this, &LanPage::spbtPatchClick);
    connect(chLAN, &QCustomPlot::afterReplot, this, &LanPage::placePatchButtons);
    connect(ctx_.menu.miLANPatch, &QAction::triggered, this, &LanPage::miLANPatchClick);
    setPatchAllowed(false); // until a buffered capture is drawn
}

void LanPage::placePatchButtons()
{
    const QRect plot = chLAN->axisRect()->rect();
    patchButtons_->move(plot.right() - patchButtons_->width() - 4, plot.top() + 4);
}

void LanPage::showPatchButtons(bool show)
{
    for (QToolButton* button : {spbtPatchShiftLeft, spbtPatchShiftRight, spbtPatch})
        button->setVisible(show);
    patchButtons_->setVisible(show); // hidden, it takes no clicks from the chart either
}

void LanPage::setPatchAllowed(bool allowed)
{
    ctx_.menu.miLANPatch->setEnabled(allowed && !running());
    emit patchAllowedChanged(allowed);
}

void LanPage::takePatch(std::vector<std::uint8_t> busA, std::vector<std::uint8_t> busB)
{
    const double period = 1.0 / captureRate_;
    if (!SamePatchPeriod(period, capture_.samplePeriod) && ctx_.showWarning)
        ctx_.showWarning(msg(Msg::strPathFdDiff)); // the join will refuse it; it is drawn all the same
    patch_ = PlacePatch(capture_, pendingPatch(), std::move(busA), std::move(busB), period);
    patchSummaries_[0].build(patch_->busA);
    patchSummaries_[1].build(patch_->busB);
    showPatchButtons(true);
    placePatchButtons();
    drawPatch();
    alignToPatch_ = true;
    RecomputeTimeAxis();
}

void LanPage::drawPatch()
{
    const int a = LanChart::kPatchBusA, b = LanChart::kPatchBusA + 1;
    if (!patch_) {
        chLAN->clearBus(a);
        chLAN->clearBus(b);
        return;
    }
    const double firstX = patch_->firstTime() * multiplier_, step = patch_->period * multiplier_;
    chLAN->setBus(a, {patch_->busA, &patchSummaries_[0], firstX, step, 0xFF});
    if (patch_->busB.empty())
        chLAN->clearBus(b);
    else
        chLAN->setBus(b, {patch_->busB, &patchSummaries_[1], firstX, step, 0xFF});
}

void LanPage::shiftPatch(int direction)
{
    if (!patch_ || !ShiftPatch(*patch_, capture_, direction))
        return;
    drawPatch();
    // A held button shifts faster than a huge capture may draw: repaints are merged.
    chLAN->replot(QCustomPlot::rpQueuedReplot);
}

void LanPage::spbtPatchShiftLeftMouseDown()
{
    shiftPatch(-1);
    patchShiftDirection_ = kShiftLeft;
    timerRepeatPatchShift->setInterval(kShiftPause);
    timerRepeatPatchShift->start();
}

void LanPage::spbtPatchShiftRightMouseDown()
{
    shiftPatch(+1);
    patchShiftDirection_ = kShiftRight;
    timerRepeatPatchShift->setInterval(kShiftPause);
    timerRepeatPatchShift->start();
}

void LanPage::spbtPatchShiftLeftMouseUp()
{
    patchShiftDirection_ = 0;
}

void LanPage::timerRepeatPatchShiftTimer()
{
    if (patchShiftDirection_ == 0) {
        timerRepeatPatchShift->stop();
        timerRepeatPatchShift->setInterval(kShiftPause);
        return;
    }
    timerRepeatPatchShift->setInterval(kShiftRepeat);
    shiftPatch(patchShiftDirection_ == kShiftLeft ? -1 : +1);
}

void LanPage::spbtPatchClick()
{
    if (!patch_)
        return;
    if (const auto error = JoinPatch(capture_, *patch_)) {
        if (ctx_.showWarning)
            ctx_.showWarning(msg(*error == PatchJoinError::PeriodMismatch ? Msg::strPathFdDiffErr : Msg::strPathError));
        return;
    }
    cancelPatch();
    drawCapture(true, false); // both buses from the joined captures; the statistics follow
}

void LanPage::miLANPatchClick()
{
    if (!ctx_.menu.miLANPatch->isChecked() && patch_) {
        cancelPatch();
        RecomputeTimeAxis();
    }
}

void LanPage::cancelPatch()
{
    patch_.reset();
    patchShiftDirection_ = 0;
    if (!timerRepeatPatchShift)
        return; // not built yet
    timerRepeatPatchShift->stop();
    timerRepeatPatchShift->setInterval(kShiftPause);
    showPatchButtons(false);
    drawPatch();
}

} // namespace tesmar
