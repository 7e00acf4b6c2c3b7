#include "formats/TextSource.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace tesmar {

std::unique_ptr<FileTextSource> FileTextSource::Open(const std::string& path, std::string& problem)
{
    auto refusal = [&](int error) {
        std::string reason = std::strerror(error);
        if (!reason.empty())
            reason[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(reason[0])));
        problem = "cannot read " + path + ": " + reason;
        return nullptr;
    };
    std::error_code error;
    // A folder opens like a file and fails on the first read.
    if (std::filesystem::is_directory(path, error))
        return refusal(EISDIR);
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return refusal(errno);
    const auto length = std::filesystem::file_size(path, error);
    return std::unique_ptr<FileTextSource>(
        new FileTextSource(file, error ? -1 : static_cast<std::int64_t>(length)));
}

std::size_t FileTextSource::read(char* into, std::size_t size)
{
    const std::size_t got = std::fread(into, 1, size, file_.get());
    if (got < size && std::ferror(file_.get()))
        failed_ = true;
    return got;
}

bool FileTextSource::rewind()
{
    std::clearerr(file_.get());
    return std::fseek(file_.get(), 0, SEEK_SET) == 0;
}

std::size_t MemoryTextSource::read(char* into, std::size_t size)
{
    const std::size_t count = std::min({size, piece_, text_.size() - position_});
    std::memcpy(into, text_.data() + position_, count);
    position_ += count;
    return count;
}

} // namespace tesmar
