#include "settings/IniFile.h"
#include "filter/FilterFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace tesmar {
namespace {

TEST(FilterResponse, FmaxStretchesThePointsWithinItsLimits)
{
    FilterResponse r = DefaultFilterResponse();
    ApplyFmax(r, 20'000);
    ASSERT_EQ(r.points.size(), 3u);
    EXPECT_DOUBLE_EQ(r.points[0].frequency, 1);
    EXPECT_DOUBLE_EQ(r.points[1].frequency, 10'000);
    EXPECT_DOUBLE_EQ(r.points[2].frequency, 20'000);
    ApplyFmax(r, 50);
    EXPECT_DOUBLE_EQ(r.Fmax, 100);
    EXPECT_DOUBLE_EQ(r.points[2].frequency, 100);
    ApplyFmax(r, 300'000);
    EXPECT_DOUBLE_EQ(r.Fmax, 200'000);
}

TEST(FilterResponse, GainLimitsAndTheDbRoundTrip)
{
    FilterResponse r = DefaultFilterResponse();
    SetGainInDb(r, true);
    EXPECT_DOUBLE_EQ(r.Kmax, 6.021);
    EXPECT_DOUBLE_EQ(r.Kmin, -100);
    EXPECT_DOUBLE_EQ(r.points[1].gain, 1.0); // the points stay linear
    SetGainInDb(r, false);
    EXPECT_DOUBLE_EQ(r.Kmax, 2);
    EXPECT_DOUBLE_EQ(r.Kmin, 0);

    EXPECT_EQ(ApplyKmax(r, 0), FilterEntryError::KmaxNotAboveKmin);
    EXPECT_DOUBLE_EQ(r.Kmax, 2);
    EXPECT_EQ(ApplyKmax(r, 500), FilterEntryError::None);
    EXPECT_DOUBLE_EQ(r.Kmax, 100);
    EXPECT_EQ(ApplyKmin(r, 100), FilterEntryError::KminNotBelowKmax);
    EXPECT_EQ(ApplyKmin(r, -5), FilterEntryError::None);
    EXPECT_DOUBLE_EQ(r.Kmin, 0);
    SetGainInDb(r, true);
    EXPECT_EQ(ApplyKmax(r, 90), FilterEntryError::None);
    EXPECT_DOUBLE_EQ(r.Kmax, 40);
}

TEST(FilterResponse, PointEditing)
{
    FilterResponse r = DefaultFilterResponse();
    EXPECT_FALSE(DeletePoint(r, 0));
    EXPECT_FALSE(DeletePoint(r, 2));
    EXPECT_TRUE(InsertPoint(r, 0, {100, 0.5}));
    ASSERT_EQ(r.points.size(), 4u);
    EXPECT_DOUBLE_EQ(r.points[1].frequency, 100);
    EXPECT_DOUBLE_EQ(DraggedFrequency(r, 1, 0.5, true), 2);        // 1 Hz right of the first
    EXPECT_DOUBLE_EQ(DraggedFrequency(r, 1, 9000, false), 4999);   // 1 Hz left of the next
    EXPECT_DOUBLE_EQ(DraggedFrequency(r, 0, 300, false), 1);       // the ends keep their frequency
    EXPECT_TRUE(DeletePoint(r, 1));
    while (InsertPoint(r, 0, {1.5, 1})) {
    }
    EXPECT_EQ(r.points.size(), static_cast<size_t>(kFilterMaxPoints));
}

class FilterFileTest : public ::testing::Test {
protected:
    // One folder per test: ctest runs them side by side.
    std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                (std::string("tesmar-filter-test-") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    void SetUp() override { std::filesystem::create_directories(dir); }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string write(const std::string& name, const std::string& text)
    {
        const auto path = (dir / name).string();
        std::ofstream(path) << text;
        return path;
    }
};

TEST_F(FilterFileTest, RoundTripKeepsOtherKeys)
{
    const std::string path = write("f.txt", "[note]\nby=hand\n");
    FilterResponse r = DefaultFilterResponse();
    r.points[1].gain = 0.25;
    r.KdB = true;
    ASSERT_TRUE(WriteFilterFile(path, r, ','));
    const auto back = ReadFilterFile(path, FilterResponse{}, ',');
    ASSERT_TRUE(std::holds_alternative<FilterResponse>(back)) << std::get<std::string>(back);
    EXPECT_EQ(std::get<FilterResponse>(back), r);
    IniFile ini(path);
    EXPECT_EQ(ini.readInteger("main", "CountPoint", 0), 3);
    EXPECT_TRUE(ini.hasKey("main", "F3"));
    EXPECT_EQ(ini.readString("note", "by", ""), "hand");
}

TEST_F(FilterFileTest, BadFilesAreRefusedWithAReason)
{
    const FilterResponse current = DefaultFilterResponse();
    const std::string cases[] = {
        "[main]\nCountPoint=120\n",
        "[main]\nCountPoint=3\nF1=1\nF2=500\nF3=400\nK1=1\nK2=1\nK3=1\n",
        "[main]\nCountPoint=2\nF1=1\nF2=1\nK1=1\nK2=1\n",
        "[main]\nCountPoint=-4\n",
    };
    int i = 0;
    for (const std::string& text : cases) {
        const auto result = ReadFilterFile(write("bad" + std::to_string(i++) + ".txt", text), current, ',');
        EXPECT_TRUE(std::holds_alternative<std::string>(result)) << text;
    }
    EXPECT_TRUE(std::holds_alternative<std::string>(ReadFilterFile(dir.string(), current, ',')));
    EXPECT_TRUE(std::holds_alternative<std::string>(ReadFilterFile((dir / "none.txt").string(), current, ',')));
    // Missing keys keep the values in force.
    const auto partial = ReadFilterFile(write("p.txt", "[main]\nKmax=5\n"), current, ',');
    ASSERT_TRUE(std::holds_alternative<FilterResponse>(partial));
    EXPECT_DOUBLE_EQ(std::get<FilterResponse>(partial).Kmax, 5);
    EXPECT_EQ(std::get<FilterResponse>(partial).points, current.points);
}

} // namespace
} // namespace tesmar
