#include "formats/DataFileLoad.h"
#include "formats/DataFileSource.h"
#include "recorder/RecorderDataFile.h"
#include "recorder/RecorderSummary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <numeric>

namespace tesmar {
namespace {

std::vector<double> Wave(std::size_t n, double scale)
{
    std::vector<double> v(n);
    for (std::size_t i = 0; i < n; ++i)
        v[i] = scale * std::sin(double(i) * 0.0007) + (i == n / 3 ? 50.0 : 0.0);
    return v;
}

DataFile RecorderFile(std::optional<std::vector<double>> a, std::optional<std::vector<double>> b)
{
    RecorderSettingsChunk settings;
    settings.samplePeriod = 1e-3;
    return DataFile{settings, {"запись"}, std::move(a), std::move(b), {}, {}};
}

std::vector<std::uint8_t> Contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

DataFileScan ScanOk(DataFileSource& source)
{
    auto scanned = ScanDataFile(source);
    EXPECT_TRUE(std::holds_alternative<DataFileScan>(scanned));
    return std::get<DataFileScan>(std::move(scanned));
}

// More points than one chunk of the record holds; the shorter channel sets the count.
TEST(RecorderDataFile, FileValuesGoStraightIntoTheRecordAndBackToTheSameBytes)
{
    const std::size_t n = 300'001;
    const std::vector<double> a = Wave(n, 2.0), b = Wave(n + 17, -3.0);
    const std::string path = testing::TempDir() + "/record.dat";
    ASSERT_EQ(SaveDataFile(path, RecorderFile(a, b)), "");

    std::string problem;
    const auto source = FileDataSource::Open(path, problem);
    ASSERT_TRUE(source) << problem;
    const DataFileScan scan = ScanOk(*source);
    const auto stream = RecordFromDataFile(scan, *source);
    ASSERT_TRUE(stream);
    const RecorderRecord& record = stream->record();
    ASSERT_EQ(record.count(), n);
    ASSERT_TRUE(record.on(0) && record.on(1));
    EXPECT_EQ(record.layout().pointPeriod, 1e-3);
    for (const std::size_t i : {std::size_t{0}, std::size_t{262'143}, std::size_t{262'144}, n - 1}) {
        EXPECT_EQ(record.channel(0).at(i), a[i]) << i;
        EXPECT_EQ(record.channel(1).at(i), b[i]) << i;
    }
    // The summary was built as the pieces came in.
    for (int ch = 0; ch < 2; ++ch) {
        const std::vector<double>& v = ch == 0 ? a : b;
        const auto [lo, hi] = std::minmax_element(v.begin(), v.begin() + n);
        const auto summary = SummarizeChannel(record, ch);
        ASSERT_TRUE(summary);
        EXPECT_EQ(summary->max, *hi);
        EXPECT_EQ(summary->min, *lo);
        EXPECT_NEAR(summary->mean, std::accumulate(v.begin(), v.begin() + n, 0.0) / double(n), 1e-9);
        const MinMax part = record.channel(ch).range(1000, 270'000);
        EXPECT_EQ(part.max, *std::max_element(v.begin() + 1000, v.begin() + 270'000));
    }

    // Written from the record's chunks: the bytes of the whole-file writer for the record's points.
    DataFileView view{RecorderFile({}, {}), RecordValues(record, 0), RecordValues(record, 1)};
    const std::string again = testing::TempDir() + "/record-again.dat";
    ASSERT_EQ(SaveDataFile(again, view), "");
    const std::vector<std::uint8_t> expected =
        WriteDataFile(RecorderFile(a, std::vector<double>(b.begin(), b.begin() + n)));
    EXPECT_EQ(Contents(again), expected);
}

// Reads fail from a given byte on, as a file on a removed disk does.
class FailingSource final : public DataFileSource {
public:
    FailingSource(std::span<const std::uint8_t> bytes, std::uint64_t failFrom) : memory_(bytes), failFrom_(failFrom) {}
    std::uint64_t size() const override { return memory_.size(); }
    bool read(std::uint64_t offset, void* out, std::size_t count) override
    {
        return offset + count <= failFrom_ && memory_.read(offset, out, count);
    }

private:
    MemoryDataSource memory_;
    std::uint64_t failFrom_;
};

TEST(RecorderDataFile, NoRecordWithoutValuesOrWhenTheFileFailsUnderUs)
{
    const std::vector<std::uint8_t> bytes = WriteDataFile(RecorderFile(Wave(1000, 1.0), std::nullopt));
    MemoryDataSource whole(bytes);
    const DataFileScan scan = ScanOk(whole);
    ASSERT_TRUE(RecordFromDataFile(scan, whole));
    FailingSource failing(bytes, bytes.size() - 100);
    EXPECT_FALSE(RecordFromDataFile(scan, failing));

    const std::vector<std::uint8_t> empty = WriteDataFile(RecorderFile(std::nullopt, std::nullopt));
    MemoryDataSource none(empty);
    EXPECT_FALSE(RecordFromDataFile(ScanOk(none), none));
    // A file of another page gives no record.
    DataFile osc{OscSettingsChunk{}, {}, std::vector<double>{1.0}, {}, {}, {}};
    const std::vector<std::uint8_t> oscBytes = WriteDataFile(osc);
    MemoryDataSource oscSource(oscBytes);
    EXPECT_FALSE(RecordFromDataFile(ScanOk(oscSource), oscSource));
}

} // namespace
} // namespace tesmar
