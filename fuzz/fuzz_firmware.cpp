// Any bytes as a firmware image: refused when empty or above 16 KB, otherwise sent as exactly
// its bytes (zero after them to the end of the last block), and the plausibility check answers
// for any installed version.

#include "service/FirmwareImage.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tesmar;
    FirmwareImage image;
    const auto result = image.load(std::vector<std::uint8_t>(data, data + size));
    if (size == 0 || size > FirmwareImage::kCapacity) {
        if (result == FirmwareImage::LoadResult::Loaded || image.isLoaded())
            std::abort();
        return 0;
    }
    if (result != FirmwareImage::LoadResult::Loaded || image.size() != size)
        std::abort();
    if (image.versionMajor() != (size >= 2 ? data[size - 2] : 0) || image.versionMinor() != data[size - 1])
        std::abort();
    for (int block = 0; block < image.blockCount(); ++block)
        for (int chunk = 0; chunk < FirmwareImage::kChunksPerBlock; ++chunk) {
            const std::size_t offset = static_cast<std::size_t>(block) * FirmwareImage::kBlockSize;
            const auto bytes = image.chunk(offset, chunk);
            if (bytes.size() != FirmwareImage::kChunkSize)
                std::abort();
            for (std::size_t i = 0; i < bytes.size(); ++i) {
                const std::size_t at = offset + static_cast<std::size_t>(chunk) * FirmwareImage::kChunkSize + i;
                if (bytes[i] != (at < size ? data[at] : 0))
                    std::abort();
            }
        }
    // A doubt about the version needs an installed one that differs.
    for (int installed : {0, 1, 2, 255}) {
        const auto major = static_cast<std::uint8_t>(installed);
        if (image.doubt(major) == FirmwareImage::Doubt::OtherMajorVersion && major == image.versionMajor())
            std::abort();
    }
    if (image.doubt(std::nullopt) == FirmwareImage::Doubt::OtherMajorVersion)
        std::abort();
    return 0;
}
