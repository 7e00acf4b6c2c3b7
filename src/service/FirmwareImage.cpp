#include "FirmwareImage.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace tesmar {

FirmwareImage::LoadResult FirmwareImage::load(const std::vector<std::uint8_t>& bytes)
{
    if (bytes.empty())
        return LoadResult::Empty;
    if (bytes.size() > kCapacity)
        return LoadResult::TooLarge;
    buffer_.fill(0);
    std::copy(bytes.begin(), bytes.end(), buffer_.begin());
    size_ = bytes.size();
    return LoadResult::Loaded;
}

FirmwareImage::LoadResult FirmwareImage::loadFile(const std::string& path)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return LoadResult::Unreadable;
    const auto fileSize = std::filesystem::file_size(path, error);
    if (error)
        return LoadResult::Unreadable;
    if (fileSize > kCapacity)
        return LoadResult::TooLarge;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return LoadResult::Unreadable;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(fileSize));
    if (!bytes.empty() && !in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size())))
        return LoadResult::Unreadable;
    return load(bytes);
}

std::vector<std::uint8_t> FirmwareImage::chunk(std::size_t offset, int chunk) const
{
    const std::size_t from = offset + static_cast<std::size_t>(chunk) * kChunkSize;
    if (from + kChunkSize > kCapacity)
        return std::vector<std::uint8_t>(kChunkSize, 0);
    return {buffer_.begin() + static_cast<std::ptrdiff_t>(from),
            buffer_.begin() + static_cast<std::ptrdiff_t>(from + kChunkSize)};
}

FirmwareImage::Doubt FirmwareImage::doubt(std::optional<std::uint8_t> installedMajor) const
{
    if (size_ == 0)
        return Doubt::None;
    if (std::all_of(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(size_),
                    [this](std::uint8_t b) { return b == buffer_[0]; }))
        return Doubt::OneRepeatedByte;
    if (installedMajor && *installedMajor != versionMajor())
        return Doubt::OtherMajorVersion;
    return Doubt::None;
}

} // namespace tesmar
