#pragma once
// A firmware image of at most 16 KB in a zero-filled buffer, sent in 512-byte blocks of eight
// 64-byte chunks. Its version is in its last two bytes.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tesmar {

class FirmwareImage {
public:
    static constexpr std::size_t kCapacity = 16384;
    static constexpr std::size_t kBlockSize = 512;
    static constexpr std::size_t kChunkSize = 64;
    static constexpr int kChunksPerBlock = static_cast<int>(kBlockSize / kChunkSize);

    enum class LoadResult { Loaded, TooLarge, Empty, Unreadable };

    // Takes `bytes` as the new image; the rest of the buffer is zero, so a shorter file never
    // carries bytes of an earlier, longer one. Refused (image unchanged) when empty or too large.
    LoadResult load(const std::vector<std::uint8_t>& bytes);
    // The same from a file; a file above the capacity is refused before it is read.
    LoadResult loadFile(const std::string& path);

    bool isLoaded() const { return size_ > 0; }
    std::size_t size() const { return size_; }
    std::uint8_t versionMajor() const { return size_ >= 2 ? buffer_[size_ - 2] : 0; }
    std::uint8_t versionMinor() const { return size_ >= 1 ? buffer_[size_ - 1] : 0; }
    // Index of the last 512-byte block: (size − 1) ÷ 512.
    int lastBlock() const { return size_ == 0 ? -1 : static_cast<int>((size_ - 1) / kBlockSize); }
    int blockCount() const { return lastBlock() + 1; }
    // The 64 bytes of chunk `chunk` of the block at byte `offset`.
    std::vector<std::uint8_t> chunk(std::size_t offset, int chunk) const;

    // What makes a loaded image look unlike a program for this instrument, checked before the
    // instrument's firmware is erased: a file that is one byte repeated holds no program, and an
    // image whose major version differs from the installed one's is likely another device's (or
    // no firmware at all: a random file has a random version).
    enum class Doubt { None, OneRepeatedByte, OtherMajorVersion };
    Doubt doubt(std::optional<std::uint8_t> installedMajor) const;

private:
    std::array<std::uint8_t, kCapacity> buffer_{};
    std::size_t size_ = 0;
};

} // namespace tesmar
