#include "formats/DataFileSource.h"

#include <cctype>
#include <cerrno>
#include <cstring>

#include <sys/stat.h>

namespace tesmar {

bool MemoryDataSource::read(std::uint64_t offset, void* out, std::size_t count)
{
    if (offset > bytes_.size() || count > bytes_.size() - offset)
        return false;
    if (count > 0)
        std::memcpy(out, bytes_.data() + offset, count);
    return true;
}

std::unique_ptr<FileDataSource> FileDataSource::Open(const std::string& path, std::string& problem)
{
    auto refuse = [&](int error) {
        std::string reason = std::strerror(error);
        if (!reason.empty())
            reason[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(reason[0])));
        problem = "cannot read " + path + ": " + reason;
        return nullptr;
    };
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return refuse(errno);
    std::unique_ptr<std::FILE, Close> owned(file);
    struct stat info {};
    if (fstat(fileno(file), &info) != 0)
        return refuse(errno);
    // Pieces are read at offsets: a folder, pipe or device has none to seek to.
    if (S_ISDIR(info.st_mode))
        return refuse(EISDIR);
    if (!S_ISREG(info.st_mode)) {
        problem = "cannot read " + path + ": not a regular file";
        return nullptr;
    }
    return std::unique_ptr<FileDataSource>(new FileDataSource(owned.release(), static_cast<std::uint64_t>(info.st_size)));
}

bool FileDataSource::read(std::uint64_t offset, void* out, std::size_t count)
{
    if (offset > size_ || count > size_ - offset)
        return false;
    if (offset != position_ && fseeko(file_.get(), static_cast<off_t>(offset), SEEK_SET) != 0)
        return false;
    const std::size_t got = std::fread(out, 1, count, file_.get());
    // After a short read the position is unknown: the next read seeks.
    position_ = got == count ? offset + got : ~std::uint64_t{0};
    return got == count;
}

} // namespace tesmar
