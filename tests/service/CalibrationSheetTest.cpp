#include "service/CalibrationSheet.h"

#include "settings/IniFile.h"

#include <gtest/gtest.h>

namespace tesmar {
namespace {

TEST(CalibrationSheet, RoundTripsRowsAndFields)
{
    CalibrationSheet sheet{{{"1,000", "1,010"}, {"2,000", "2,030"}}, "2,5", "7,4e-05", "2,51", "7,5e-05"};
    IniFile file;
    WriteCalibrationSheet(file, sheet);
    EXPECT_EQ(file.readInteger("main", "count", -1), 2);
    EXPECT_EQ(file.readString("main", "uiz2", {}), "2,000");
    EXPECT_EQ(file.readString("main", "ue1", {}), "1,010");
    CalibrationSheet back;
    ReadCalibrationSheet(file, back);
    ASSERT_EQ(back.rows.size(), 2u);
    EXPECT_EQ(back.rows[1].reference, "2,030");
    EXPECT_EQ(back.u0, "2,5");
    EXPECT_EQ(back.kNew, "7,5e-05");
}

TEST(CalibrationSheet, MissingKeysKeepFieldsAndCountOutOfRangeIsBounded)
{
    IniFile file;
    file.setText("[main]\ncount=40\nuiz1=1\nk=3\n");
    CalibrationSheet sheet{{{"9", "9"}}, "u0 kept", "k old", "u0_ kept", "k_ kept"};
    ReadCalibrationSheet(file, sheet);
    ASSERT_EQ(sheet.rows.size(), 18u);
    EXPECT_EQ(sheet.rows[0].measured, "1");
    EXPECT_EQ(sheet.rows[0].reference, "");
    EXPECT_EQ(sheet.u0, "u0 kept");
    EXPECT_EQ(sheet.k, "3");
    EXPECT_EQ(sheet.kNew, "k_ kept");

    file.setText("[main]\ncount=-3\n");
    ReadCalibrationSheet(file, sheet);
    EXPECT_TRUE(sheet.rows.empty());
}

} // namespace
} // namespace tesmar
