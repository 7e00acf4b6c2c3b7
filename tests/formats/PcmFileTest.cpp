#include "formats/PcmFile.h"

#include <gtest/gtest.h>

namespace tesmar {
namespace {

TEST(PcmFile, SamplesAndFrames)
{
    EXPECT_EQ(PcmSample(20.0), 32767);
    EXPECT_EQ(PcmSample(-20.0), -32767);
    EXPECT_EQ(PcmSample(25.0), 32767);
    EXPECT_EQ(PcmSample(0.0), 0);
    EXPECT_EQ(PcmSample(1.0), 1638);
    // Three points of A and B interleaved, little-endian.
    const std::vector<double> a = {20.0, 0.0, -20.0}, b = {1.0, 2.0, 3.0};
    const auto bytes = PcmBytes(a, b);
    ASSERT_EQ(bytes.size(), 12u);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0x7F);
    EXPECT_EQ(bytes[2] | bytes[3] << 8, 1638);
    EXPECT_EQ(static_cast<std::int16_t>(bytes[8] | bytes[9] << 8), -32767);
    EXPECT_EQ(PcmBytes({}, b).size(), 6u); // B alone
    EXPECT_EQ(PcmBytes(a, {}).size(), 6u);
}

} // namespace
} // namespace tesmar
