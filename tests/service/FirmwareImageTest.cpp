#include "service/FirmwareImage.h"

#include <optional>
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace tesmar {
namespace {

std::vector<std::uint8_t> Bytes(std::size_t size, std::uint8_t fill)
{
    return std::vector<std::uint8_t>(size, fill);
}

TEST(FirmwareImage, BlocksAndVersionBySize)
{
    struct Case {
        std::size_t size;
        int lastBlock;
    };
    for (const Case c : {Case{16384, 31}, Case{513, 1}, Case{512, 0}, Case{1, 0}}) {
        FirmwareImage image;
        auto bytes = Bytes(c.size, 0x11);
        bytes.back() = 7;
        if (c.size > 1)
            bytes[c.size - 2] = 3;
        ASSERT_EQ(image.load(bytes), FirmwareImage::LoadResult::Loaded) << c.size;
        EXPECT_EQ(image.lastBlock(), c.lastBlock) << c.size;
        EXPECT_EQ(image.versionMinor(), 7);
        EXPECT_EQ(image.versionMajor(), c.size > 1 ? 3 : 0);
    }
}

TEST(FirmwareImage, RefusesEmptyAndOversizedKeepingTheImage)
{
    FirmwareImage image;
    ASSERT_EQ(image.load(Bytes(600, 1)), FirmwareImage::LoadResult::Loaded);
    EXPECT_EQ(image.load({}), FirmwareImage::LoadResult::Empty);
    EXPECT_EQ(image.load(Bytes(16385, 2)), FirmwareImage::LoadResult::TooLarge);
    EXPECT_EQ(image.size(), 600u);
    EXPECT_EQ(image.chunk(0, 0)[0], 1);
}

TEST(FirmwareImage, TailOfTheLastBlockIsZeroAfterALongerImage)
{
    FirmwareImage image;
    ASSERT_EQ(image.load(Bytes(16384, 0xEE)), FirmwareImage::LoadResult::Loaded);
    ASSERT_EQ(image.load(Bytes(513, 0x22)), FirmwareImage::LoadResult::Loaded);
    const auto first = image.chunk(512, 0);
    EXPECT_EQ(first[0], 0x22);
    for (std::size_t i = 1; i < first.size(); ++i)
        EXPECT_EQ(first[i], 0) << i;
    for (int c = 1; c < FirmwareImage::kChunksPerBlock; ++c)
        EXPECT_EQ(image.chunk(512, c), std::vector<std::uint8_t>(64, 0)) << c;
}

TEST(FirmwareImage, FilesAreRefusedBeforeReadingWhenTooLargeOrMissing)
{
    const auto folder = std::filesystem::temp_directory_path() / ("tesmar-firmware-image-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    auto write = [&](const char* name, std::size_t size) {
        std::ofstream(folder / name, std::ios::binary) << std::string(size, 'x');
        return (folder / name).string();
    };
    FirmwareImage image;
    EXPECT_EQ(image.loadFile(write("big.bin", 16385)), FirmwareImage::LoadResult::TooLarge);
    EXPECT_EQ(image.loadFile(write("empty.bin", 0)), FirmwareImage::LoadResult::Empty);
    EXPECT_EQ(image.loadFile((folder / "missing.bin").string()), FirmwareImage::LoadResult::Unreadable);
    EXPECT_EQ(image.loadFile(folder.string()), FirmwareImage::LoadResult::Unreadable);
    EXPECT_EQ(image.loadFile(write("ok.bin", 16384)), FirmwareImage::LoadResult::Loaded);
    EXPECT_EQ(image.size(), 16384u);
    std::filesystem::remove_all(folder);
}

TEST(FirmwareImage, DoubtsNameWhatMakesAnImageUnlikeFirmware)
{
    using Doubt = FirmwareImage::Doubt;
    struct Case {
        std::vector<std::uint8_t> bytes;
        std::optional<std::uint8_t> installedMajor;
        Doubt expected;
    };
    const std::vector<std::uint8_t> program = {0x02, 0x01, 0x00, 0x75, 0x81, 0x30, 2, 6};
    const std::vector<std::uint8_t> otherMajor = {0x02, 0x01, 0x00, 0x75, 0x81, 0x30, 153, 242};
    const Case cases[] = {
        {program, 2, Doubt::None},                          // 2.6 continues 2.x
        {program, std::nullopt, Doubt::None},               // in its boot loader: nothing to compare
        {otherMajor, 2, Doubt::OtherMajorVersion},          // 153.242 on a 2.x instrument
        {otherMajor, std::nullopt, Doubt::None},
        {std::vector<std::uint8_t>(300, 0xFF), 2, Doubt::OneRepeatedByte},
        {std::vector<std::uint8_t>(300, 0x00), std::nullopt, Doubt::OneRepeatedByte},
    };
    for (const Case& c : cases) {
        FirmwareImage image;
        ASSERT_EQ(image.load(c.bytes), FirmwareImage::LoadResult::Loaded);
        EXPECT_EQ(image.doubt(c.installedMajor), c.expected) << int(c.bytes.back()) << " " << c.bytes.size();
    }
}

} // namespace
} // namespace tesmar
