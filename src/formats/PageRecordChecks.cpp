#include "PageRecordChecks.h"

#include <algorithm>
#include <cmath>

namespace tesmar {

namespace {

// The largest transform the spectrum page makes; a file claiming more is not one of ours.
constexpr std::size_t kMaxStoredSpectrumPoints = 131072 / 2 + 1;

bool UsablePeriod(double period) { return std::isfinite(period) && period > 0; }

} // namespace

const OscSettingsChunk* OscRecordSettings(const DataFile& file)
{
    const auto* s = std::get_if<OscSettingsChunk>(&file.settings);
    if (!s || !UsablePeriod(s->samplePeriod) || !std::isfinite(s->firstTimeA) || !std::isfinite(s->firstTimeB))
        return nullptr;
    return s;
}

const SpectrumSettingsChunk* SpectrumRecordSettings(const DataFile& file)
{
    const auto* s = std::get_if<SpectrumSettingsChunk>(&file.settings);
    if (!s || !std::isfinite(s->sampleRate) || s->sampleRate <= 0)
        return nullptr;
    // One transform length serves both channels: n stored values stand for 2n − 2 samples.
    std::size_t stored = 0;
    for (const auto* values : {&file.channelA, &file.channelB}) {
        if (!*values)
            continue;
        const std::size_t n = (*values)->size();
        if (n < 2 || n > kMaxStoredSpectrumPoints || (stored != 0 && n != stored))
            return nullptr;
        stored = n;
        if (!std::all_of((*values)->begin(), (*values)->end(), [](double v) { return std::isfinite(v); }))
            return nullptr;
    }
    return s;
}

const RecorderSettingsChunk* RecorderRecordSettings(const DataFile& head)
{
    const auto* s = std::get_if<RecorderSettingsChunk>(&head.settings);
    return s && UsablePeriod(s->samplePeriod) ? s : nullptr;
}

} // namespace tesmar
