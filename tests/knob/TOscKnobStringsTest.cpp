#include "ui/knob/TOscKnobStrings.h"

#include <gtest/gtest.h>

namespace tesmar {
namespace {

TEST(TOscKnobStrings, TheKnobHearsTheEndOfEachBulkUpdate) {
    int notified = 0;
    TOscKnobStrings strings([&] { ++notified; });
    strings.assign({"#v=1", "#v=2"});
    EXPECT_EQ(notified, 1);
    EXPECT_EQ(strings.count(), 2);

    strings.beginUpdate();
    strings.beginUpdate();
    strings.clear();
    strings.add("#v=3");
    strings.endUpdate();
    EXPECT_EQ(notified, 1) << "nested update still open";
    strings.endUpdate();
    EXPECT_EQ(notified, 2);
    EXPECT_EQ(strings[0], "#v=3");

    strings.endUpdate(); // unbalanced end is harmless
    EXPECT_EQ(notified, 2);
    EXPECT_THROW(strings[5], std::out_of_range);
}

} // namespace
} // namespace tesmar
