// The virtual instrument's protocol traffic read by an independent decoder (sigrok-cli, when
// present): what it shows must be what a real bus would carry.

#include "decoders/SpiDecoder.h"
#include "formats/SigrokSession.h"
#include "logic/ChannelQueries.h"
#include "sim/LogicScene.h"
#include "sim/LogicTraffic.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace tesmar {
namespace {

TEST(LogicTraffic, OneWireExchangeReadsAsSkipRomForAnIndependentDecoder)
{
    if (std::system("command -v sigrok-cli > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "sigrok-cli is not installed";
    const LineGroup wire = OneWireTraffic(6, ThermometerScratchpad(23.5), 1'000'000);
    CaptureSamples capture; // 1 MHz, two whole exchanges from the idle gap on
    for (std::int64_t t = 0; t < 2 * wire.period(); t += 1000)
        capture.busA.push_back(wire.bitsAt(t));
    const auto dir = std::filesystem::temp_directory_path() / "tesmar-onewire-test";
    std::filesystem::create_directories(dir);
    const std::string sr = (dir / "wire.sr").string(), out = (dir / "wire.txt").string();
    ASSERT_EQ(WriteSigrokSession(sr, capture), "");
    ASSERT_EQ(std::system(("sigrok-cli -i " + sr + " -P onewire_link:owr=A.6,onewire_network -A onewire_network > " +
                           out + " 2>&1")
                              .c_str()),
              0);
    std::ifstream in(out);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    std::size_t skips = 0;
    for (std::size_t at = text.find("ROM command: 0xcc"); at != std::string::npos;
         at = text.find("ROM command: 0xcc", at + 1))
        ++skips;
    EXPECT_EQ(skips, 2u) << text;
    EXPECT_EQ(text.find("unrecognized"), std::string::npos) << text;
    std::filesystem::remove_all(dir);
}

// The SPI transfer of the default scene: 0x9F 0x00 0x00 out, 0xFF 0xEF 0x40 back, framed by the
// active-low chip select on A.7. Wherever a 1 MHz buffer starts, the transfer's own bytes come
// out in their order, a transfer cut by the capture's start or end included.
TEST(LogicTraffic, SpiWithChipSelectDecodesAlignedFromAnyStart)
{
    const std::uint8_t out[3] = {0x9F, 0x00, 0x00}, in[3] = {0xFF, 0xEF, 0x40};
    const LogicScene scene = LogicScene::Default();
    for (std::int64_t startUs = 0; startUs < 320; startUs += 7) {
        LogicCapture capture;
        for (std::int64_t i = 0; i < 1544; ++i)
            capture.busA.push_back(scene.busAAt((startUs + i) * 1000));
        SpiDecodeRequest request{1, 2, 3, SpiSettings{}, 0.0};
        request.cs = 7;
        const SpiDecodeResult result = DecodeSpi(ChannelQueries(capture), request);
        ASSERT_FALSE(result.error) << startUs;
        // 1544 µs hold at least eight whole transfers of 160 µs.
        ASSERT_GE(result.mosi.size(), 24u) << startUs;
        ASSERT_EQ(result.miso.size(), result.mosi.size()) << startUs;
        std::size_t phase = 0;
        while (phase < 3 && (result.mosi[0] != out[phase] || result.miso[0] != in[phase]))
            ++phase;
        ASSERT_LT(phase, 3u) << "first byte of a capture from " << startUs << " us";
        for (std::size_t k = 0; k < result.mosi.size(); ++k) {
            ASSERT_EQ(result.mosi[k], out[(k + phase) % 3]) << "byte " << k << " from " << startUs << " us";
            ASSERT_EQ(result.miso[k], in[(k + phase) % 3]) << "byte " << k << " from " << startUs << " us";
        }
    }
}

TEST(LogicTraffic, SpiWithChipSelectReadsAsTheTransferForAnIndependentDecoder)
{
    if (std::system("command -v sigrok-cli > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "sigrok-cli is not installed";
    const LogicScene scene = LogicScene::Default();
    CaptureSamples capture; // 1 MHz from inside a transfer: the select frames the bytes
    for (std::int64_t t = 30'000; t < 30'000 + 1544'000; t += 1000)
        capture.busA.push_back(scene.busAAt(t));
    const auto dir = std::filesystem::temp_directory_path() / "tesmar-spi-test";
    std::filesystem::create_directories(dir);
    const std::string sr = (dir / "spi.sr").string(), out = (dir / "spi.txt").string();
    ASSERT_EQ(WriteSigrokSession(sr, capture), "");
    ASSERT_EQ(std::system(("sigrok-cli -i " + sr + " -P spi:clk=A.1:mosi=A.2:miso=A.3:cs=A.7 -A spi=mosi-transfer:miso-transfer > " +
                           out + " 2>&1")
                              .c_str()),
              0);
    std::ifstream file(out);
    const std::string text((std::istreambuf_iterator<char>(file)), {});
    std::size_t mosi = 0, miso = 0;
    for (std::size_t at = text.find("9F 00 00"); at != std::string::npos; at = text.find("9F 00 00", at + 1))
        ++mosi;
    for (std::size_t at = text.find("FF EF 40"); at != std::string::npos; at = text.find("FF EF 40", at + 1))
        ++miso;
    EXPECT_GE(mosi, 8u) << text;
    EXPECT_EQ(miso, mosi) << text;
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace tesmar
