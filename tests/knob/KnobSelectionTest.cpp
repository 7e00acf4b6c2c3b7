#include "ui/knob/KnobSelection.h"
#include "ui/knob/KnobGeometry.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tesmar {
namespace {

KnobSelection MakeKnob(int count, double start = 130, double stop = -130) {
    KnobSelection knob;
    knob.setAngleRange(start, stop);
    std::vector<TROscKnobData> entries(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        entries[i].Value = i;
    knob.setEntries(entries);
    knob.setAngle(knob.angle());
    return knob;
}

TEST(KnobGeometry, EntryAnglesAndPoints) {
    EXPECT_DOUBLE_EQ(EntryAngle(0, 11, 130, -130), 130);
    EXPECT_DOUBLE_EQ(EntryAngle(5, 11, 130, -130), 0);
    EXPECT_DOUBLE_EQ(EntryAngle(10, 11, 130, -130), -130);
    EXPECT_DOUBLE_EQ(EntryAngle(0, 1, 130, -130), 130); // a single entry sits at the start
    const auto up = PointOnKnob(45, 35, 20, 0);
    EXPECT_NEAR(up.x, 45, 1e-9);
    EXPECT_NEAR(up.y, 15, 1e-9);
    const auto left = PointOnKnob(45, 35, 20, 90);
    EXPECT_NEAR(left.x, 25, 1e-9);
    EXPECT_NEAR(left.y, 35, 1e-9);
}

TEST(KnobGeometry, AngleFromMousePoint) {
    struct Case {
        double px, py, start, stop;
        std::optional<double> angle;
    };
    const Case cases[] = {
        {45, 10, 130, -130, 0.0},          // straight above
        {20, 35, 130, -130, 90.0},         // left, level with the centre
        {70, 35, 130, -130, -90.0},        // right
        {20, 60, 130, -130, 130.0},        // lower left (135°) limited to the scale start
        {70, 60, 130, -130, -130.0},       // lower right
        {45, 60, 130, -130, 130.0},        // straight below, symmetric scale: the start
        {45, 60, 120, -130, -130.0},       // straight below, the stop reaches further
        {45, 35, 130, -130, std::nullopt}, // the centre itself
        {35, 45, 150, -150, 135.0},        // below left, wider scale
    };
    for (const auto& c : cases) {
        const auto a = AngleFromPoint(45, 35, c.px, c.py, c.start, c.stop);
        ASSERT_EQ(a.has_value(), c.angle.has_value()) << c.px << "," << c.py;
        if (a) {
            EXPECT_NEAR(*a, *c.angle, 1e-9) << c.px << "," << c.py;
        }
    }
}

TEST(KnobSelection, AngleSelectsTheNearestEntry) {
    struct Case {
        double angle;
        int index;
    };
    // 11 entries: 130, 104, 78, … 26° apart.
    const Case cases[] = {
        {130, 0},   {125, 0}, {120, 0}, {117, 0}, // exactly halfway: the lower index
        {116.9, 1}, {104, 1}, {0.5, 5}, {-129, 10}, {500, 0}, {-500, 10},
    };
    for (const auto& c : cases) {
        auto knob = MakeKnob(11);
        knob.setIndexSelectData(3);
        knob.setAngle(c.angle);
        EXPECT_EQ(knob.indexSelectData(), c.index) << c.angle;
        EXPECT_DOUBLE_EQ(knob.angle(), knob.entries()[c.index].Angle) << "the pointer snaps to the entry";
    }
}

TEST(KnobSelection, DragWithinOneSectorRaisesOnEveryMoveButNotOnTheExactAngle) {
    auto knob = MakeKnob(11);
    EXPECT_EQ(knob.indexSelectData(), 0);
    EXPECT_TRUE(knob.setAngle(125)) << "same entry, pointer not on its angle";
    EXPECT_TRUE(knob.setAngle(128));
    EXPECT_EQ(knob.indexSelectData(), 0);
    EXPECT_FALSE(knob.setAngle(130)) << "released exactly on the entry";
    EXPECT_TRUE(knob.setAngle(100));
    EXPECT_EQ(knob.indexSelectData(), 1);
}

TEST(KnobSelection, UsableLimit) {
    auto knob = MakeKnob(39);
    EXPECT_FALSE(knob.setIndexMaxEnable(20).selectionChanged);
    EXPECT_EQ(knob.indexMaxEnable(), 20);
    EXPECT_TRUE(knob.isEntryEnabled(19));
    EXPECT_FALSE(knob.isEntryEnabled(20));

    EXPECT_TRUE(knob.end());
    EXPECT_EQ(knob.indexSelectData(), 19);
    EXPECT_FALSE(knob.wheel(120)) << "the wheel cannot pass the limit";
    EXPECT_FALSE(knob.stepBy(1));
    EXPECT_TRUE(knob.setAngle(-130)) << "pointing at a disabled entry selects the last usable";
    EXPECT_EQ(knob.indexSelectData(), 19);

    // The setter is not limited.
    EXPECT_TRUE(knob.setIndexSelectData(30));
    EXPECT_EQ(knob.indexSelectData(), 30);

    // Lowering the limit below the selection moves it and raises the event.
    const auto lowered = knob.setIndexMaxEnable(10);
    EXPECT_TRUE(lowered.stored);
    EXPECT_TRUE(lowered.selectionChanged);
    EXPECT_EQ(knob.indexSelectData(), 9);

    EXPECT_FALSE(knob.setIndexMaxEnable(10).stored) << "unchanged";
    for (int value : {0, 39, 40, -5}) {
        auto k = MakeKnob(39);
        k.setIndexMaxEnable(12);
        k.setIndexMaxEnable(value);
        EXPECT_EQ(k.indexMaxEnable(), -1) << value;
    }
}

TEST(KnobSelection, WheelAndKeySteps) {
    struct Case {
        int start;
        int wheel;
        int index;
        bool event;
    };
    const Case cases[] = {
        {5, 240, 7, true},  {5, -120, 4, true},  {5, 119, 6, true},    {5, 59, 5, false},
        {5, -360, 2, true}, {0, -120, 0, false}, {10, 120, 10, false}, {9, 480, 10, true},
    };
    for (const auto& c : cases) {
        auto knob = MakeKnob(11);
        knob.setIndexSelectData(c.start);
        EXPECT_EQ(knob.wheel(c.wheel), c.event) << c.start << " " << c.wheel;
        EXPECT_EQ(knob.indexSelectData(), c.index) << c.start << " " << c.wheel;
    }
    auto knob = MakeKnob(11);
    knob.setIndexSelectData(4);
    EXPECT_TRUE(knob.home());
    EXPECT_EQ(knob.indexSelectData(), 0);
    EXPECT_FALSE(knob.home());
    EXPECT_TRUE(knob.end());
    EXPECT_EQ(knob.indexSelectData(), 10);
    EXPECT_DOUBLE_EQ(knob.angle(), -130);
}

TEST(KnobSelection, SetterIgnoresOutOfRangeAndUnchanged) {
    auto knob = MakeKnob(5);
    EXPECT_FALSE(knob.setIndexSelectData(-1));
    EXPECT_FALSE(knob.setIndexSelectData(5));
    EXPECT_FALSE(knob.setIndexSelectData(0));
    EXPECT_TRUE(knob.setIndexSelectData(4));
    EXPECT_DOUBLE_EQ(knob.angle(), -130);
}

TEST(KnobSelection, SingleEntryAndEmptyKnob) {
    auto one = MakeKnob(1);
    EXPECT_DOUBLE_EQ(one.entries()[0].Angle, 130);
    EXPECT_FALSE(one.wheel(240));
    EXPECT_FALSE(one.end());
    EXPECT_FALSE(one.setAngle(130));
    one.pointTo(45, 35, 70, 35);
    EXPECT_EQ(one.indexSelectData(), 0);

    KnobSelection empty;
    EXPECT_FALSE(empty.setAngle(0));
    EXPECT_FALSE(empty.wheel(120));
    EXPECT_FALSE(empty.end());
    EXPECT_FALSE(empty.pointTo(45, 35, 10, 10));
    EXPECT_EQ(empty.selected().Value, 0);
}

TEST(KnobSelection, PointStraightBelowTheCentre) {
    auto symmetric = MakeKnob(11);
    symmetric.setIndexSelectData(5);
    EXPECT_TRUE(symmetric.pointTo(45, 35, 45, 80));
    EXPECT_EQ(symmetric.indexSelectData(), 0);

    auto lopsided = MakeKnob(11, 120, -130);
    EXPECT_TRUE(lopsided.pointTo(45, 35, 45, 80));
    EXPECT_EQ(lopsided.indexSelectData(), 10);
    EXPECT_FALSE(lopsided.pointTo(45, 35, 45, 35)) << "the centre point does nothing";
}

TEST(KnobSelection, MovingTheScaleKeepsTheSelection) {
    auto knob = MakeKnob(11);
    knob.setIndexSelectData(5);
    knob.setAngleRange(150, -150);
    EXPECT_EQ(knob.indexSelectData(), 5);
    EXPECT_DOUBLE_EQ(knob.entries()[10].Angle, -150);
}

} // namespace
} // namespace tesmar
