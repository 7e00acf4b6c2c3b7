#include "osc/OscChannelView.h"
#include "osc/OscTimeAxis.h"
#include "osc/OscReadMode.h"

#include <gtest/gtest.h>

#include <vector>

namespace tesmar {
namespace {

TEST(OscTimeAxis, EmptyAxisChoosesTheUnitFromTheExpectedRecord)
{
    OscTimeAxis axis; // factor 1000 at first
    OscTimeAxis::EmptyRecord buffer{false, 100, 1126, true, false, 5e-6};
    AxisRange r = axis.setupEmpty(buffer);
    EXPECT_EQ(axis.factor(), 1e6);
    EXPECT_NEAR(r.min, 0, 1e-9);
    EXPECT_NEAR(r.max, 5630, 1e-6);

    OscTimeAxis stream;
    r = stream.setupEmpty({false, 100, 8192, false, false, 10e-3});
    EXPECT_EQ(stream.factor(), 1.0);
    EXPECT_NEAR(r.max, 81.92, 1e-9);

    // trigger on: the pre-trigger part lies before 0; both channels in buffer mode halve it
    OscTimeAxis both;
    r = both.setupEmpty({true, 100, 1126, true, true, 10e-6});
    EXPECT_NEAR(r.min, -49 * 10e-6 * both.factor(), 1e-6);
    EXPECT_NEAR(r.max, (1126 - 99) / 2 * 10e-6 * both.factor(), 1e-6);
}

TEST(OscTimeAxis, ZoomAroundTheViewAndBack)
{
    OscTimeAxis axis;
    // 41 points 1 ms apart: 0 … 40 ms stays in milliseconds
    const OscTimeAxis::Points points{41, 1e-3, 0, 40};
    OscTimeAxis::DataLayout layout = axis.setupWithData(points, {}, {0, 40});
    EXPECT_EQ(layout.range, (AxisRange{0, 40}));
    EXPECT_EQ(layout.xScale, 1.0);

    axis.setZoom(2);
    layout = axis.setupWithData(points, OscTimeAxis::ScrollFor({0, 40}, std::pair{0.0, 40.0}), {0, 40});
    EXPECT_NEAR(layout.range.min, 10, 1e-9);
    EXPECT_NEAR(layout.range.max, 30, 1e-9);

    // zooming out past the start moves the window to begin at the first point
    const ScrollState view = OscTimeAxis::ScrollFor({0, 20}, std::pair{0.0, 40.0});
    EXPECT_EQ(view.pageSize, 5000);
    EXPECT_EQ(view.position, 0);
    axis.setZoom(4);
    axis.setupWithData(points, view, {0, 20});
    axis.setZoom(2);
    layout = axis.setupWithData(points, OscTimeAxis::ScrollFor({0, 10}, std::pair{0.0, 40.0}), {0, 10});
    EXPECT_NEAR(layout.range.min, 0, 1e-9);
    EXPECT_NEAR(layout.range.max, 20, 1e-9);
}

TEST(OscTimeAxis, UnitChangeRescalesTheCurves)
{
    OscTimeAxis axis; // ms
    const OscTimeAxis::Points points{1126, 5e-6, 0, 1125 * 5e-3};
    const OscTimeAxis::DataLayout layout = axis.setupWithData(points, {}, {0, 5.625});
    EXPECT_EQ(axis.factor(), 1e6);
    EXPECT_EQ(layout.xScale, 1000);
    EXPECT_NEAR(layout.range.max, 5625, 1e-6);
    EXPECT_EQ(ChooseTimeFactor(0, 0, 10, 1000), 1000); // a zero extent keeps the unit
    EXPECT_EQ(ChooseTimeFactor(1e-3, 0, 0, 1e6), 1e6);
}

TEST(OscTimeAxis, ScrollMovesAndClampsTheWindow)
{
    const AxisRange axis{10, 20};
    const ScrollState s = OscTimeAxis::ScrollFor(axis, std::pair{0.0, 40.0});
    EXPECT_EQ(s.position, 2500);
    EXPECT_EQ(s.pageSize, 2500);
    auto moved = OscTimeAxis::Scroll(axis, s, 5000, 0, 40);
    ASSERT_TRUE(moved);
    EXPECT_NEAR(moved->min, 20, 1e-9);
    moved = OscTimeAxis::Scroll(axis, s, 10000, 0, 40);
    EXPECT_NEAR(moved->max, 40, 1e-9);
    EXPECT_NEAR(moved->min, 30, 1e-9);
    EXPECT_FALSE(OscTimeAxis::Scroll(axis, s, 2500, 0, 40));
    EXPECT_FALSE(OscTimeAxis::Scroll({0, 40}, {0, kScrollRange}, 100, 0, 40));
}

TEST(OscChannelView, RangeKnobAndZeroMenu)
{
    struct Case {
        AxisRange axis;
        double volts;
        AxisRange expected;
    };
    const Case cases[] = {{{-20, 20}, 5, {-5, 5}}, {{-4, 36}, 1, {-0.2, 1.8}}};
    for (const Case& c : cases) {
        const AxisRange r = RescaleForRange(c.axis, c.volts);
        EXPECT_NEAR(r.min, c.expected.min, 1e-12);
        EXPECT_NEAR(r.max, c.expected.max, 1e-12);
    }
    const AxisRange zero = ZeroMenuAxis(5, 30);
    EXPECT_NEAR(zero.min, -7, 1e-12);
    EXPECT_NEAR(zero.max, 3, 1e-12);
}

TEST(OscChannelView, TriggerLevelFollowsTheSnapOption)
{
    // -20 … 20 to -5 … 5: a line at 10 V (three quarters up) stays there on the screen: 2.5 V
    EXPECT_DOUBLE_EQ(LevelAfterAxisChange(10, {-20, 20}, {-5, 5}, false), 2.5);
    EXPECT_DOUBLE_EQ(LevelAfterAxisChange(10, {-20, 20}, {-5, 5}, true), 10);
    EXPECT_DOUBLE_EQ(LevelAfterAxisChange(1, {0, 0}, {-5, 5}, false), 1); // no extent: kept
}

TEST(OscChannelView, AutoRangeAndAutoZero)
{
    const std::vector<double> knob{0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9, 1,  2,  3,  4,  5,  6,
                                   7,   8,   9,   10,  11,  12,  13,  14,  15,  16, 17, 18, 19, 20};
    AutoRangeInput in{0.45, -0.45, knob, true, false, {-20, 20}};
    AutoRangeResult r = AutoRange(in, {-0.9, 0.9});
    ASSERT_TRUE(r.knobIndex);
    EXPECT_DOUBLE_EQ(knob[*r.knobIndex], 0.9);
    EXPECT_FALSE(r.shiftedAxis);

    in.autoZero = true;
    r = AutoRange(in, {-0.5, 0.5});
    EXPECT_DOUBLE_EQ(knob[*r.knobIndex], 0.5);
    EXPECT_FALSE(r.shiftedAxis) << "centred signal: no shift";

    // a signal between 3 and 4 V: range from entry 11 (3 V), zero moved to centre it
    AutoRangeInput off{4.0, 3.0, knob, true, true, {-20, 20}};
    r = AutoRange(off, {-3, 3});
    EXPECT_DOUBLE_EQ(knob[*r.knobIndex], 3.0);
    ASSERT_TRUE(r.shiftedAxis);
    EXPECT_NEAR(r.shiftedAxis->max, 6.0, 1e-12); // clamped to the span
    EXPECT_NEAR(r.shiftedAxis->min, 0.0, 1e-12);

    in.autoRange = false; // nothing without the range button
    r = AutoRange(in, {-20, 20});
    EXPECT_FALSE(r.knobIndex);
    EXPECT_FALSE(r.shiftedAxis);
}

TEST(OscChannelView, MarkerValuesAndReadoutFormat)
{
    const std::vector<double> values{0, 1, 2, 4};
    const CurveSamples curve{values, -1.0, 0.5}; // x = -1, -0.5, 0, 0.5
    EXPECT_NEAR(*CurveValueAt(curve, -0.75), 0.5, 1e-12);
    EXPECT_NEAR(*CurveValueAt(curve, 0.25), 3.0, 1e-12);
    EXPECT_DOUBLE_EQ(*CurveValueAt(curve, 0.5), 4.0);
    EXPECT_FALSE(CurveValueAt(curve, 0.6));
    EXPECT_FALSE(CurveValueAt(curve, -1.1));
    EXPECT_FALSE(CurveValueAt({std::span<const double>(values).first(1), 0, 1}, 0));

    EXPECT_EQ(FormatReadout(1234.4, " мс", ','), " 1234 мс");
    EXPECT_EQ(FormatReadout(123.45, " мс", ','), "123,5 мс");
    EXPECT_EQ(FormatReadout(-1.5, " В", '.'), "-1.50 В");
}

} // namespace
} // namespace tesmar

namespace tesmar {
namespace {

TEST(OscReadMode, BoundaryOptionChannelsAndTheModesSettings)
{
    OscOptions options;
    options.count_osc_sample_pipe = 4096;
    options.count_osc_pass_sample_pipe = 300;
    options.count_osc_pass_sample_buf = 40;
    struct Case {
        double td;
        std::optional<double> boundary;
        bool both, stream;
    };
    const Case cases[] = {
        {10e-3, std::nullopt, false, false}, // "Все": always the buffer
        {10e-3, 10e-3, false, true},         // at the boundary: stream
        {9e-3, 10e-3, false, false},
        {10e-3, 10e-3, true, false},         // both channels double the boundary
        {20e-3, 10e-3, true, true},
        {5e-6, 5e-6, false, true},           // decimal periods compare as whole ticks
    };
    for (const Case& c : cases) {
        const OscReadMode mode = ChooseOscReadMode(c.td, c.boundary, c.both, options);
        EXPECT_EQ(mode.stream, c.stream) << c.td;
        EXPECT_EQ(mode.capacity, c.stream ? 4096 : 1126);
        EXPECT_EQ(mode.preTrigger, c.stream ? 300 : 40);
    }
}

} // namespace
} // namespace tesmar
