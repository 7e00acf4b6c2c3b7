#pragma once
// Little-endian packing for the measurement data file: a growing byte buffer to write into and
// a fixed window to read fields from at their offsets.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tesmar {

class DataFileByteWriter {
public:
    explicit DataFileByteWriter(std::vector<std::uint8_t>& out) : out_(out) {}
    void u8(std::uint8_t value) { out_.push_back(value); }
    void boolean(bool value) { u8(value ? 1 : 0); }
    void u16(std::uint16_t value);
    void i32(std::int32_t value);
    void u32(std::uint32_t value);
    void f64(double value);
    // text[k]: a length byte and k bytes, CP1251, cut to k characters, zero beyond the length.
    void text(std::string_view utf8, int capacity);
    void zeros(std::size_t count) { out_.insert(out_.end(), count, 0); }
    void bytes(std::span<const std::uint8_t> data) { out_.insert(out_.end(), data.begin(), data.end()); }
    std::size_t size() const { return out_.size(); }

private:
    std::vector<std::uint8_t>& out_;
};

// Reads fields at offsets of a chunk; fields beyond the chunk's bytes read as zero.
class DataFileFieldReader {
public:
    explicit DataFileFieldReader(std::span<const std::uint8_t> chunk) : chunk_(chunk) {}
    std::uint8_t u8(std::size_t offset) const;
    bool boolean(std::size_t offset) const { return u8(offset) != 0; }
    std::uint16_t u16(std::size_t offset) const;
    std::int32_t i32(std::size_t offset) const;
    std::uint32_t u32(std::size_t offset) const;
    double f64(std::size_t offset) const;
    // text[k] at offset, as UTF-8; a length byte above k is taken as k.
    std::string text(std::size_t offset, int capacity) const;

private:
    std::uint64_t little(std::size_t offset, int width) const;
    std::span<const std::uint8_t> chunk_;
};

} // namespace tesmar
