// The oscilloscope page: runs, read mode, channels, ranges and the trigger.

#include "app/pages/osc/OscChart.h"
#include "app/pages/osc/OscPage.h"
#include "app/pages/PageWidgets.h"
#include "text/MessageTable.h"
#include "osc/OscOptions.h"
#include "osc/OscReadMode.h"
#include "device/UsbSession.h"
#include "settings/SystemSettings.h"
#include "ui/knob/TOscKnob.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>

#include <cmath>

namespace tesmar {

bool OscPage::running() const
{
    return acquisition_->running() || timerRunOsc->isActive() || !sbOscRunSingle->isEnabled() ||
           !sbOscRun->isEnabled();
}

OscBlockInput OscPage::blockInput() const
{
    OscBlockInput in;
    in.timeDiv = knOscTimeDiv->CurValueReal();
    in.chAOn = sbOscOnCh1->isChecked();
    in.chBOn = sbOscOnCh2->isChecked();
    in.rangeA = knOscCh1->CurValueReal();
    in.rangeB = knOscCh2->CurValueReal();
    in.calibration = ctx_.calibration;
    in.oldInputCodes = ctx_.system.old;
    in.streamMode = streamMode_;
    in.capacity = capacity_;
    in.preTriggerCount = preTrigger_;
    in.disableAveraging = ctx_.oscOptions.osc_disable_average;
    in.bufferBoundaryPeriod = bufferBoundaryPeriod();
    in.triggerOn = sbOscTriggerOn->isChecked();
    in.triggerSource = sbOscTriggerSourceExt->isChecked()   ? TriggerSource::External
                       : sbOscTriggerSourceCh2->isChecked() ? TriggerSource::ChannelB
                                                            : TriggerSource::ChannelA;
    in.triggerEdge = sbOscTriggerEdgeRising->isChecked() ? TriggerEdge::Rising : TriggerEdge::Falling;
    in.triggerKind = spOscTriggerDif->isChecked() ? TriggerKind::Difference : TriggerKind::Absolute;
    in.levelA = chOsc->triggerLevel(0);
    in.levelB = chOsc->triggerLevel(1);
    in.typedThreshold = typedThreshold();
    in.previousThreshold = threshold_;
    return in;
}

std::optional<double> OscPage::bufferBoundaryPeriod() const
{
    // Item e ≥ 1 of the option's list stands for time-base entry e − 1; item 0 is "Все".
    const int b = ctx_.oscOptions.count_osc_index_buf;
    const auto& entries = knOscTimeDiv->OscKnobData();
    if (b >= 1 && b - 1 < static_cast<int>(entries.size()))
        return entries[b - 1].ValueReal;
    return std::nullopt;
}

std::optional<double> OscPage::typedThreshold() const
{
    bool ok = false;
    const double typed = QLocale().toDouble(edOscTriggerDif->text(), &ok);
    return ok ? std::optional<double>(typed) : std::nullopt;
}

void OscPage::showThreshold()
{
    edOscTriggerDif->setText(QString::number(threshold_).replace('.', QChar(decimalSeparator())));
}

void OscPage::StartOscAcquisition()
{
    skipDraw_ = false;
    const OscBlockInput input = blockInput();
    const OscBlock block = BuildOscBlock(input);
    threshold_ = block.threshold;
    showThreshold();
    dt_ = block.pointPeriod;
    lastBlockBuild_.start();
    acquisition_->start(OscAcquisitionParams::FromBlock(block, input, ctx_.system.eightBit));
    if (streamMode_)
        timerOscLive->start();
    showWaitingStatus();
}

void OscPage::StopOscAcquisition()
{
    timerRunOsc->stop();
    acquisition_->stop();
}

void OscPage::shutdown()
{
    timerRunOsc->stop();
    timerResetOscTrigger->stop();
    timerOscLive->stop();
    acquisition_->shutdown();
}

void OscPage::pressRunButton(QToolButton* pressed, QToolButton* other)
{
    if (!deviceReady(pressed))
        return;
    showRunning(pressed, other, 0);
    StartOscAcquisition();
}

void OscPage::sbOscRunSingleClick()
{
    if (!sbOscRunSingle->isChecked()) {
        StopOscAcquisition();
        return;
    }
    pressRunButton(sbOscRunSingle, sbOscRun);
}

void OscPage::sbOscRunClick()
{
    if (!sbOscRun->isChecked()) {
        StopOscAcquisition();
        // A stream cycle may be between records, waiting for its timer: end it here.
        if (!acquisition_->running())
            OscRunDone(!streamMode_);
        return;
    }
    pressRunButton(sbOscRun, sbOscRunSingle);
}

void OscPage::restoreRunButtons()
{
    MeasurementPage::restoreRunButtons(sbOscRunSingle, sbOscRun);
}

void OscPage::OscRunDone(bool bufferMode)
{
    timerOscLive->stop();
    OscResult& result = acquisition_->result();
    // A stream record that is not drawn whole (a reset, a read that failed) keeps what the
    // screen showed of it, with the points that came since.
    auto keepLive = [&] {
        if (!bufferMode && !skipDraw_)
            drawLiveRecord();
    };
    auto decode = [&] {
        if (bufferMode && acquisition_->bufferFrame()) {
            OscBufferDecodeOptions options;
            options.smallBuffer = ctx_.oscOptions.osc_force_small_buf;
            options.oldCodes = ctx_.system.old;
            DecodeOscBuffer(*acquisition_->bufferFrame(), acquisition_->lastParams(), options, result);
        }
        if (!skipDraw_)
            ProcessOscData();
    };
    if (sbOscRunSingle->isEnabled() && skipDraw_ && bufferMode && result.DataReady && sbOscRunSingle->isChecked()) {
        // A single run's record was made with settings changed since: the run waits again
        // with the new ones instead of ending without a record.
        StartOscAcquisition();
        return;
    }
    // A record that ended incomplete without a stop lost its data on the way: said on the status
    // line, which the restored buttons have just cleared.
    const bool readFailed = !result.DataReady && !acquisition_->stopRequested();
    if (sbOscRunSingle->isEnabled()) {
        if (result.DataReady)
            decode();
        else
            keepLive();
        restoreRunButtons();
    } else {
        const bool go = result.DataReady && sbOscRun->isChecked();
        if (go) {
            decode();
            if (bufferMode)
                StartOscAcquisition();
            else
                timerRunOsc->start();
        } else {
            keepLive();
            restoreRunButtons();
        }
    }
    if (readFailed)
        ctx_.setStatusText(msg(Msg::strRecErrRead));
    skipDraw_ = false;
}

void OscPage::knOscTimeDivChange()
{
    const bool both = sbOscOnCh1->isChecked() && sbOscOnCh2->isChecked();
    const OscReadMode mode =
        ChooseOscReadMode(knOscTimeDiv->CurValueReal(), bufferBoundaryPeriod(), both, ctx_.oscOptions);
    quantizedTd_ = mode.quantizedTd;
    streamMode_ = mode.stream;
    capacity_ = mode.capacity;
    preTrigger_ = mode.preTrigger;
    if (streamMode_) {
        if (sbOscTriggerSourceExt->isChecked())
            (sbOscTriggerSourceCh1->isEnabled() ? sbOscTriggerSourceCh1 : sbOscTriggerSourceCh2)->setChecked(true);
        sbOscTriggerSourceExt->setEnabled(false);
        pnOscViewReadType->setText("Pipe");
        pnOscViewReadType->setStyleSheet("color: green; font-weight: bold");
    } else {
        sbOscTriggerSourceExt->setEnabled(true);
        pnOscViewReadType->setText("Buf");
        pnOscViewReadType->setStyleSheet("color: red; font-weight: bold");
    }
    pnOscViewReadType->setVisible(ctx_.oscOptions.pnOscViewReadTypeVisible);
    applyTriggerRules();
    if (chOsc->srOsc_Ch1->dataCount() == 0 && chOsc->srOsc_Ch2->dataCount() == 0)
        SetupTimeAxis();
}

void OscPage::channelClick(int channel)
{
    QToolButton* on = channel == 0 ? sbOscOnCh1 : sbOscOnCh2;
    QToolButton* other = channel == 0 ? sbOscOnCh2 : sbOscOnCh1;
    if (!on->isChecked() && !other->isChecked())
        on->setChecked(true); // one channel is always on
    const bool isOn = on->isChecked();
    on->setText(msg(isOn ? Msg::strChOn : Msg::strChOff));
    on->setStyleSheet(isOn ? (channel == 0 ? "color: red" : "color: blue") : "color: black");
    if (!isOn && !running()) {
        (channel == 0 ? chOsc->srOsc_Ch1 : chOsc->srOsc_Ch2)->data()->clear();
        chOsc->replot();
    }
    QToolButton* source = channel == 0 ? sbOscTriggerSourceCh1 : sbOscTriggerSourceCh2;
    source->setEnabled(isOn);
    if (!isOn && source->isChecked())
        (channel == 0 ? sbOscTriggerSourceCh2 : sbOscTriggerSourceCh1)->setChecked(true);
    const bool both = sbOscOnCh1->isChecked() && sbOscOnCh2->isChecked();
    knOscTimeDiv->setIndexMaxEnable(both ? 34 : -1);
    knOscTimeDivChange();
    SetupTimeAxis();
    RestartTrigger(false);
}

void OscPage::sbOscOnCh1Click()
{
    channelClick(0);
}

void OscPage::sbOscOnCh2Click()
{
    channelClick(1);
}

void OscPage::setAxis(int channel, const AxisRange& range)
{
    QCPAxis* axis = chOsc->channelAxis(channel);
    const AxisRange before{axis->range().lower, axis->range().upper};
    const bool snapToSignal =
        channel == 0 ? ctx_.oscOptions.f_snap_trigger_level_ch1 : ctx_.oscOptions.f_snap_trigger_level_ch2;
    chOsc->setTriggerLevel(channel, LevelAfterAxisChange(chOsc->triggerLevel(channel), before, range, snapToSignal));
    axis->setRange(range.min, range.max);
    chOsc->replot();
}

void OscPage::rangeKnobChange(int channel)
{
    QCPAxis* axis = chOsc->channelAxis(channel);
    const double volts = (channel == 0 ? knOscCh1 : knOscCh2)->CurValueReal();
    setAxis(channel, RescaleForRange({axis->range().lower, axis->range().upper}, volts));
    RestartTrigger(false);
}

void OscPage::knOscCh1Change()
{
    rangeKnobChange(0);
}

void OscPage::knOscCh2Change()
{
    rangeKnobChange(1);
}

void OscPage::ZeroMenuClick(int channel, int tag)
{
    const double volts = (channel == 0 ? knOscCh1 : knOscCh2)->CurValueReal();
    setAxis(channel, ZeroMenuAxis(volts, tag));
    RestartTrigger(false);
}

void OscPage::autoRangeClick(int channel)
{
    QToolButton* range = channel == 0 ? sbOscAvtoRangeCh1 : sbOscAvtoRangeCh2;
    QToolButton* zero = channel == 0 ? sbOscAvtoZeroCh1 : sbOscAvtoZeroCh2;
    zero->setEnabled(range->isChecked());
}

void OscPage::sbOscAvtoRangeCh1Click()
{
    autoRangeClick(0);
}

void OscPage::sbOscAvtoRangeCh2Click()
{
    autoRangeClick(1);
}

void OscPage::applyTriggerRules()
{
    const bool external = sbOscTriggerSourceExt->isChecked();
    spOscTriggerAbs->setEnabled(!external);
    spOscTriggerDif->setEnabled(!external);
    const bool difference = spOscTriggerDif->isChecked();
    chOsc->setTriggerLinesVisible(!difference);
    edOscTriggerDif->setEnabled(difference);
    lbOscTriggerDifUnit->setEnabled(difference);
    chOsc->replot(QCustomPlot::rpQueuedReplot);
}

void OscPage::setTriggerOn(bool on)
{
    sbOscTriggerOn->setChecked(on);
    sbOscTriggerOn->setText(msg(on ? Msg::strTriggerOn : Msg::strTriggerOff));
    sbOscTriggerOn->setStyleSheet(on ? "color: #004600" : "color: black");
}

void OscPage::sbOscTriggerOnClick()
{
    if (sbOscTriggerOn->isChecked()) {
        setTriggerOn(true);
    } else {
        RestartTrigger(true);
        setTriggerOn(false);
    }
    SetupTimeAxis();
}

void OscPage::sbOscTriggerSourceCh1Click()
{
    if (ctx_.oscOptions.osc_avto_on_trigger && !sbOscTriggerOn->isChecked()) {
        setTriggerOn(true);
        SetupTimeAxis();
    }
    applyTriggerRules();
    RestartTrigger(false);
}

void OscPage::edOscTriggerDifEnter()
{
    if (const auto typed = typedThreshold())
        threshold_ = std::clamp(*typed, kMinDifferenceThreshold, kMaxDifferenceThreshold);
    showThreshold();
    setFocus();
    if (ctx_.oscOptions.osc_avto_on_trigger && !sbOscTriggerOn->isChecked()) {
        setTriggerOn(true);
        SetupTimeAxis();
    }
}

void OscPage::RestartTrigger(bool force)
{
    skipDraw_ = true;
    if (sbOscRunSingle->isEnabled() && sbOscRun->isEnabled())
        return; // nothing runs
    if (!force && !sbOscTriggerOn->isChecked())
        return;
    if (lastBlockBuild_.isValid() && lastBlockBuild_.elapsed() <= ctx_.system.waitResetTrigger) {
        timerResetOscTrigger->start(ctx_.system.waitResetTrigger);
        return;
    }
    restartNow();
}

void OscPage::timerResetOscTriggerTimer()
{
    timerResetOscTrigger->stop();
    // A timer may fire a little early; the pending restart must not be lost for that.
    const qint64 elapsed = lastBlockBuild_.isValid() ? lastBlockBuild_.elapsed() : ctx_.system.waitResetTrigger + 1;
    if (elapsed <= ctx_.system.waitResetTrigger) {
        timerResetOscTrigger->start(static_cast<int>(ctx_.system.waitResetTrigger - elapsed) + 1);
        return;
    }
    restartNow();
}

void OscPage::restartNow()
{
    if (streamMode_ || !acquisition_->running()) {
        StopOscAcquisition();
        timerRunOsc->start();
        return;
    }
    // Buffer mode: the waiting reader receives the record of the new block, which is drawn.
    skipDraw_ = false;
    ctx_.session.DeviceReset();
    const OscBlockInput input = blockInput();
    const OscBlock block = BuildOscBlock(input);
    threshold_ = block.threshold;
    dt_ = block.pointPeriod;
    lastBlockBuild_.start();
    acquisition_->blockResent(OscAcquisitionParams::FromBlock(block, input, ctx_.system.eightBit));
    SetupPacket& setup = ctx_.session.setupPacket();
    setup.bRequest = block.bRequest;
    setup.wValue = block.wValue;
    setup.wIndex = block.wIndex;
    ctx_.session.WriteCommand(block.block.bytes.data(), 12);
}

} // namespace tesmar
