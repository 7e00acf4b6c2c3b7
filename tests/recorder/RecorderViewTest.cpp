// The recorder's time axis, period limits and user markers.

#include "recorder/RecMarkerSet.h"
#include "recorder/RecTimeAxis.h"
#include "recorder/RecorderRecord.h"

#include <gtest/gtest.h>

#include <vector>

namespace tesmar {
namespace {

constexpr double kDay = 86'400.0;

TEST(RecTimeAxis, ZoomList)
{
    ASSERT_EQ(RecZoomList().size(), 31u);
    EXPECT_STREQ(RecZoomList()[kRecZoomHome], "1:1");
    EXPECT_DOUBLE_EQ(RecZoomFactor(0), 1.0 / 500);
    EXPECT_DOUBLE_EQ(RecZoomFactor(10), 1.0 / 10);
    EXPECT_DOUBLE_EQ(RecZoomFactor(15), 1.0);
    EXPECT_DOUBLE_EQ(RecZoomFactor(20), 10.0);
    EXPECT_DOUBLE_EQ(RecZoomFactor(30), 500.0);
}

TEST(RecTimeAxis, WindowWidthsFollowTheZoom)
{
    // Tp = 1 ms, 60 s recorded, following the newest point.
    const double M = 60 / kDay;
    const struct {
        double zoom, width; // s
    } cases[] = {{1, 1}, {10, 0.1}, {0.1, 10}, {1.0 / 500, 60}};
    for (const auto& c : cases) {
        RecAxisInput in;
        in.lastTime = M;
        in.zoom = c.zoom;
        in.mode = RecAxisMode::Follow;
        const TimeWindow w = RecTimeWindow(in);
        EXPECT_NEAR((w.to - w.from) * kDay, c.width, 1e-9) << c.zoom;
        EXPECT_NEAR(w.to, M, 1e-15);
    }
    // "1:10" of a 4 s record shows the whole record.
    RecAxisInput shortRecord;
    shortRecord.lastTime = 4 / kDay;
    shortRecord.zoom = 0.1;
    const TimeWindow w = RecTimeWindow(shortRecord);
    EXPECT_NEAR(w.from, 0, 1e-15);
    EXPECT_NEAR(w.to * kDay, 4, 1e-9);
}

TEST(RecTimeAxis, EmptyUserAndStayModes)
{
    RecAxisInput empty;
    empty.knobPeriod = 1e-3;
    empty.zoom = 2;
    TimeWindow w = RecTimeWindow(empty); // F = 1 s: 0.25 … 0.75 s
    EXPECT_NEAR(w.from * kDay, 0.25, 1e-9);
    EXPECT_NEAR(w.to * kDay, 0.75, 1e-9);

    RecAxisInput user;
    user.lastTime = 100 / kDay;
    user.scrollPosition = kRecScrollRange / 2 - 5'000'000;
    user.scrollPage = 10'000'000; // centre at 50 s
    w = RecTimeWindow(user);
    EXPECT_NEAR(w.from * kDay, 49.5, 1e-6);
    EXPECT_NEAR(w.to * kDay, 50.5, 1e-6);

    RecAxisInput stay = user;
    stay.mode = RecAxisMode::Stay;
    stay.saved = {20 / kDay, 21 / kDay};
    EXPECT_EQ(RecTimeWindow(stay), stay.saved);
    stay.saved = {0, 0};
    w = RecTimeWindow(stay);
    EXPECT_NEAR(w.to * kDay, 1, 1e-9);

    // A window beyond the end moves back to end at M; one before 0 to start at 0.
    const TimeWindow late = ClampWindow({0.9, 1.2}, 1.0);
    EXPECT_DOUBLE_EQ(late.from, 0.7);
    EXPECT_DOUBLE_EQ(late.to, 1.0);
    const TimeWindow early = ClampWindow({-0.1, 0.2}, 1.0);
    EXPECT_DOUBLE_EQ(early.from, 0.0);
    EXPECT_DOUBLE_EQ(early.to, 0.3);
}

TEST(RecTimeAxis, ScrollBarAndMarkerWindow)
{
    const RecScrollState s = RecScrollFor({25, 50}, 100);
    EXPECT_EQ(s.page, kRecScrollRange / 4);
    EXPECT_EQ(s.position, kRecScrollRange / 4);
    EXPECT_EQ(s.largeStep, 32767);
    EXPECT_EQ(s.smallStep, 32767);
    EXPECT_EQ(RecScrollFor({0, 1}, 0).page, kRecScrollRange);

    EXPECT_EQ(MarkerWindow(10, 100, 3), (TimeWindow{0, 10}));
    EXPECT_EQ(MarkerWindow(10, 100, 95), (TimeWindow{90, 100}));
    EXPECT_EQ(MarkerWindow(10, 100, 50), (TimeWindow{45, 55}));
}

TEST(RecTimeAxis, PeriodLimitsAndLiveDisplay)
{
    // The knob's 60 entries: 10 … 1 s, 0.9 … 0.1 s, 90 … 10 ms, 9 … 1 ms, 0.9 … 0.1 ms, 90 … 10 µs, 9 … 5 µs.
    std::vector<double> periods;
    for (double decade : {1.0, 0.1, 0.01, 0.001, 0.0001, 0.00001})
        for (int k = (decade == 1.0 ? 10 : 9); k >= 1; --k)
            periods.push_back(k * decade);
    for (int k = 9; k >= 5; --k)
        periods.push_back(k * 1e-6);
    ASSERT_EQ(periods.size(), 60u);

    // Defaults: working "5 мкс" (item 32), display "0,1 мс" (item 18).
    RecPeriodLimits one = ComputeRecPeriodLimits(periods, 32, 18, false, 1e-3);
    EXPECT_EQ(one.indexMaxEnable, 60);
    EXPECT_TRUE(one.liveDisplay);
    EXPECT_NEAR(one.displayLimit, 10'000, 1e-6);
    RecPeriodLimits both = ComputeRecPeriodLimits(periods, 32, 18, true, 1e-3);
    EXPECT_EQ(both.indexMaxEnable, 55); // entry 54 (10 µs) is twice 5 µs
    EXPECT_TRUE(ComputeRecPeriodLimits(periods, 32, 18, false, 1e-4).liveDisplay);
    EXPECT_FALSE(ComputeRecPeriodLimits(periods, 32, 18, true, 1e-4).liveDisplay);
    EXPECT_FALSE(ComputeRecPeriodLimits(periods, 32, 18, false, 9e-5).liveDisplay);
    EXPECT_TRUE(ComputeRecPeriodLimits(periods, 32, 18, true, 2e-4).liveDisplay);
}

TEST(RecTimeAxis, TimeTexts)
{
    const double hourFiveSeconds = 3605 / kDay;
    EXPECT_EQ(RecTimeText(hourFiveSeconds, false), "01:00:05:000");
    EXPECT_EQ(RecTimeText(hourFiveSeconds, true), "00:05:000:000");
    EXPECT_EQ(RecTimeText(0.0123 / kDay, false), "00:00:00:012");
}

TEST(RecMarkerSet, Operations)
{
    RecMarkerSet set;
    EXPECT_FALSE(set.anyUsed());
    EXPECT_TRUE(set.add(5, kRecMarkerDefaultColour, "first", 0.25));
    EXPECT_FALSE(set.add(5, 0xFF, "again", 0.5)); // a used slot keeps its marker
    EXPECT_EQ(set.marker(5)->comment, "first");
    EXPECT_FALSE(set.add(0, 0xFF, "", 0));
    EXPECT_FALSE(set.add(100, 0xFF, "", 0));
    EXPECT_FALSE(set.remove(6)); // Delete on an empty row does nothing
    EXPECT_TRUE(set.setComment(5, std::string(200, 'x')));
    EXPECT_EQ(set.marker(5)->comment.size(), 128u);
    // Characters, not bytes: 200 Cyrillic letters keep 128 letters.
    std::string cyrillic;
    for (int i = 0; i < 200; ++i)
        cyrillic += "ж";
    set.place(7, 0xFF0000, cyrillic, 0.1);
    EXPECT_EQ(set.marker(7)->comment.size(), 256u);
    EXPECT_TRUE(set.setColour(7, 0x123456));
    EXPECT_EQ(set.marker(7)->colour, 0x123456u);
    EXPECT_TRUE(set.anyUsed());
    set.removeAll();
    EXPECT_FALSE(set.used(5));
    EXPECT_FALSE(set.used(7));
}

TEST(RecMarkerSet, RowTextColour)
{
    EXPECT_FALSE(WhiteTextOn(0x00FFFF)); // yellow: black text
    EXPECT_TRUE(WhiteTextOn(0x800000));  // dark blue: white text
    EXPECT_TRUE(WhiteTextOn(0x000000));
    EXPECT_TRUE(WhiteTextOn(0x808080));  // 384
    EXPECT_FALSE(WhiteTextOn(0x808081));
}

} // namespace
} // namespace tesmar
