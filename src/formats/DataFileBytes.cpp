#include "formats/DataFileBytes.h"

#include "text/Cp1251.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace tesmar {

void DataFileByteWriter::u16(std::uint16_t value)
{
    u8(static_cast<std::uint8_t>(value));
    u8(static_cast<std::uint8_t>(value >> 8));
}

void DataFileByteWriter::u32(std::uint32_t value)
{
    for (int k = 0; k < 4; ++k)
        u8(static_cast<std::uint8_t>(value >> (8 * k)));
}

void DataFileByteWriter::i32(std::int32_t value) { u32(static_cast<std::uint32_t>(value)); }

void DataFileByteWriter::f64(double value)
{
    const auto bits = std::bit_cast<std::uint64_t>(value);
    for (int k = 0; k < 8; ++k)
        u8(static_cast<std::uint8_t>(bits >> (8 * k)));
}

void DataFileByteWriter::text(std::string_view utf8, int capacity)
{
    std::string bytes = Utf8ToCp1251(utf8);
    if (bytes.size() > static_cast<std::size_t>(capacity))
        bytes.resize(static_cast<std::size_t>(capacity));
    u8(static_cast<std::uint8_t>(bytes.size()));
    for (char c : bytes)
        u8(static_cast<std::uint8_t>(c));
    zeros(static_cast<std::size_t>(capacity) - bytes.size());
}

std::uint64_t DataFileFieldReader::little(std::size_t offset, int width) const
{
    std::uint64_t value = 0;
    for (int k = 0; k < width; ++k) {
        const std::size_t at = offset + static_cast<std::size_t>(k);
        if (at < chunk_.size())
            value |= static_cast<std::uint64_t>(chunk_[at]) << (8 * k);
    }
    return value;
}

std::uint8_t DataFileFieldReader::u8(std::size_t offset) const { return static_cast<std::uint8_t>(little(offset, 1)); }
std::uint16_t DataFileFieldReader::u16(std::size_t offset) const { return static_cast<std::uint16_t>(little(offset, 2)); }
std::uint32_t DataFileFieldReader::u32(std::size_t offset) const { return static_cast<std::uint32_t>(little(offset, 4)); }
std::int32_t DataFileFieldReader::i32(std::size_t offset) const { return static_cast<std::int32_t>(u32(offset)); }
double DataFileFieldReader::f64(std::size_t offset) const { return std::bit_cast<double>(little(offset, 8)); }

std::string DataFileFieldReader::text(std::size_t offset, int capacity) const
{
    const std::size_t length = std::min<std::size_t>(u8(offset), static_cast<std::size_t>(capacity));
    std::string bytes;
    for (std::size_t k = 0; k < length; ++k)
        bytes.push_back(static_cast<char>(u8(offset + 1 + k)));
    return Cp1251ToUtf8(bytes);
}

} // namespace tesmar
