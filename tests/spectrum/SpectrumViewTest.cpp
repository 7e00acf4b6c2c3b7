#include "spectrum/SpectrumFrequencyAxis.h"

#include <gtest/gtest.h>

namespace tesmar {
namespace {

TEST(SpectrumFrequencyAxis, EmptyAxisFromTheKnob)
{
    SpectrumFrequencyAxis axis;
    EXPECT_EQ(axis.setupEmpty(200'000, 1000), (AxisRange{0, 100}));
    axis.setZoom(10);
    EXPECT_EQ(axis.setupEmpty(200'000, 1000), (AxisRange{45, 55}));
    axis.setZoom(1);
    EXPECT_EQ(axis.setupEmpty(10'000, 1), (AxisRange{0, 5000}));
}

TEST(SpectrumFrequencyAxis, ZoomAroundTheCentreWithinTheCurve)
{
    SpectrumFrequencyAxis axis;
    const double M = 100;
    AxisRange r = axis.setupWithData(M, {0, kScrollRange}, {0, 100});
    EXPECT_EQ(r, (AxisRange{0, 100}));
    axis.setZoom(2);
    r = axis.setupWithData(M, {0, kScrollRange}, r);
    EXPECT_EQ(r, (AxisRange{25, 75}));
    // The same zoom again keeps the window the scroll bar shows.
    r = axis.setupWithData(M, {5000, 5000}, r);
    EXPECT_EQ(r, (AxisRange{50, 100}));
    // Zooming out near the right end never passes M.
    axis.setZoom(1.5);
    r = axis.setupWithData(M, {5000, 5000}, r);
    EXPECT_DOUBLE_EQ(r.max, 100);
    EXPECT_NEAR(r.min, 100 - 50 * 2 / 1.5, 1e-3);
    // Near the left end never below 0.
    axis.setZoom(4);
    r = axis.setupWithData(M, {0, 2500}, {0, 25});
    axis.setZoom(2);
    r = axis.setupWithData(M, {0, 2500}, r);
    EXPECT_EQ(r, (AxisRange{0, 50}));
    axis.setZoom(1);
    EXPECT_EQ(axis.setupWithData(M, {3000, 5000}, r), (AxisRange{0, 100}));
}

TEST(SpectrumFrequencyAxis, ZoomButtons)
{
    const auto first = ZoomButtonsFor(0, 16), middle = ZoomButtonsFor(3, 16), last = ZoomButtonsFor(15, 16);
    EXPECT_TRUE(first.zoomIn);
    EXPECT_FALSE(first.zoomOut);
    EXPECT_FALSE(first.undo);
    EXPECT_TRUE(middle.zoomIn && middle.zoomOut && middle.undo);
    EXPECT_FALSE(last.zoomIn);
    EXPECT_TRUE(last.zoomOut && last.undo);
}

} // namespace
} // namespace tesmar

#include "spectrum/SpectrumMarkers.h"

namespace tesmar {
namespace {

TEST(SpectrumMarkers, ReadoutsAndDifferences)
{
    SpectrumCurvePoints a{{0, 1, 2, 3}, {0, 1, 3, 3}};
    SpectrumCurvePoints b{{0, 1, 2, 3}, {-60, -20, -10, -10}};
    SpectrumMarkerInput in;
    in.markerFrequency = {0.5, 2.5};
    in.unit = 1000;
    in.curves = {&a, &b};
    in.decimalSeparator = '.';
    auto r = ComputeSpectrumMarkerReadouts(in);
    EXPECT_EQ(r.frequency[0], " 0.50 кГц");
    EXPECT_EQ(r.frequencyDifference.text, " 2.00 кГц");
    EXPECT_EQ(r.frequencyDifference.colour, DifferenceColour::Green);
    EXPECT_EQ(r.value[0][0], " 0.50 В");
    EXPECT_EQ(r.value[1][0], " 3.00 В");
    EXPECT_EQ(r.valueDifference[0].text, " 2.50 В");
    EXPECT_EQ(r.valueDifference[0].colour, DifferenceColour::Green);

    // A in volts and B in dB: no differences for either channel.
    in.scales[1].dB = true;
    r = ComputeSpectrumMarkerReadouts(in);
    EXPECT_EQ(r.value[0][1], "-40.00 дБ");
    EXPECT_TRUE(r.valueDifference[0].text.empty());
    EXPECT_TRUE(r.valueDifference[1].text.empty());

    // A marker beyond the curve has no value; one curve missing has none at all.
    in.markerFrequency = {3.5, 1.0};
    in.curves[1] = nullptr;
    r = ComputeSpectrumMarkerReadouts(in);
    EXPECT_TRUE(r.value[0][0].empty());
    EXPECT_EQ(r.value[1][0], " 1.00 В");
    EXPECT_TRUE(r.value[1][1].empty());
    EXPECT_EQ(r.frequencyDifference.colour, DifferenceColour::Purple);
}

} // namespace
} // namespace tesmar
