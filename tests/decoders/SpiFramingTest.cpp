// Chip-select framing, markers inside a transfer and lines of their own length and timing,
// with results worked out by hand.

#include "decoders/SpiDecoder.h"

#include <gtest/gtest.h>

namespace tesmar {
namespace {

constexpr int kSck = 0, kMosi = 1, kMiso = 2, kCs = 7;

// Mode 0, MSB first, one sample per clock half: each bit is SCK low then high, the rising edge on
// its second sample. MISO carries the complement of MOSI. CS (active low) is low while bits run.
//   samples 0, 1     idle, deselected
//   2 … 17           0xA5, edges 3, 5, … 17
//   18, 19           idle, deselected
//   20 … 25          three bits 1, 1, 1, edges 21, 23, 25
//   26, 27           idle, deselected
//   28 … 59          0x3C then 0x81, edges 29, 31, … 59
//   60, 61           idle, deselected
// SCK changes at 3 … 18, 21 … 26 and 29 … 60: 54 edges from 3 to 60, h = 57 / 53 samples.
std::vector<std::uint8_t> FramedBus(bool csActiveHigh)
{
    std::vector<std::uint8_t> bus;
    const std::uint8_t deselected = csActiveHigh ? 0 : 1 << kCs;
    const std::uint8_t selected = csActiveHigh ? 1 << kCs : 0;
    auto idle = [&](int count) { bus.insert(bus.end(), static_cast<std::size_t>(count), deselected); };
    auto bits = [&](unsigned value, int count) {
        for (int k = 0; k < count; ++k) {
            const unsigned bit = (value >> (7 - k)) & 1u;
            const auto data = static_cast<std::uint8_t>(selected | bit << kMosi | (1u - bit) << kMiso);
            bus.push_back(data);
            bus.push_back(static_cast<std::uint8_t>(data | 1 << kSck));
        }
    };
    idle(2);
    bits(0xA5, 8);
    idle(2);
    bits(0xE0, 3);
    idle(2);
    bits(0x3C, 8);
    bits(0x81, 8);
    idle(2);
    return bus;
}

constexpr double kH = 57.0 / 53.0 * 1e-6;

std::vector<std::uint8_t> Complement(std::vector<std::uint8_t> bytes)
{
    for (auto& b : bytes)
        b = static_cast<std::uint8_t>(~b);
    return bytes;
}

TEST(SpiFraming, ChipSelectAndMarkerTable)
{
    struct Case {
        const char* name;
        double marker;
        std::optional<int> cs;
        bool csActiveHigh;
        std::vector<std::uint8_t> mosi;
        std::vector<std::int64_t> firstEdges; // of each byte
    };
    const std::vector<Case> cases = {
        // Every edge counts: the three stray bits shift what follows.
        {"without CS", 0.0, std::nullopt, false, {0xA5, 0xE7, 0x90}, {3, 21, 39}},
        {"without CS, marker inside the first byte", 5e-6, std::nullopt, false, {0x97, 0x9E, 0x40}, {7, 25, 43}},
        // Each selection starts a byte; the three bits cut short by the end of theirs are dropped.
        {"CS active low", 0.0, kCs, false, {0xA5, 0x3C, 0x81}, {3, 29, 45}},
        {"CS active high", 0.0, kCs, true, {0xA5, 0x3C, 0x81}, {3, 29, 45}},
        // Six edges of 0xA5 left after the marker: passed over, as no whole byte ends there.
        {"marker inside the first selection", 5e-6, kCs, false, {0x3C, 0x81}, {29, 45}},
        // Thirteen edges left in the selection: the five in front of its last whole byte are passed over.
        {"marker inside 0x3C", 33e-6, kCs, false, {0x81}, {45}},
        {"marker inside 0x3C, CS active high", 33e-6, kCs, true, {0x81}, {45}},
        {"marker where a selection starts", 28e-6, kCs, false, {0x3C, 0x81}, {29, 45}},
        {"marker after the last edge", 59e-6, kCs, false, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto capture = MakeLogicCapture(FramedBus(c.csActiveHigh), {}, 1e-6, 0);
        SpiDecodeRequest request{kSck, kMosi, kMiso, SpiMode(0), c.marker};
        request.cs = c.cs;
        request.csActiveLow = !c.csActiveHigh;
        const auto result = DecodeSpi(ChannelQueries(capture), request);
        ASSERT_FALSE(result.error);
        EXPECT_EQ(result.mosi, c.mosi);
        EXPECT_EQ(result.miso, Complement(c.mosi));
        EXPECT_DOUBLE_EQ(result.edgeSpacing, kH);
        ASSERT_EQ(result.mosiTimes.size(), c.firstEdges.size());
        ASSERT_EQ(result.misoTimes.size(), c.firstEdges.size());
        for (std::size_t k = 0; k < c.firstEdges.size(); ++k) {
            EXPECT_DOUBLE_EQ(result.mosiTimes[k], static_cast<double>(c.firstEdges[k]) * 1e-6 - kH) << k;
            EXPECT_DOUBLE_EQ(result.misoTimes[k], static_cast<double>(c.firstEdges[k]) * 1e-6 - kH) << k;
        }
    }
}

TEST(SpiFraming, ASelectLineEndingEarlyCountsAsDeselectedThere)
{
    // CS on B.0, its data ending at sample 40: 0x3C is cut after six bits, 0x81 never selected.
    for (const bool activeHigh : {false, true}) {
        SCOPED_TRACE(activeHigh ? "active high" : "active low");
        const std::vector<std::uint8_t> framed = FramedBus(activeHigh);
        std::vector<std::uint8_t> busB;
        for (std::size_t i = 0; i < 40; ++i)
            busB.push_back(static_cast<std::uint8_t>(framed[i] >> kCs));
        const auto capture = MakeLogicCapture(framed, busB, 1e-6, 0);
        SpiDecodeRequest request{kSck, kMosi, kMiso, SpiMode(0), 0.0};
        request.cs = 8;
        request.csActiveLow = !activeHigh;
        const auto result = DecodeSpi(ChannelQueries(capture), request);
        ASSERT_FALSE(result.error);
        EXPECT_EQ(result.mosi, std::vector<std::uint8_t>{0xA5});
        EXPECT_EQ(result.miso, std::vector<std::uint8_t>{0x5A});
    }
}

TEST(SpiFraming, EachDataLineTakesItsTimesFromItsOwnBus)
{
    // SCK and MOSI on bus A (1 µs, sample 0 at −5 µs); MISO on the generator (2 µs from 0), its
    // samples read at the same indexes.
    const std::vector<std::uint8_t> framed = FramedBus(false);
    GeneratorData generator;
    for (std::size_t i = 0; i < framed.size(); ++i)
        generator.setLine(static_cast<int>(i), 3, (framed[i] >> kMiso) & 1);
    const auto capture = MakeLogicCapture(framed, {}, 1e-6, 5);
    const auto result = DecodeSpi(ChannelQueries(capture, &generator, 2e-6), {kSck, kMosi, 11, SpiMode(0), -5e-6});
    ASSERT_FALSE(result.error);
    EXPECT_EQ(result.mosi, (std::vector<std::uint8_t>{0xA5, 0xE7, 0x90}));
    EXPECT_EQ(result.miso, (std::vector<std::uint8_t>{0x5A, 0x18, 0x6F}));
    const std::int64_t edges[] = {3, 21, 39};
    ASSERT_EQ(result.mosiTimes.size(), 3u);
    ASSERT_EQ(result.misoTimes.size(), 3u);
    for (std::size_t k = 0; k < 3; ++k) {
        EXPECT_DOUBLE_EQ(result.mosiTimes[k], -5e-6 + static_cast<double>(edges[k]) * 1e-6 - kH) << k;
        EXPECT_DOUBLE_EQ(result.misoTimes[k], static_cast<double>(edges[k]) * 2e-6 - kH) << k;
    }
}

} // namespace
} // namespace tesmar
