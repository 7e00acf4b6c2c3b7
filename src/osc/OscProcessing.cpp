#include "OscProcessing.h"

#include "dsp/RecordFilter.h"
#include "dsp/WavUtils.h"

#include <algorithm>

namespace tesmar {

SmoothingStrength SmoothingFor(int menuLevel)
{
    switch (menuLevel) {
    case 0: return {0, 4};
    case 1: return {1, 4};
    case 2: return {2, 5};
    default: return {3, 5};
    }
}

namespace {

void Process(ProcessedChannel& channel, double dt, bool paramsBefore, const ChannelProcessing& how)
{
    if (channel.values.empty())
        return;
    const double rate = 1.0 / dt;
    if (paramsBefore)
        channel.params = ComputeSignalParams(channel.values, rate);
    const SmoothingStrength smoothing = SmoothingFor(how.smoothingLevel);
    if (smoothing.levels > 0) {
        try {
            TVector signal(channel.values.begin(), channel.values.end());
            const TVector smoothed = WaveletSmooth(signal, smoothing.order, smoothing.levels);
            std::copy(smoothed.begin(), smoothed.end(), channel.values.begin());
        } catch (const std::exception&) {
            // Records too short for the filter stay as they are.
        }
    }
    if (how.filterOn && how.response.size() > 1)
        FilterRecord(channel.values, how.response, rate);
    if (!paramsBefore)
        channel.params = ComputeSignalParams(channel.values, rate);
}

} // namespace

ProcessedRecord ProcessOscRecord(const OscResult& record, double dt, bool paramsBefore, const ChannelProcessing& a,
                                 const ChannelProcessing& b, ChannelMath math)
{
    ProcessedRecord out;
    out.a.values.assign(record.ValuesA.begin(), record.ValuesA.begin() + std::max(0, record.CountA));
    out.b.values.assign(record.ValuesB.begin(), record.ValuesB.begin() + std::max(0, record.CountB));
    out.a.trigIndex = record.TrigIndexA;
    out.b.trigIndex = record.TrigIndexB;
    if (a.invert)
        for (double& v : out.a.values)
            v = -v;
    if (b.invert)
        for (double& v : out.b.values)
            v = -v;
    if (!out.a.values.empty() && !out.b.values.empty()) {
        out.b.shift = 0.5;
        const std::size_t n = std::min(out.a.values.size(), out.b.values.size());
        for (std::size_t i = 0; i < n; ++i) {
            double& va = out.a.values[i];
            double& vb = out.b.values[i];
            switch (math) {
            case ChannelMath::AplusB: va = va + vb; break;
            case ChannelMath::AminusB: va = va - vb; break;
            case ChannelMath::BplusA: vb = vb + va; break;
            case ChannelMath::BminusA: vb = vb - va; break;
            case ChannelMath::None: break;
            }
        }
    }
    Process(out.a, dt, paramsBefore, a);
    Process(out.b, dt, paramsBefore, b);
    return out;
}

} // namespace tesmar
