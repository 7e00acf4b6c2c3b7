#include "AnalogDataFiles.h"

#include "dsp/SignalParams.h"
#include "spectrum/SpectrumDistortion.h"
#include "ui/knob/KnobScales.h"
#include "ui/knob/ScaleLineParser.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace tesmar {

namespace {

StoredSignalParams Stored(const std::optional<SignalParams>& p)
{
    return p ? StoredSignalParams{p->Uconst, p->Uvaria, p->Umax, p->Umin, p->F} : StoredSignalParams{};
}

} // namespace

int KnobIndexFor(std::string_view knob, double value)
{
    const auto scale = PageKnobScale(knob);
    if (!scale)
        return 0;
    int best = 0;
    double distance = std::numeric_limits<double>::infinity();
    for (int i = 0; i < static_cast<int>(scale->lines.size()); ++i) {
        const double v = ParseScaleLine(scale->lines[i]).data.ValueReal;
        const double d = std::fabs(std::log(std::fabs(v) / value));
        if (v > 0 && d < distance) {
            distance = d;
            best = i;
        }
    }
    return best;
}

DataFile OscilloscopeDataFile(const OscResult& result, const OscFileInput& in)
{
    OscSettingsChunk s;
    s.samplePeriod = in.pointPeriod;
    s.cbOscZoom = 0;
    s.sbOscOnCh1 = in.on[0];
    s.sbOscOnCh2 = in.on[1];
    s.knOscCh1 = static_cast<std::uint16_t>(KnobIndexFor("knOscCh1", in.rangeVolts[0]));
    s.knOscCh2 = static_cast<std::uint16_t>(KnobIndexFor("knOscCh2", in.rangeVolts[1]));
    s.triggerLevelA = in.triggerLevels[0];
    s.triggerLevelB = in.triggerLevels[1];
    s.leftAxis = {in.rangeVolts[0], -in.rangeVolts[0]};
    s.rightAxis = {in.rangeVolts[1], -in.rangeVolts[1]};

    DataFile file{s, {}, {}, {}, {}, {}};
    const std::vector<double>* values[] = {&result.ValuesA, &result.ValuesB};
    const int counts[] = {result.CountA, result.CountB};
    const int triggers[] = {result.TrigIndexA, result.TrigIndexB};
    double first = 0, last = 0;
    for (int ch = 0; ch < 2; ++ch) {
        if (!in.on[ch] || counts[ch] <= 0)
            continue;
        std::vector<double> v(values[ch]->begin(), values[ch]->begin() + counts[ch]);
        const double start = -triggers[ch] * in.pointPeriod; // time 0 at the trigger, as the page draws it
        (ch == 0 ? s.firstTimeA : s.firstTimeB) = start;
        (ch == 0 ? s.paramsA : s.paramsB) = Stored(ComputeSignalParams(v, 1.0 / in.pointPeriod));
        first = start;
        last = start + (counts[ch] - 1) * in.pointPeriod;
        (ch == 0 ? file.channelA : file.channelB) = std::move(v);
    }
    s.timeAxis = {last, first};
    file.settings = s;
    return file;
}

DataFile SpectrumDataFile(const SpectrumRecord& record, const SpectrumFileInput& in)
{
    SpectrumSettingsChunk s;
    s.sampleRate = record.sampleRate;
    s.sbFFTOnCh1 = in.on[0];
    s.sbFFTOnCh2 = in.on[1];
    s.spbtFFTCh1dB = s.spbtFFTCh2dB = in.scale.dB;
    s.spbtFFTCh10dB = s.spbtFFTCh20dB = in.scale.dB && in.scale.referenceUmax;
    s.knFFTCh1 = static_cast<std::uint16_t>(KnobIndexFor("knFFTCh1", in.rangeVolts[0]));
    s.knFFTCh2 = static_cast<std::uint16_t>(KnobIndexFor("knFFTCh2", in.rangeVolts[1]));
    s.frequencyAxis = {record.sampleRate / 2, 0};
    s.cbFFTKNIMax = !in.manualF1;
    if (in.manualF1) {
        char text[16];
        std::snprintf(text, sizeof text, "%g", *in.manualF1);
        s.edFFTKNIF = text;
    }
    DataFile file{s, {}, {}, {}, {}, {}};
    std::string* kg[] = {&s.lbFFTKNI1Ch1, &s.lbFFTKNI1Ch2};
    std::string* k3[] = {&s.lbFFTKNI3Ch1, &s.lbFFTKNI3Ch2};
    std::string* f1[] = {&s.lbFFTF1Ch1, &s.lbFFTF1Ch2};
    for (int ch = 0; ch < 2; ++ch) {
        const SpectrumChannel& c = record.channels[ch];
        (ch == 0 ? s.paramsA : s.paramsB) = Stored(c.params);
        s.summary[ch] = c.peaks.Umax;
        s.summary[2 + ch] = c.fundamental.A1;
        s.summary[4 + ch] = c.fundamental.F1;
        if (!c.hasData())
            continue;
        if (c.distortion) {
            *kg[ch] = FormatDistortionFactor(c.distortion->kg, '.');
            *k3[ch] = FormatDistortionFactor(c.distortion->k3, '.');
        }
        *f1[ch] = FormatFundamental(c.fundamental.F1, '.');
        // The points of the drawn curve: N/2 lines and the one at Fs/2.
        const std::size_t n = std::min(c.amplitudes.size(), static_cast<std::size_t>(record.length / 2 + 1));
        (ch == 0 ? file.channelA : file.channelB) = std::vector<double>(c.amplitudes.begin(), c.amplitudes.begin() + n);
        const double top = in.scale.dB ? 0.0 : in.rangeVolts[ch];
        (ch == 0 ? s.leftAxis : s.rightAxis) = in.scale.dB ? AxisLimits{} : AxisLimits{top, 0};
    }
    file.settings = s;
    return file;
}

} // namespace tesmar
