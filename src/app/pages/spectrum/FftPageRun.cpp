// The spectrum analyser page: runs, read type, channels, scales, the fundamental and settings.

#include "app/pages/spectrum/FftChart.h"
#include "app/pages/spectrum/FftPage.h"
#include "app/pages/PageWidgets.h"
#include "app/options/OptionVariables.h"
#include "device/AnalogBlockBuilders.h"
#include "settings/IniFile.h"
#include "text/MessageTable.h"
#include "settings/SystemSettings.h"
#include "osc/OscBufferDecoder.h"
#include "osc/acquisition/OscAcquisition.h"
#include "spectrum/SpectrumAcquisition.h"
#include "ui/knob/TOscKnob.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QTimer>
#include <QToolButton>

#include <cmath>

namespace tesmar {

bool FftPage::running() const
{
    return acquisition_->running() || timerRunFFT->isActive() || !sbFFTRunSingle->isEnabled() ||
           !sbFFTRun->isEnabled();
}

std::optional<double> FftPage::bufferBoundaryRate() const
{
    // Item e ≥ 1 of the option's list stands for rate entry e − 1; item 0 is "Все".
    const int b = ctx_.options.count_fft_index_buf;
    const auto& entries = knFFTFrecDiv->OscKnobData();
    if (b >= 1 && b - 1 < static_cast<int>(entries.size()))
        return entries[b - 1].ValueReal;
    return std::nullopt;
}

void FftPage::knFFTFrecDivChange()
{
    const bool both = sbFFTOnCh1->isChecked() && sbFFTOnCh2->isChecked();
    readType_ = ChooseSpectrumReadType(knFFTFrecDiv->CurValueReal(), bufferBoundaryRate(), both,
                                       ctx_.options.count_fft_sample_pipe);
    pnFFTViewReadType->setText(readType_.buffered ? "Buf" : "Pipe");
    pnFFTViewReadType->setStyleSheet(readType_.buffered ? "color: red; font-weight: bold"
                                                        : "color: green; font-weight: bold");
    pnFFTViewReadType->setVisible(ctx_.options.pnFFTViewReadTypeVisible);
    if (shownCurveEnd() == 0.0)
        UpdateFrequencyAxis();
}

void FftPage::rangeKnobChange(int channel)
{
    if (dbButton(channel)->isChecked())
        return;
    QCPAxis* axis = chFFT->channelAxis(channel);
    axis->setRange(axis->range().lower, rangeKnob(channel)->CurValueReal());
    chFFT->replot();
}

void FftPage::knFFTCh1Change()
{
    rangeKnobChange(0);
}

void FftPage::knFFTCh2Change()
{
    rangeKnobChange(1);
}

void FftPage::channelClick(int channel)
{
    QToolButton* on = channel == 0 ? sbFFTOnCh1 : sbFFTOnCh2;
    QToolButton* other = channel == 0 ? sbFFTOnCh2 : sbFFTOnCh1;
    if (!on->isChecked() && !other->isChecked())
        on->setChecked(true); // one channel is always on
    const bool isOn = on->isChecked();
    on->setText(msg(isOn ? Msg::strChOn : Msg::strChOff));
    on->setStyleSheet(isOn ? (channel == 0 ? "color: red" : "color: blue") : "color: black");
    if (!isOn && !running()) {
        curve(channel)->data()->clear();
        record_.channels[channel] = {};
        chFFT->replot();
    }
    const bool both = sbFFTOnCh1->isChecked() && sbFFTOnCh2->isChecked();
    knFFTFrecDiv->setIndexMaxEnable(both ? kSpectrumRateEntriesBoth : -1);
    knFFTFrecDivChange();
    UpdateFrequencyAxis();
}

void FftPage::sbFFTOnCh1Click()
{
    channelClick(0);
}

void FftPage::sbFFTOnCh2Click()
{
    channelClick(1);
}

SpectrumScale FftPage::scale(int channel) const
{
    return {dbButton(channel)->isChecked(), referenceButton(channel)->isChecked()};
}

void FftPage::setChannelAxis(int channel, const AxisRange& range)
{
    chFFT->channelAxis(channel)->setRange(range.min, range.max);
}

void FftPage::dbClick(int channel)
{
    QToolButton* ref = referenceButton(channel);
    ref->setEnabled(dbButton(channel)->isChecked());
    if (!dbButton(channel)->isChecked())
        ref->setChecked(false);
    if (curve(channel)->dataCount() > 0) {
        ProcessSpectrum(SpectrumMode::Redraw);
    } else {
        setChannelAxis(channel, EmptySpectrumAxis(scale(channel), rangeKnob(channel)->CurValueReal()));
        chFFT->replot();
    }
}

void FftPage::referenceClick(int channel)
{
    if (curve(channel)->dataCount() > 0) {
        ProcessSpectrum(SpectrumMode::Redraw);
    } else {
        setChannelAxis(channel, EmptySpectrumAxis(scale(channel), rangeKnob(channel)->CurValueReal()));
        chFFT->replot();
    }
}

void FftPage::spbtFFTCh1dBClick()
{
    dbClick(0);
}

void FftPage::spbtFFTCh2dBClick()
{
    dbClick(1);
}

void FftPage::spbtFFTCh10dBClick()
{
    referenceClick(0);
}

void FftPage::spbtFFTCh20dBClick()
{
    referenceClick(1);
}

std::optional<double> FftPage::manualF1()
{
    if (cbFFTKNIMax->isChecked())
        return std::nullopt;
    // A text that does not parse keeps the previous value, which goes back into the field.
    // The field may show the value rounded to fit: only a changed text is a new value.
    bool ok = false;
    const double typed = QLocale().toDouble(edFFTKNIF->text(), &ok);
    if (ok && std::isfinite(typed) && edFFTKNIF->text() != shownF1Text_)
        manualF1_ = typed;
    showManualF1();
    return manualF1_;
}

void FftPage::showManualF1()
{
    // The field holds five characters: whole hertz when the fraction does not fit.
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    QString text = locale.toString(manualF1_, 'g', 6);
    if (text.size() > edFFTKNIF->maxLength())
        text = locale.toString(std::round(manualF1_), 'f', 0);
    edFFTKNIF->setText(text);
    shownF1Text_ = text;
}

void FftPage::cbFFTKNIMaxClick()
{
    if (record_.channels[0].hasData() || record_.channels[1].hasData())
        ProcessSpectrum(SpectrumMode::DistortionOnly);
}

void FftPage::edFFTKNIFEnter()
{
    bool ok = false;
    const double typed = QLocale().toDouble(edFFTKNIF->text(), &ok);
    if (ok && std::isfinite(typed))
        manualF1_ = LimitManualF1(typed, knFFTFrecDiv->CurValueReal());
    showManualF1();
    setFocus();
    if (record_.channels[0].hasData() || record_.channels[1].hasData())
        ProcessSpectrum(SpectrumMode::DistortionOnly);
}

void FftPage::StartFFTAcquisition()
{
    SpectrumBlockInput in;
    in.sampleRate = knFFTFrecDiv->CurValueReal();
    in.chAOn = sbFFTOnCh1->isChecked();
    in.chBOn = sbFFTOnCh2->isChecked();
    in.rangeA = knFFTCh1->CurValueReal();
    in.rangeB = knFFTCh2->CurValueReal();
    in.calibration = ctx_.calibration;
    in.oldInputCodes = ctx_.system.old;
    in.streamMode = !readType_.buffered;
    in.capacity = readType_.buffered ? kOscBufferSamples : readType_.length;
    in.disableAveraging = ctx_.options.fft_disable_average;
    in.bufferBoundaryRate = bufferBoundaryRate();
    acquisition_->start(SpectrumAcquisitionParams(BuildSpectrumBlock(in), ctx_.system.eightBit));
}

void FftPage::pressRunButton(QToolButton* pressed, QToolButton* other)
{
    if (!deviceReady(pressed))
        return;
    showRunning(pressed, other, 1);
    StartFFTAcquisition();
}

void FftPage::sbFFTRunSingleClick()
{
    if (!sbFFTRunSingle->isChecked()) {
        acquisition_->stop();
        return;
    }
    pressRunButton(sbFFTRunSingle, sbFFTRun);
}

void FftPage::sbFFTRunClick()
{
    if (!sbFFTRun->isChecked()) {
        timerRunFFT->stop();
        acquisition_->stop();
        // A stream cycle may be between records, waiting for its timer: end it here.
        if (!acquisition_->running())
            FFTRunDone(readType_.buffered);
        return;
    }
    pressRunButton(sbFFTRun, sbFFTRunSingle);
}

void FftPage::timerRunFFTTimer()
{
    StartFFTAcquisition();
}

void FftPage::restoreRunButtons()
{
    MeasurementPage::restoreRunButtons(sbFFTRunSingle, sbFFTRun);
}

void FftPage::FFTRunDone(bool bufferMode)
{
    OscResult& result = acquisition_->result();
    auto process = [&] {
        if (bufferMode && acquisition_->bufferFrame()) {
            OscBufferDecodeOptions options;
            options.oldCodes = ctx_.system.old;
            DecodeOscBuffer(*acquisition_->bufferFrame(), acquisition_->lastParams(), options, result);
        }
        ProcessSpectrum(SpectrumMode::Full);
    };
    // A record that ended incomplete without a stop lost its data on the way: said on the status
    // line, which the restored buttons have just cleared.
    auto restore = [&] {
        restoreRunButtons();
        if (!result.DataReady && !acquisition_->stopRequested())
            ctx_.setStatusText(msg(Msg::strRecErrRead));
    };
    if (sbFFTRunSingle->isEnabled()) {
        restore();
        if (result.DataReady)
            process();
        return;
    }
    if (result.DataReady && sbFFTRun->isChecked()) {
        process();
        if (bufferMode)
            StartFFTAcquisition();
        else
            timerRunFFT->start();
    } else {
        restore();
    }
}

void FftPage::shutdown()
{
    timerRunFFT->stop();
    acquisition_->shutdown();
}

void FftPage::spbtFFTFiltrationSetCh1Click()
{
    if (ctx_.openFilterDesigner)
        ctx_.openFilterDesigner(0, chboxFFTFiltrationOnCh1);
}

void FftPage::spbtFFTFiltrationSetCh2Click()
{
    if (ctx_.openFilterDesigner)
        ctx_.openFilterDesigner(1, chboxFFTFiltrationOnCh2);
}

void FftPage::readSettings(const IniFile& ini)
{
    const char* s = "main";
    auto knob = [&](TOscKnob* k, const char* key) {
        k->setIndexSelectData(static_cast<int>(ini.readInteger(s, key, k->IndexSelectData())));
    };
    knob(knFFTCh1, "knFFTCh1IndexSelectData");
    knob(knFFTCh2, "knFFTCh2IndexSelectData");
    knob(knFFTFrecDiv, "knFFTFrecDivIndexSelectData");
    sbFFTOnCh1->setChecked(ini.readBool(s, "sbFFTOnCh1", sbFFTOnCh1->isChecked()));
    sbFFTOnCh2->setChecked(ini.readBool(s, "sbFFTOnCh2", sbFFTOnCh2->isChecked()));
    for (int ch = 0; ch < 2; ++ch) {
        const bool db = ini.readBool(s, ch == 0 ? "spbtFFTCh1dB" : "spbtFFTCh2dB", false);
        dbButton(ch)->setChecked(db);
        // A "0 дБ = Umax" button whose dB button is up stays released.
        referenceButton(ch)->setChecked(db && ini.readBool(s, ch == 0 ? "spbtFFTCh10dB" : "spbtFFTCh20dB", false));
        referenceButton(ch)->setEnabled(db);
    }
    cbFFTKNIMax->setChecked(ini.readBool(s, "cbFFTKNIMax", cbFFTKNIMax->isChecked()));
}

void FftPage::writeSettings(IniFile& ini) const
{
    const char* s = "main";
    ini.writeInteger(s, "knFFTCh1IndexSelectData", knFFTCh1->IndexSelectData());
    ini.writeInteger(s, "knFFTCh2IndexSelectData", knFFTCh2->IndexSelectData());
    ini.writeInteger(s, "knFFTFrecDivIndexSelectData", knFFTFrecDiv->IndexSelectData());
    ini.writeBool(s, "sbFFTOnCh1", sbFFTOnCh1->isChecked());
    ini.writeBool(s, "sbFFTOnCh2", sbFFTOnCh2->isChecked());
    ini.writeBool(s, "spbtFFTCh1dB", spbtFFTCh1dB->isChecked());
    ini.writeBool(s, "spbtFFTCh10dB", spbtFFTCh10dB->isChecked());
    ini.writeBool(s, "spbtFFTCh2dB", spbtFFTCh2dB->isChecked());
    ini.writeBool(s, "spbtFFTCh20dB", spbtFFTCh20dB->isChecked());
    ini.writeBool(s, "cbFFTKNIMax", cbFFTKNIMax->isChecked());
}

void FftPage::applyStoredStates()
{
    for (int ch = 0; ch < 2; ++ch) {
        if (dbButton(ch)->isChecked())
            dbClick(ch);
        if (referenceButton(ch)->isChecked())
            referenceClick(ch);
    }
    channelClick(0);
    channelClick(1);
    knFFTFrecDivChange();
}

} // namespace tesmar
