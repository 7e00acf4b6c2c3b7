#pragma once
// A growable array of doubles in fixed-size chunks. Growing never moves a value, so the writer
// may append while another thread reads the values below a count it was handed (published with
// release/acquire by the owner), and a day-long record never needs one huge block or a copy.

#include <cstddef>
#include <memory>
#include <new>
#include <vector>

namespace tesmar {

class ChunkedValues {
public:
    static constexpr std::size_t kChunkBits = 16;
    static constexpr std::size_t kChunkSize = std::size_t{1} << kChunkBits; // values per chunk
    static constexpr std::size_t kChunkMask = kChunkSize - 1;

    // `maxValues` bounds every later reserve; the chunk table is sized once, here.
    explicit ChunkedValues(std::size_t maxValues = 0) : chunks_((maxValues + kChunkSize - 1) / kChunkSize) {}

    // Makes room for `count` values; false (and nothing changed beyond what fitted) when the
    // memory is not there or `count` exceeds the maximum.
    bool reserve(std::size_t count) noexcept
    {
        const std::size_t needed = (count + kChunkSize - 1) / kChunkSize;
        if (needed > chunks_.size())
            return false;
        for (std::size_t c = allocated_; c < needed; ++c) {
            chunks_[c].reset(new (std::nothrow) double[kChunkSize]);
            if (!chunks_[c])
                return false;
            allocated_ = c + 1;
        }
        return true;
    }
    std::size_t capacity() const { return allocated_ * kChunkSize; }
    std::size_t maxValues() const { return chunks_.size() * kChunkSize; }
    void release()
    {
        for (auto& chunk : chunks_)
            chunk.reset();
        allocated_ = 0;
    }

    double& operator[](std::size_t i) { return chunks_[i >> kChunkBits][i & kChunkMask]; }
    double operator[](std::size_t i) const { return chunks_[i >> kChunkBits][i & kChunkMask]; }
    // The chunk holding value i, for loops that stay inside one chunk.
    const double* chunkOf(std::size_t i) const { return chunks_[i >> kChunkBits].get(); }
    double* chunkOf(std::size_t i) { return chunks_[i >> kChunkBits].get(); }

private:
    std::vector<std::unique_ptr<double[]>> chunks_;
    std::size_t allocated_ = 0;
};

} // namespace tesmar
