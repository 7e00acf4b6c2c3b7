// The recorder's frame decoding, points, capacity and stop conditions.

#include "RecorderFrames.h"
#include "recorder/RecorderStream.h"
#include "recorder/RecorderSummary.h"

#include <gtest/gtest.h>

#include <memory>
#include <numeric>
#include <vector>

namespace tesmar {
namespace {

// Volts equal the raw sample under this pair, so tests speak in raw values.
constexpr CalibrationPair kIdentity{0.0, -1.0 / 64.0};
constexpr std::uint64_t kPlenty = std::uint64_t{64} << 30;

RecorderSettings Settings(bool a = true, bool b = false, int averaging = 1)
{
    RecorderSettings s;
    s.pointPeriod = 1e-3;
    s.chAOn = a;
    s.chBOn = b;
    s.averaging = averaging;
    s.pairA = s.pairB = kIdentity;
    s.dynamicMemory = true;
    return s;
}

std::unique_ptr<RecorderStream> Prepared(const RecorderSettings& s, std::uint64_t memory = kPlenty)
{
    auto stream = std::make_unique<RecorderStream>(s, [memory] { return memory; });
    EXPECT_TRUE(stream->prepare());
    return stream;
}

std::vector<double> Values(const RecorderRecord& record, int channel)
{
    std::vector<double> out;
    for (std::size_t i = 0; i < record.count(); ++i)
        out.push_back(record.channel(channel).at(i));
    return out;
}

TEST(RecorderStream, FramesSplitAnywhereGiveTheSameSamples)
{
    std::vector<int> samples(400);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<int>((i * 37) % 1024);
    const auto bytes = testing::EncodeFrames(samples);
    for (std::size_t piece : {1u, 2u, 3u, 7u, 512u}) {
        auto stream = Prepared(Settings());
        for (std::size_t at = 0; at < bytes.size(); at += piece)
            stream->feed(bytes.data() + at, std::min(piece, bytes.size() - at));
        stream->publish();
        const std::vector<double> got = Values(stream->record(), 0);
        ASSERT_EQ(got.size(), samples.size()) << "piece " << piece;
        for (std::size_t i = 0; i < samples.size(); ++i)
            ASSERT_EQ(got[i], samples[i]) << "piece " << piece << " sample " << i;
    }
}

TEST(RecorderStream, EightBitModeDropsTheLowBits)
{
    const std::vector<std::uint8_t> frame{0x80, 0x80, 0x80, 0x80, 0xFF};
    for (const auto& [eightBit, raw] : {std::pair{true, 512}, std::pair{false, 515}}) {
        RecorderSettings s = Settings();
        s.eightBit = eightBit;
        auto stream = Prepared(s);
        stream->feed(frame.data(), frame.size());
        stream->publish();
        EXPECT_EQ(Values(stream->record(), 0), std::vector<double>(4, raw));
    }
}

TEST(RecorderStream, VoltsThroughTheCalibrationPairs)
{
    RecorderSettings s = Settings(true, true);
    s.pairA = {2.5, 7.5e-5};
    s.pairB = {22.0, 7e-4};
    auto stream = Prepared(s);
    const auto bytes = testing::EncodeFrames({100, 200, 300, 400});
    stream->feed(bytes.data(), bytes.size());
    stream->publish();
    EXPECT_EQ(Values(stream->record(), 0), (std::vector<double>{RawToVolts(100, s.pairA), RawToVolts(300, s.pairA)}));
    EXPECT_EQ(Values(stream->record(), 1), (std::vector<double>{RawToVolts(200, s.pairB), RawToVolts(400, s.pairB)}));
}

TEST(RecorderStream, EachReadOf512BytesAdds408Or412Points)
{
    auto stream = Prepared(Settings());
    std::vector<int> samples(4096 * 4);
    const auto bytes = testing::EncodeFrames(samples);
    std::size_t before = 0;
    for (std::size_t at = 0; at + 512 <= bytes.size(); at += 512) {
        stream->feed(bytes.data() + at, 512);
        stream->publish();
        const std::size_t added = stream->record().count() - before;
        EXPECT_TRUE(added == 408 || added == 412) << added;
        before = stream->record().count();
    }
}

TEST(RecorderStream, AveragingByNAndTheTimesOfBothChannels)
{
    RecorderSettings s = Settings(true, true, 2);
    s.liveDisplay = true;
    auto stream = Prepared(s);
    // A pairs 10, 30 | 50, 70; B pairs 20, 40 | 60, 80 → points (20, 30) and (60, 70)
    const auto bytes = testing::EncodeFrames({10, 20, 30, 40, 50, 60, 70, 80});
    stream->feed(bytes.data(), bytes.size());
    stream->publish();
    const RecorderRecord& r = stream->record();
    EXPECT_EQ(Values(r, 0), (std::vector<double>{20, 60}));
    EXPECT_EQ(Values(r, 1), (std::vector<double>{30, 70}));
    const double dt = 1e-3 / 86400;
    EXPECT_DOUBLE_EQ(r.timeOf(0, 1), dt);
    EXPECT_DOUBLE_EQ(r.timeOf(1, 1), 1.5 * dt); // half a period later while drawn live
    EXPECT_DOUBLE_EQ(stream->elapsedDays(), 2 * dt);

    s.liveDisplay = false;
    auto hidden = Prepared(s);
    EXPECT_DOUBLE_EQ(hidden->record().timeOf(1, 1), dt); // equal to A's without live display
    s.chAOn = false;
    s.liveDisplay = true;
    auto onlyB = Prepared(s);
    EXPECT_DOUBLE_EQ(onlyB->record().timeOf(1, 1), dt);
}

TEST(RecorderStream, AutoStopReservesTheIntervalAndEndsAfterIt)
{
    RecorderSettings s = Settings();
    s.dynamicMemory = false;
    s.autoStopSeconds = 10.0;
    auto stream = Prepared(s);
    EXPECT_EQ(stream->plan().capacity, 20'000u);
    const auto bytes = testing::EncodeFrames(std::vector<int>(12'000, 5));
    stream->feed(bytes.data(), bytes.size());
    stream->publish();
    EXPECT_TRUE(stream->ended());
    EXPECT_TRUE(stream->autoStopped());
    EXPECT_EQ(stream->status(), RecOk);
    EXPECT_EQ(stream->record().count(), 10'001u); // the first point ending beyond 10 s is the last
}

TEST(RecorderStream, CapacityGrowsWithDynamicMemoryAndFillsWithout)
{
    const auto bytes = testing::EncodeFrames(std::vector<int>(40'000, 7));
    {
        auto stream = Prepared(Settings());
        EXPECT_EQ(stream->plan().capacity, 10'000u);
        EXPECT_EQ(stream->plan().growth, 1'000u);
        stream->feed(bytes.data(), bytes.size());
        stream->publish();
        EXPECT_EQ(stream->status(), RecOk);
        EXPECT_EQ(stream->record().count(), 40'000u);
    }
    {
        // Not extendable: the record stops 100 points short of its capacity, points kept.
        RecorderSettings s = Settings();
        s.dynamicMemory = false;
        const std::uint64_t memory = static_cast<std::uint64_t>(30'000 * kRecorderBytesPerPoint / kRecorderMemoryShare);
        auto stream = Prepared(s, memory);
        EXPECT_LT(stream->plan().capacity, 30'001u);
        stream->feed(bytes.data(), bytes.size());
        stream->publish();
        EXPECT_EQ(stream->status(), RecMemoryFull);
        EXPECT_EQ(stream->record().count(), stream->plan().capacity - kRecorderHeadroom);
    }
    {
        // Growth refused by the memory that is left: status 3, points kept.
        std::uint64_t memory = kPlenty;
        auto stream = std::make_unique<RecorderStream>(Settings(), [&memory] { return memory; });
        ASSERT_TRUE(stream->prepare());
        const std::size_t chunk = ChunkedValues::kChunkSize;
        const auto many = testing::EncodeFrames(std::vector<int>(chunk + 100'000, 7));
        stream->feed(many.data(), 75'000); // 60 000 points in the first chunk
        memory = 1000;                     // the next chunk is refused
        stream->feed(many.data() + 75'000, many.size() - 75'000);
        stream->publish();
        EXPECT_EQ(stream->status(), RecMemoryFull);
        // The capacity grew in steps of 1000 as long as the first chunk had room.
        const std::size_t lastCapacity = kRecorderSpare + (chunk - kRecorderSpare) / 1000 * 1000;
        EXPECT_EQ(stream->record().count(), lastCapacity - kRecorderHeadroom);
    }
}

TEST(RecorderStream, StatusTwoWhenTheIntervalDoesNotFit)
{
    RecorderSettings s = Settings();
    s.dynamicMemory = false;
    s.autoStopSeconds = 86'000.0;
    auto stream = std::make_unique<RecorderStream>(s, [] { return std::uint64_t{100'000'000}; });
    EXPECT_FALSE(stream->prepare());
    EXPECT_EQ(stream->status(), RecNoMemoryAtStart);
    EXPECT_EQ(stream->record().count(), 0u);
    EXPECT_EQ(stream->record().capacity(), 0u);
}

TEST(RecorderStream, OneDayEndsTheRecordingWithStatusFive)
{
    // 10 s points: a day is 8640 points.
    RecorderSettings s = Settings();
    s.pointPeriod = 10.0;
    auto stream = Prepared(s);
    const auto bytes = testing::EncodeFrames(std::vector<int>(9'000, 1));
    stream->feed(bytes.data(), bytes.size());
    stream->publish();
    EXPECT_EQ(stream->status(), RecDayExceeded);
    EXPECT_EQ(stream->record().count(), 8'640u);
    EXPECT_EQ(DayPoints(1e-3), 86'400'000u);
    // Periods of damaged files: counted without overflow, and more points than memory holds.
    for (const double period : {1e-310, 4.9e-324, 0.0})
        EXPECT_GE(DayPoints(period), std::size_t(1) << 60) << period;
    EXPECT_EQ(DayPoints(-1.0), 0u);
}

TEST(RecorderStream, RecordOfAWholeDayEndsComplete)
{
    RecorderSettings s = Settings();
    s.pointPeriod = 10.0;
    s.autoStopSeconds = 86'400.0;
    auto stream = Prepared(s);
    const auto bytes = testing::EncodeFrames(std::vector<int>(9'000, 1));
    stream->feed(bytes.data(), bytes.size());
    stream->publish();
    EXPECT_EQ(stream->status(), RecOk);
    EXPECT_TRUE(stream->autoStopped());
    EXPECT_EQ(stream->record().count(), 8'640u);
}

TEST(RecorderStream, AReadFailureIsReportedOnlyWhenNoStopRuns)
{
    for (const bool stopping : {false, true}) {
        auto stream = Prepared(Settings());
        const auto bytes = testing::EncodeFrames(std::vector<int>(8, 3));
        stream->feed(bytes.data(), bytes.size());
        stream->readFailed(stopping);
        stream->publish();
        EXPECT_EQ(stream->status(), stopping ? RecOk : RecReadFailed);
        EXPECT_EQ(stream->record().count(), 8u); // the points so far stay
        EXPECT_TRUE(stream->ended());
    }
}

TEST(RecorderSummary, ValuesUnitsAndMessages)
{
    RecorderSettings s = Settings(true, true);
    s.pairA = {0.0, -1.0 / 64.0 / 1000.0}; // A in millivolts: raw/1000 V
    auto stream = Prepared(s);
    const auto bytes = testing::EncodeFrames({100, 2, 300, 4});
    stream->feed(bytes.data(), bytes.size());
    stream->publish();
    const SummaryTexts a = FormatSummary(SummarizeChannel(stream->record(), 0), ',');
    EXPECT_EQ(a.max, "300 мВ");
    EXPECT_EQ(a.min, "100 мВ");
    EXPECT_EQ(a.mean, "200 мВ");
    const SummaryTexts b = FormatSummary(SummarizeChannel(stream->record(), 1), ',');
    EXPECT_EQ(b.max, " 4,00 В");
    EXPECT_EQ(b.min, " 2,00 В");
    EXPECT_EQ(b.mean, " 3,00 В");
    EXPECT_EQ(FormatSummary(std::nullopt).max, "");
    EXPECT_FALSE(RecorderStatusMessage(0));
    EXPECT_EQ(RecorderStatusMessage(1), Msg::strRecErrRead);
    EXPECT_EQ(RecorderStatusMessage(5), Msg::strRecErrOutTime);
}

} // namespace
} // namespace tesmar
