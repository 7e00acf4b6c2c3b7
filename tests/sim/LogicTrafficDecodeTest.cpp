// The virtual instrument's protocol traffic read by an independent decoder (sigrok-cli, when
// present): what it shows must be what a real bus would carry.

#include "formats/SigrokSession.h"
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

} // namespace
} // namespace tesmar
