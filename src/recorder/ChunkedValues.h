#pragma once
// A growable array of doubles in fixed-size chunks. Growing never moves a value, so the writer
// may append while another thread reads the values below a count it was handed (published with
// release/acquire by the owner), and a day-long record never needs one huge block or a copy.

#include <cstddef>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

#include <sys/mman.h>

namespace tesmar {

class ChunkedValues {
public:
    // 2 MiB chunks: one huge page each where the system gives them, so filling a day-long
    // record costs a page fault per 2 MiB instead of per 4 KiB.
    static constexpr std::size_t kChunkBits = 18;
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
            chunks_[c].reset(AllocateChunk());
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
    struct Free {
        void operator()(double* chunk) const { std::free(chunk); }
    };
    static double* AllocateChunk() noexcept
    {
        constexpr std::size_t bytes = kChunkSize * sizeof(double);
        void* chunk = std::aligned_alloc(bytes, bytes);
#ifdef MADV_HUGEPAGE
        if (chunk)
            madvise(chunk, bytes, MADV_HUGEPAGE); // a hint; refused is fine
#endif
        return static_cast<double*>(chunk);
    }

    std::vector<std::unique_ptr<double[], Free>> chunks_;
    std::size_t allocated_ = 0;
};

} // namespace tesmar
