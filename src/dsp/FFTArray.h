#pragma once
// Working array of the transforms: room for the largest transform (2^17 points) plus one.
// Heap-backed so that callers can keep several without blowing the stack.

#include <cstddef>
#include <vector>

namespace tesmar {

inline constexpr int kFFTCapacity = 131'073;
inline constexpr int kFFTMaxLength = 131'072;

class FFTArray {
  public:
    FFTArray() : values_(kFFTCapacity, 0.0) {}

    double& operator[](std::size_t index) { return values_[index]; }
    double operator[](std::size_t index) const { return values_[index]; }
    double* data() { return values_.data(); }
    const double* data() const { return values_.data(); }
    static constexpr std::size_t size() { return kFFTCapacity; }
    auto begin() { return values_.begin(); }
    auto end() { return values_.end(); }
    auto begin() const { return values_.begin(); }
    auto end() const { return values_.end(); }

    bool operator==(const FFTArray&) const = default;

  private:
    std::vector<double> values_;
};

} // namespace tesmar
