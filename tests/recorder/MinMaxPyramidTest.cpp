// The min/max summary and the chart envelope against brute force over random records.

#include "RecorderFrames.h"
#include "recorder/RecorderEnvelope.h"
#include "recorder/RecorderRecord.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>

namespace tesmar {
namespace {

std::unique_ptr<RecorderRecord> RandomRecord(std::size_t n, std::mt19937& random, bool both = false)
{
    auto owned = std::make_unique<RecorderRecord>(RecordLayout{1e-3, true, both, both}, n);
    RecorderRecord& record = *owned;
    EXPECT_TRUE(record.reserve(n));
    std::normal_distribution<double> noise(0, 1);
    double walk = 0;
    for (std::size_t i = 0; i < n; ++i) {
        walk += noise(random);
        record.channel(0).append(walk);
        if (both)
            record.channel(1).append(-walk);
        // Summaries arrive in uneven steps, as reads do.
        if (i % 409 == 0 || i + 1 == n) {
            record.channel(0).summarise();
            if (both)
                record.channel(1).summarise();
        }
    }
    record.publish(n);
    return owned;
}

TEST(MinMaxPyramid, RangesMatchBruteForce)
{
    std::mt19937 random(7);
    for (const std::size_t n : {1u, 31u, 32u, 1025u, 100'000u, 2'000'000u}) {
        const auto owned = RandomRecord(n, random);
        const RecorderRecord& record = *owned;
        std::uniform_int_distribution<std::size_t> index(0, n - 1);
        for (int k = 0; k < 200; ++k) {
            std::size_t a = index(random), b = index(random);
            if (a > b)
                std::swap(a, b);
            ++b;
            double lo = record.channel(0).at(a), hi = lo;
            for (std::size_t i = a; i < b; ++i) {
                lo = std::min(lo, record.channel(0).at(i));
                hi = std::max(hi, record.channel(0).at(i));
            }
            const MinMax m = record.channel(0).range(a, b);
            ASSERT_EQ(m.min, lo) << n << " [" << a << ", " << b << ")";
            ASSERT_EQ(m.max, hi) << n << " [" << a << ", " << b << ")";
        }
    }
}

TEST(RecorderEnvelope, ColumnsCoverTheExtentAndZoomedInGivesTheSamples)
{
    std::mt19937 random(11);
    const std::size_t n = 300'000;
    const auto owned = RandomRecord(n, random, true);
    const RecorderRecord& record = *owned;
    const double dt = record.dtDays();
    std::vector<ChartPoint> points;
    for (int zoom = 0; zoom < 30; ++zoom) {
        const double from = std::uniform_real_distribution<double>(0, n * dt)(random);
        const double width = std::uniform_real_distribution<double>(0, n * dt / (zoom + 1))(random);
        const int columns = 800;
        for (int ch = 0; ch < 2; ++ch) {
            BuildEnvelope(record, ch, from, from + width, columns, points);
            ASSERT_FALSE(points.empty());
            ASSERT_LE(points.size(), 2u * columns + 2);
            ASSERT_TRUE(std::is_sorted(points.begin(), points.end(),
                                       [](const ChartPoint& l, const ChartPoint& r) { return l.time < r.time; }));
            // The drawn extent equals the brute-force extent of the samples in the window.
            const auto [first, last] = record.indexRange(ch, from, from + width);
            double lo = record.channel(ch).at(first), hi = lo;
            for (std::size_t i = first; i < last; ++i) {
                lo = std::min(lo, record.channel(ch).at(i));
                hi = std::max(hi, record.channel(ch).at(i));
            }
            const auto [pmin, pmax] = std::minmax_element(points.begin(), points.end(), [](auto& l, auto& r) {
                return l.value < r.value;
            });
            ASSERT_EQ(pmin->value, lo);
            ASSERT_EQ(pmax->value, hi);
        }
    }
    // 100 points in 800 columns: every sample, at its own time.
    BuildEnvelope(record, 1, 1000 * dt, 1099 * dt, 800, points);
    ASSERT_EQ(points.size(), 103u); // one more on each side where there is one
    for (const ChartPoint& p : points) {
        const auto i = static_cast<std::size_t>(std::llround((p.time - dt / 2) / dt));
        EXPECT_DOUBLE_EQ(p.time, record.timeOf(1, i));
        EXPECT_EQ(p.value, record.channel(1).at(i));
    }
}

// Every drawn column holds exactly the smallest and largest sample between its time and the
// next column's, for records of one storage chunk and of several, at zooms from the whole record
// down to a few samples per column, with windows placed across chunk boundaries.
TEST(RecorderEnvelope, EachColumnIsTheExtentOfItsSamples)
{
    std::mt19937 random(5);
    const std::size_t chunk = ChunkedValues::kChunkSize;
    int checked = 0;
    for (const std::size_t n : {chunk / 3, 3 * chunk + 12'345}) {
        const auto owned = RandomRecord(n, random, true);
        const RecorderRecord& record = *owned;
        const double dt = record.dtDays();
        std::vector<ChartPoint> points;
        for (const double zoom : {1.0, 3.0, 37.0, 400.0}) {
            for (int ch = 0; ch < 2; ++ch) {
                const double width = n * dt / zoom;
                // Centred on a chunk boundary where there is one, else anywhere.
                const double centre = n > chunk ? static_cast<double>(chunk) * dt : n * dt / 2;
                const double from = std::max(0.0, centre - width / 2);
                for (const int columns : {797, 1500}) {
                    BuildEnvelope(record, ch, from, from + width, columns, points);
                    const auto [first, last] = record.indexRange(ch, from, from + width);
                    if (last - first <= 2u * columns)
                        continue; // the exact samples, checked above
                    ++checked;
                    // Points 1 … size−2 come in pairs, one pair per column.
                    ASSERT_EQ(points.size() % 2, 0u);
                    // One sweep over the samples, column by column.
                    std::size_t i = first;
                    while (i < last && record.timeOf(ch, i) < points[1].time)
                        ++i;
                    for (std::size_t k = 1; k + 1 < points.size(); k += 2) {
                        ASSERT_EQ(points[k].time, points[k + 1].time);
                        const double t1 = k + 3 < points.size() ? points[k + 2].time : INFINITY;
                        double lo = INFINITY, hi = -INFINITY;
                        for (; i < last && record.timeOf(ch, i) < t1; ++i) {
                            lo = std::min(lo, record.channel(ch).at(i));
                            hi = std::max(hi, record.channel(ch).at(i));
                        }
                        ASSERT_EQ(std::min(points[k].value, points[k + 1].value), lo) << n << " column " << k / 2;
                        ASSERT_EQ(std::max(points[k].value, points[k + 1].value), hi) << n << " column " << k / 2;
                    }
                }
            }
        }
    }
    EXPECT_GE(checked, 20);
}

TEST(RecorderEnvelope, ValueAtInterpolatesInsideTheRecordAndHalfAPeriodBeyond)
{
    RecorderRecord record({1e-3, true, false, false}, 10);
    ASSERT_TRUE(record.reserve(10));
    for (double v : {0.0, 10.0, 20.0})
        record.channel(0).append(v);
    const double dt = record.dtDays();
    EXPECT_FALSE(RecordValueAt(record, 0, dt)); // nothing published yet
    record.publish(3);
    EXPECT_DOUBLE_EQ(*RecordValueAt(record, 0, 1.5 * dt), 15.0);
    EXPECT_DOUBLE_EQ(*RecordValueAt(record, 0, 2 * dt), 20.0);
    // Within half a period beyond either end the end value holds (channel B lies half a period
    // after A, so a marker at A's first point still reads B); further out there is none.
    EXPECT_DOUBLE_EQ(*RecordValueAt(record, 0, 2.5 * dt), 20.0);
    EXPECT_DOUBLE_EQ(*RecordValueAt(record, 0, -0.5 * dt), 0.0);
    EXPECT_FALSE(RecordValueAt(record, 0, 2.6 * dt));
    EXPECT_FALSE(RecordValueAt(record, 0, -0.6 * dt));
    EXPECT_FALSE(RecordValueAt(record, 0, -dt));
    EXPECT_FALSE(RecordValueAt(record, 1, dt));
}

} // namespace
} // namespace tesmar
