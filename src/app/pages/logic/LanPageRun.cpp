// The logic analyser page: sampling mode, trigger, external clock, the run and its completion.

#include "app/pages/logic/LanChart.h"
#include "app/pages/logic/LanPage.h"
#include "app/MainMenu.h"
#include "app/logic/LanGeneratorPanel.h"
#include "app/options/OptionVariables.h"
#include "device/DeviceClock.h"
#include "device/LogicBlock.h"
#include "device/UsbSession.h"
#include "settings/IniFile.h"
#include "text/MessageTable.h"
#include "logic/ChannelNames.h"
#include "logic/LogicUnpack.h"
#include "logic/acquisition/LanAcquisition.h"
#include "ui/knob/TOscKnob.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QSpinBox>
#include <QProgressBar>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <climits>
#include <vector>

namespace tesmar {

bool LanPage::running() const
{
    return acquisition_->running() || sbLANRun->text() == msg(Msg::strReset);
}

bool LanPage::pulseSkipActive() const
{
    return sbLANTriggerOn->isChecked() && (sbLANPassImpulsRising->isChecked() || sbLANPassImpulsFailling->isChecked()) &&
           udLANPassImpuls->value() > 0;
}

void LanPage::fillLineList(QComboBox* list, LogicLineList lines)
{
    const int first = lines == LogicLineList::BusB ? 8 : 0;
    const int last = lines == LogicLineList::BusA ? 8 : 16;
    const QString current = list->currentText();
    if (list->count() == last - first && list->itemData(0).toInt() == first)
        return;
    list->clear();
    for (int c = first; c < last; ++c)
        list->addItem(QString::fromStdString(channels_.names[c]), c);
    const int keep = list->findText(current);
    list->setCurrentIndex(std::max(keep, 0));
}

void LanPage::knLANFrecDivChange()
{
    if (!knLANFrecDiv->isEnabled() && !externalFrequency_)
        return;
    std::vector<double> values;
    for (const auto& entry : knLANFrecDiv->OscKnobData())
        values.push_back(entry.ValueReal);
    LogicModeInput in;
    in.rateEntry = knLANFrecDiv->IndexSelectData();
    in.entryValues = values;
    in.externalFrequency = sbLANExtFrec->isChecked() ? externalFrequency_ : std::nullopt;
    in.generator = sbLANModeBusG->isChecked();
    in.sixteenLines = sbLANModeBusA->isChecked();
    in.externalClock = sbLANExtSampling->isChecked();
    in.triggerOn = sbLANTriggerOn->isChecked();
    in.pulseSkipActive = pulseSkipActive();
    in.bufferLimitIndex = ctx_.options.lan_index_buf;
    in.bufferedPreTrigger = ctx_.options.lan_pre_trg_buf;
    in.streamDepthIndex = ctx_.options.lan_mem_size_index;
    in.streamPrePercent = ctx_.options.lan_pre_trg_pipe_pr;
    mode_ = ChooseLogicMode(in);
    // The generator needs the buffer; a user who chose a streaming rate is told why at the start.
    LogicModeInput withoutGenerator = in;
    withoutGenerator.generator = false;
    bufferedForGenerator_ = in.generator && mode_.buffered && !ChooseLogicMode(withoutGenerator).buffered;

    if (mode_.releaseBusBModes && (sbLANModeBusG->isChecked() || sbLANModeBusA->isChecked())) {
        sbLANModeBusG->setChecked(false);
        sbLANModeBusA->setChecked(false);
        sbLANModeBusGClick();
        return; // the mode handler ran the selection again
    }
    sbLANModeBusG->setEnabled(mode_.busBModesEnabled && mode_.generatorEnabled);
    sbLANModeBusA->setEnabled(mode_.busBModesEnabled);
    if (mode_.releaseGenerator && sbLANModeBusG->isChecked())
        sbLANModeBusG->setChecked(false);
    sbLANExtSampling->setEnabled(mode_.externalEnabled);
    if (mode_.releaseExternal)
        sbLANExtSampling->setChecked(false);
    for (QToolButton* b : {sbLANPassImpulsRising, sbLANPassImpulsFailling})
        b->setEnabled(mode_.passEnabled);
    sbLANTriggerMaskOnBusB->setEnabled(mode_.maskOnBusBEnabled);
    if (!mode_.maskOnBusBEnabled && sbLANTriggerMaskOnBusB->isChecked())
        sbLANTriggerMaskOnBusA->setChecked(true);
    fillLineList(cbLANTriggerEdgeCh, mode_.edgeLines);
    fillLineList(cbLANPassImpulsCh, mode_.passLines);
    pnLANViewReadType->setText(mode_.buffered ? "Buf" : "Pipe");
    pnLANViewReadType->setStyleSheet(mode_.buffered ? "color: red; font-weight: bold"
                                                    : "color: #008000; font-weight: bold");
    pnLANViewReadType->setVisible(ctx_.options.pnLANViewReadTypeVisible);
    RecomputeTimeAxis();
    if (sbLANModeBusG->isChecked())
        refreshStatistics(); // the generator's lines are counted at the knob's rate
}

void LanPage::triggerControlTouched()
{
    if (ctx_.options.lan_avto_on_trigger && !sbLANTriggerOn->isChecked()) {
        sbLANTriggerOn->setChecked(true);
        sbLANTriggerOnClick();
        return;
    }
    knLANFrecDivChange();
}

void LanPage::sbLANTriggerOnClick()
{
    const bool on = sbLANTriggerOn->isChecked();
    sbLANTriggerOn->setText(msg(on ? Msg::strTriggerOn : Msg::strTriggerOff));
    sbLANTriggerOn->setStyleSheet(on ? "color: #004600" : "color: black");
    knLANFrecDivChange();
}

void LanPage::sbLANModeBusGClick()
{
    const bool generator = sbLANModeBusG->isChecked();
    cancelPatch();
    chLAN->setToolTip(generator ? msg(Msg::strLanGenHint) : QString());
    if (!generator) {
        releaseOutputs(); // bus B is no longer driven
        if (!sbLANModeBusA->isChecked())
            capture_.busB.clear();
    }
    generatorPanel->setEnabled(generator);
    chLAN->setTraceEditing(generator);
    generatorPanel->setStyleSheet(generator ? QString() : QString("QGroupBox { color: #808080; }"));
    drawGenerator();
    knLANFrecDivChange();
    refreshStatistics();
}

void LanPage::releaseOutputs()
{
    if (!ctx_.session.isOpen() || running())
        return;
    SetupPacket release;
    release.bRequest = CmdReleaseOutputs;
    ctx_.session.WriteCommandPacket(release, nullptr, 0);
}

void LanPage::sbLANExtSamplingClick()
{
    knLANFrecDivChange();
}

void LanPage::sbLANExtFrecClick()
{
    const bool on = sbLANExtFrec->isChecked();
    edLANExtFrec->setEnabled(on);
    knLANFrecDiv->setEnabled(!on);
    if (on)
        edLANExtFrecEnter();
    else {
        externalFrequency_.reset();
        knLANFrecDivChange();
    }
}

void LanPage::edLANExtFrecEnter()
{
    bool ok = false;
    double kHz = QLocale().toDouble(edLANExtFrec->text(), &ok);
    if (!ok || !std::isfinite(kHz))
        kHz = mode_.sampleRate / 1000; // a text that is not a number gives the current rate
    kHz = std::clamp(kHz, 1.0, 1000.0);
    edLANExtFrec->setText(QLocale().toString(kHz, 'f', 2));
    externalFrequency_ = QuantizeRate(kHz * 1000);
    setFocus();
    knLANFrecDivChange();
}

void LanPage::sbLANRunClick()
{
    if (!sbLANRun->isChecked()) {
        acquisition_->stop();
        return;
    }
    if (running())
        return;
    if (!deviceReady(sbLANRun))
        return;
    if (sbLANExtFrec->isChecked())
        edLANExtFrecEnter();
    showRunning(sbLANRun, nullptr, 3);
    if (bufferedForGenerator_)
        ctx_.setStatusText(msg(Msg::strLanBufferedForGenerator));
    startCapture();
}

void LanPage::startCapture()
{
    forgetSearchHit();
    if (!mode_.buffered) {
        ctx_.menu.miLANPatch->setChecked(false);
        cancelPatch();
        setPatchAllowed(false);
        chLAN->clearBus(0);
        chLAN->clearBus(1);
        startAtZero_ = true;
        RecomputeTimeAxis();
    }
    LogicBlockInput in;
    in.rateEntry = knLANFrecDiv->IndexSelectData();
    in.sampleRate = mode_.sampleRate;
    in.bufferMode = mode_.buffered;
    in.busBAnalyser = sbLANModeBusA->isChecked();
    in.busBGenerator = sbLANModeBusG->isChecked();
    in.cyclicGeneration = ctx_.menu.miLANCG->isChecked();
    in.keepOutputs = ctx_.menu.miLANKeepOUT->isChecked();
    in.externalClock = sbLANExtSampling->isChecked();
    in.externalClockLine = ctx_.options.lan_ch_ext_smpl;
    in.externalEdgeRising = sbLANExtEdgeRising->isChecked();
    in.busAInverse = ctx_.options.LanBusAInverse;
    in.triggerOn = sbLANTriggerOn->isChecked();
    in.patternTrigger = sbLANTriggerMask->isChecked();
    in.edgeRising = sbLANTriggerEdgeRising->isChecked();
    in.patternText = edLANTriggerMask->text().toStdString();
    in.patternOnBusA = sbLANTriggerMaskOnBusA->isChecked();
    in.edgeLine = cbLANTriggerEdgeCh->currentData().toInt();
    in.skipRising = sbLANPassImpulsRising->isChecked();
    in.skipFalling = sbLANPassImpulsFailling->isChecked();
    in.skipCount = udLANPassImpuls->value();
    in.skipLine = cbLANPassImpulsCh->currentData().toInt();
    in.preTrigger = static_cast<std::uint8_t>(mode_.preTrigger & 0xFF);
    const GeneratorImage image = [&] {
        GeneratorImage g{};
        std::copy(generator_.samples().begin(), generator_.samples().end(), g.begin());
        return g;
    }();
    in.generator = &image;
    const LogicBlockResult block = BuildLogicBlock(in);
    captureRate_ = mode_.sampleRate;
    layout_ = BufferLayoutOf(in, block, static_cast<int>(mode_.preTrigger));
    acquisition_->start(block, mode_.depth, mode_.preTrigger);
    if (!mode_.buffered) {
        pbLANStream->setRange(0, static_cast<int>(std::min<std::int64_t>(mode_.depth, INT_MAX)));
        pbLANStream->setValue(0);
        pbLANStream->setVisible(true);
        timerLANStreamProgress->start();
    }
}

void LanPage::restoreRunButton()
{
    sbLANRun->setChecked(false);
    sbLANRun->setText(msg(Msg::strStart));
    sbLANRun->setStyleSheet("color: #008000");
    sbLANRun->setToolTip(msg(Msg::strRunSingleHint));
    ctx_.setStatusText({});
}

void LanPage::LanRunDone()
{
    timerLANStreamProgress->stop();
    pbLANStream->setVisible(false);
    restoreRunButton();
    LanReaderThread* thread = acquisition_->finished();
    if (thread && !acquisition_->stopped()) {
        if (thread->stream())
            takeStreamCapture();
        else
            takeBufferCapture();
    }
    ctx_.unlockPages();
}

void LanPage::takeBufferCapture()
{
    auto* thread = static_cast<TWaitLanBufThread*>(acquisition_->finished());
    if (!thread->valid()) {
        // An incomplete read-out is dropped and the previous diagram stays; the loss is said.
        ctx_.setStatusText(msg(Msg::strRecErrRead));
        return;
    }
    UnpackedLogic u = UnpackLogicBuffer(thread->frame(), layout_);
    if (ctx_.menu.miLANPatch->isChecked() && !chLAN->bus(0).empty()) {
        takePatch(std::move(u.busA), std::move(u.busB));
        return;
    }
    startAtZero_ = !chLAN->extent().has_value();
    capture_ = MakeLogicCapture(std::move(u.busA), std::move(u.busB), 1.0 / captureRate_, u.preTrigger);
    drawCapture(true, false);
}

void LanPage::takeStreamCapture()
{
    auto* thread = static_cast<TWaitLanPipeThread*>(acquisition_->finished());
    LogicStreamResult& r = thread->result();
    if (r.status == LogicStreamStatus::OutOfMemory) {
        if (ctx_.showWarning)
            ctx_.showWarning(msg(Msg::strLanErrOutMemAs));
        return;
    }
    const std::int64_t pre = thread->preTrigger();
    if (r.status == LogicStreamStatus::ReadError && ctx_.showWarning)
        ctx_.showWarning(msg(Msg::strRecErrRead));
    // What arrived before a failure is kept, as long as it can be put in time order.
    auto ordered = FinishLogicStream(std::move(r), pre, ctx_.options.LanBusAInverse);
    if (!ordered)
        return;
    std::vector<std::uint8_t> busA = std::move(*ordered);
    capture_ = MakeLogicCapture(std::move(busA), {}, 1.0 / captureRate_, static_cast<std::int32_t>(pre));
    capture_.drawnLinesA = ctx_.options.lan_use_ch_mask;
    startAtZero_ = true;
    drawCapture(true, true);
}

void LanPage::shutdown()
{
    timerChangeUpPass->stop();
    acquisition_->shutdown();
}

void LanPage::readSettings(const IniFile& ini)
{
    const char* s = "main";
    knLANFrecDiv->setIndexSelectData(
        static_cast<int>(ini.readInteger(s, "knLANFrecDivIndexSelectData", knLANFrecDiv->IndexSelectData())));
    sbLANModeBusG->setChecked(ini.readBool(s, "sbLANModeBusG", sbLANModeBusG->isChecked()));
    sbLANModeBusA->setChecked(!sbLANModeBusG->isChecked() && ini.readBool(s, "sbLANModeBusA", false));
    sbLANTriggerOn->setChecked(ini.readBool(s, "sbLANTriggerOn", false));
    sbLANTriggerMask->setChecked(ini.readBool(s, "sbLANTriggerMask", true));
    sbLANTriggerEdgeRising->setChecked(!sbLANTriggerMask->isChecked() && ini.readBool(s, "sbLANTriggerEdgeRising", true));
    sbLANTriggerEdgeFailling->setChecked(!sbLANTriggerMask->isChecked() && !sbLANTriggerEdgeRising->isChecked());
    edLANTriggerMask->setText(QString::fromStdString(ini.readString(s, "edLANTriggerMask", "00000000")).left(8));
    udLANPassImpuls->setValue(static_cast<int>(ini.readInteger(s, "udLANPassImpuls", 0)));
    ReadChannelSetup(ini, "ch", channels_);
    applyChannelSetup();
    sbLANTriggerOn->setText(msg(sbLANTriggerOn->isChecked() ? Msg::strTriggerOn : Msg::strTriggerOff));
    sbLANModeBusGClick();
}

void LanPage::writeSettings(IniFile& ini) const
{
    const char* s = "main";
    ini.writeInteger(s, "knLANFrecDivIndexSelectData", knLANFrecDiv->IndexSelectData());
    ini.writeBool(s, "sbLANModeBusG", sbLANModeBusG->isChecked());
    ini.writeBool(s, "sbLANModeBusA", sbLANModeBusA->isChecked());
    ini.writeBool(s, "sbLANTriggerOn", sbLANTriggerOn->isChecked());
    ini.writeBool(s, "sbLANTriggerMask", sbLANTriggerMask->isChecked());
    ini.writeBool(s, "sbLANTriggerEdgeRising", sbLANTriggerEdgeRising->isChecked());
    ini.writeString(s, "edLANTriggerMask", edLANTriggerMask->text().toStdString());
    ini.writeInteger(s, "udLANPassImpuls", udLANPassImpuls->value());
    WriteChannelSetup(ini, "ch", channels_);
}

} // namespace tesmar
