#include "SpectrumProcessing.h"

#include <algorithm>

namespace tesmar {

double SpectrumFrequencyUnit(double sampleRate)
{
    return sampleRate > 10'000 ? 1000.0 : 1.0;
}

void ProcessSpectrum(SpectrumMode mode, SpectrumRecord& record, const std::array<SpectrumChannelInput, 2>& inputs,
                     const SpectrumSettings& settings)
{
    const int n = record.length;
    const double fs = record.sampleRate;
    // One table per record length; both channels of a record usually share them.
    std::vector<double> window, lineWindow;
    int windowCount = -1;
    for (int c = 0; c < 2; ++c) {
        SpectrumChannel& ch = record.channels[c];
        const SpectrumChannelInput& in = inputs[c];
        ch.curve = {};
        if (mode == SpectrumMode::Full) {
            ch = {};
            if (!in.captured || in.samples.empty() || n <= 0)
                continue;
            ch.params = ComputeSignalParams(in.samples, fs);
            const int count = std::min(n, static_cast<int>(in.samples.size()));
            if (count != windowCount) {
                window = WindowTable(settings.window, count);
                if (settings.window == SpectrumWindow::None)
                    lineWindow = WindowTable(SpectrumWindow::Hann, count);
                windowCount = count;
            }
            const std::span<const FilterPoint> response = in.filterOn ? in.response : std::span<const FilterPoint>{};
            ch.amplitudes = AmplitudeSpectrum(in.samples, n, fs, window, response);
            if (settings.window == SpectrumWindow::None)
                ch.lineAmplitudes = AmplitudeSpectrum(in.samples, n, fs, lineWindow, response);
        }
        if (!ch.hasData()) {
            ch.distortion.reset();
            continue;
        }
        if (mode != SpectrumMode::Redraw) {
            ch.peaks = FindSpectrumPeaks(ch.amplitudes, n);
            ch.fundamental = ChooseFundamental(ch.amplitudes, n, fs, ch.peaks, settings.manualF1);
            const bool ownLines = !ch.lineAmplitudes.empty();
            ch.distortion = ComputeDistortion(ownLines ? ch.lineAmplitudes : ch.amplitudes, n, fs, ch.fundamental,
                                              settings.harmonics, ownLines ? SpectrumWindow::Hann : settings.window);
        }
        ch.curve = MakeSpectrumCurve(ch.amplitudes, n, fs, SpectrumFrequencyUnit(fs), in.scale, ch.peaks.Umax);
    }
}

} // namespace tesmar
