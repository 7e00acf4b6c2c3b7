#pragma once
// Beeps as sound: 16-bit mono PCM of a sine tone, and a WAV file image to play it from.

#include <cstdint>
#include <vector>

namespace tesmar {

inline constexpr int kToneSampleRate = 22'050;
inline constexpr int kBeepMs = 100;  // each beep
inline constexpr int kPauseMs = 100; // after each beep

// `beeps` beeps of `frequency` Hz, each `kBeepMs` long and followed by a `kPauseMs` silence; the
// ends of each beep are faded over a millisecond so they do not click.
std::vector<std::int16_t> BeepSequencePcm(int frequency, int beeps, int sampleRate = kToneSampleRate);

// A complete RIFF/WAVE file (PCM, mono, 16 bits) holding the samples.
std::vector<std::uint8_t> WavFileImage(const std::vector<std::int16_t>& samples, int sampleRate = kToneSampleRate);

} // namespace tesmar
