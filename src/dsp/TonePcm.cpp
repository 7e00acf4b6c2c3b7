#include "TonePcm.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tesmar {

std::vector<std::int16_t> BeepSequencePcm(int frequency, int beeps, int sampleRate)
{
    const int beepSamples = sampleRate * kBeepMs / 1000;
    const int pauseSamples = sampleRate * kPauseMs / 1000;
    const int fade = std::max(1, sampleRate / 1000);
    std::vector<std::int16_t> pcm;
    pcm.reserve(static_cast<std::size_t>(beeps) * (beepSamples + pauseSamples));
    for (int b = 0; b < beeps; ++b) {
        for (int n = 0; n < beepSamples; ++n) {
            const double envelope = std::min({1.0, double(n) / fade, double(beepSamples - 1 - n) / fade});
            const double v = 0.5 * envelope * std::sin(2 * std::numbers::pi * frequency * n / sampleRate);
            pcm.push_back(static_cast<std::int16_t>(std::lround(v * 32767)));
        }
        pcm.insert(pcm.end(), pauseSamples, 0);
    }
    return pcm;
}

std::vector<std::uint8_t> WavFileImage(const std::vector<std::int16_t>& samples, int sampleRate)
{
    std::vector<std::uint8_t> out;
    auto text = [&](const char* s) {
        for (int i = 0; i < 4; ++i)
            out.push_back(static_cast<std::uint8_t>(s[i]));
    };
    auto u32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    auto u16 = [&](std::uint16_t v) {
        out.push_back(static_cast<std::uint8_t>(v));
        out.push_back(static_cast<std::uint8_t>(v >> 8));
    };
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    text("RIFF");
    u32(36 + dataBytes);
    text("WAVE");
    text("fmt ");
    u32(16);
    u16(1); // PCM
    u16(1); // mono
    u32(static_cast<std::uint32_t>(sampleRate));
    u32(static_cast<std::uint32_t>(sampleRate * 2));
    u16(2);
    u16(16);
    text("data");
    u32(dataBytes);
    for (std::int16_t s : samples)
        u16(static_cast<std::uint16_t>(s));
    return out;
}

} // namespace tesmar
