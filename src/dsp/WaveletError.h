#pragma once
// Failure of a wavelet decomposition or reconstruction; the text is shown to the user as it is.

#include <stdexcept>
#include <string>

namespace tesmar {

inline constexpr const char* kWaveletBadOrderText = "Недопустимый порядок вейвлета";
inline constexpr const char* kWaveletSignalTooShortText = "Длина сигнала не может быть меньше длины фильтра";
inline constexpr const char* kWaveletLengthMismatchText =
    "Длина восстановленного сигнала не соответствует исходному";

class WaveletError : public std::runtime_error {
  public:
    explicit WaveletError(const std::string& text) : std::runtime_error(text) {}
};

} // namespace tesmar
