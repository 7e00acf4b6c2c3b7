// The spectrum analyser page to and from a measurement data file.

#include "app/pages/spectrum/FftChart.h"
#include "app/pages/spectrum/FftPage.h"
#include "app/pages/PageDataFileFields.h"
#include "formats/PageRecordChecks.h"
#include "ui/knob/TOscKnob.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include <algorithm>
#include <cmath>
#include <utility>

namespace tesmar {

std::optional<DataFile> FftPage::saveDataFile() const
{
    if (curve(0)->dataCount() == 0 && curve(1)->dataCount() == 0)
        return std::nullopt;
    SpectrumSettingsChunk s;
    s.sampleRate = record_.sampleRate;
    s.cbFFTZoom = static_cast<std::uint16_t>(std::max(0, cbFFTZoom->currentIndex()));
    s.sbFFTOnCh1 = sbFFTOnCh1->isChecked();
    s.sbFFTOnCh2 = sbFFTOnCh2->isChecked();
    s.spbtFFTCh1dB = spbtFFTCh1dB->isChecked();
    s.spbtFFTCh10dB = spbtFFTCh10dB->isChecked();
    s.spbtFFTCh2dB = spbtFFTCh2dB->isChecked();
    s.spbtFFTCh20dB = spbtFFTCh20dB->isChecked();
    s.knFFTCh1 = static_cast<std::uint16_t>(knFFTCh1->IndexSelectData());
    s.knFFTCh2 = static_cast<std::uint16_t>(knFFTCh2->IndexSelectData());
    s.leftAxis = LimitsOf(chFFT->channelAxis(0));
    s.rightAxis = LimitsOf(chFFT->channelAxis(1));
    s.frequencyAxis = LimitsOf(chFFT->xAxis, unit_); // in Hz, the unit it is restored in
    s.paramsA = Stored(record_.channels[0].params);
    s.paramsB = Stored(record_.channels[1].params);
    for (int ch = 0; ch < 2; ++ch) {
        const SpectrumChannel& c = record_.channels[ch];
        s.summary[ch] = c.peaks.Umax;
        s.summary[2 + ch] = c.fundamental.A1;
        s.summary[4 + ch] = c.fundamental.F1;
    }
    s.cbFFTKNIMax = cbFFTKNIMax->isChecked();
    s.edFFTKNIF = edFFTKNIF->text().toStdString();
    s.lbFFTKNI1Ch1 = lbFFTKNI1[0]->text().toStdString();
    s.lbFFTKNI3Ch1 = lbFFTKNI3[0]->text().toStdString();
    s.lbFFTF1Ch1 = lbFFTF1[0]->text().toStdString();
    s.lbFFTKNI1Ch2 = lbFFTKNI1[1]->text().toStdString();
    s.lbFFTKNI3Ch2 = lbFFTKNI3[1]->text().toStdString();
    s.lbFFTF1Ch2 = lbFFTF1[1]->text().toStdString();

    DataFile file{s, {}, {}, {}, {}, {}};
    for (int ch = 0; ch < 2; ++ch) {
        const std::vector<double>& a = record_.channels[ch].amplitudes;
        const auto n = std::min<std::size_t>(static_cast<std::size_t>(curve(ch)->dataCount()), a.size());
        if (n > 0)
            (ch == 0 ? file.channelA : file.channelB) = std::vector<double>(a.begin(), a.begin() + static_cast<long>(n));
    }
    return file;
}

bool FftPage::openDataFile(const DataFile& file)
{
    const SpectrumSettingsChunk* s = SpectrumRecordSettings(file);
    if (!s)
        return false;
    // The check made both channels' lengths agree: n stored values stand for 2n − 2 samples.
    const std::size_t stored = file.channelA ? file.channelA->size() : file.channelB ? file.channelB->size() : 0;

    // Channels and knobs as a user would set them, on an empty chart.
    record_ = {};
    curve(0)->data()->clear();
    curve(1)->data()->clear();
    sbFFTOnCh1->setChecked(s->sbFFTOnCh1 || !s->sbFFTOnCh2);
    sbFFTOnCh2->setChecked(s->sbFFTOnCh2);
    sbFFTOnCh1Click();
    sbFFTOnCh2Click();
    knFFTCh1->setIndexSelectData(s->knFFTCh1);
    knFFTCh2->setIndexSelectData(s->knFFTCh2);
    {
        const QSignalBlocker quietZoom(cbFFTZoom);
        cbFFTZoom->setCurrentIndex(std::min<int>(s->cbFFTZoom, cbFFTZoom->count() - 1));
        const QSignalBlocker quietMax(cbFFTKNIMax);
        cbFFTKNIMax->setChecked(s->cbFFTKNIMax);
        edFFTKNIF->setText(QString::fromStdString(s->edFFTKNIF));
    }

    record_.sampleRate = s->sampleRate;
    record_.length = stored > 0 ? static_cast<int>(2 * stored - 2) : 0;
    const StoredSignalParams* params[] = {&s->paramsA, &s->paramsB};
    const std::optional<std::vector<double>>* values[] = {&file.channelA, &file.channelB};
    for (int ch = 0; ch < 2; ++ch) {
        if (!*values[ch])
            continue;
        SpectrumChannel& c = record_.channels[ch];
        c = {};
        c.amplitudes.assign(static_cast<std::size_t>(record_.length), 0.0);
        std::copy((*values[ch])->begin(), (*values[ch])->end(), c.amplitudes.begin());
        const StoredSignalParams& p = *params[ch];
        c.params = SignalParams{p[0], p[1], p[2], p[3], p[4]};
        c.peaks.Umax = s->summary[ch];
        c.fundamental = {s->summary[4 + ch], s->summary[2 + ch]};
    }

    // The scales as stored, then the curves drawn from the stored amplitudes.
    const bool decibels[] = {s->spbtFFTCh1dB, s->spbtFFTCh2dB};
    const bool references[] = {s->spbtFFTCh10dB, s->spbtFFTCh20dB};
    for (int ch = 0; ch < 2; ++ch) {
        const QSignalBlocker quietDb(dbButton(ch));
        const QSignalBlocker quietRef(referenceButton(ch));
        dbButton(ch)->setChecked(decibels[ch]);
        referenceButton(ch)->setEnabled(decibels[ch]);
        referenceButton(ch)->setChecked(decibels[ch] && references[ch]);
    }
    {
        // Opening a file is no new measurement: no sound for its values.
        const auto sounds = std::exchange(ctx_.checkSounds, {});
        ProcessSpectrum(SpectrumMode::Redraw);
        ctx_.checkSounds = sounds;
    }
    cbFFTZoomChange();

    for (int ch = 0; ch < 2; ++ch) {
        const AxisLimits& limits = ch == 0 ? s->leftAxis : s->rightAxis;
        if (Usable(limits))
            chFFT->channelAxis(ch)->setRange(limits.min, limits.max);
    }
    if (Usable(s->frequencyAxis)) {
        chFFT->setFrequencyRange(s->frequencyAxis.min / unit_, s->frequencyAxis.max / unit_);
        updateScrollBar();
    }
    // The factors as they were shown, whatever the present harmonic count would give.
    const std::string* kg[] = {&s->lbFFTKNI1Ch1, &s->lbFFTKNI1Ch2};
    const std::string* k3[] = {&s->lbFFTKNI3Ch1, &s->lbFFTKNI3Ch2};
    const std::string* f1[] = {&s->lbFFTF1Ch1, &s->lbFFTF1Ch2};
    for (int ch = 0; ch < 2; ++ch) {
        lbFFTKNI1[ch]->setText(QString::fromStdString(*kg[ch]));
        lbFFTKNI3[ch]->setText(QString::fromStdString(*k3[ch]));
        lbFFTF1[ch]->setText(QString::fromStdString(*f1[ch]));
    }
    chFFT->replot();
    UpdateMarkerReadouts();
    return true;
}

void FftPage::clearPage()
{
    record_ = {};
    curve(0)->data()->clear();
    curve(1)->data()->clear();
    {
        // Blank readouts are no measurement: no sound for them.
        const auto sounds = std::exchange(ctx_.checkSounds, {});
        showResults();
        ctx_.checkSounds = sounds;
    }
    knFFTFrecDivChange();
    UpdateMarkerReadouts();
    chFFT->replot();
    setUnsavedRecord(false);
}

} // namespace tesmar
