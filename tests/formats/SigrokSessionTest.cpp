#include "formats/SigrokSession.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace tesmar {
namespace {

struct SigrokFixture : ::testing::Test {
    // One folder per test: ctest runs them side by side.
    std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                (std::string("tesmar-sr-test-") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    void SetUp() override { std::filesystem::create_directories(dir); }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string at(const char* name) const { return (dir / name).string(); }
};

TEST_F(SigrokFixture, EightAndSixteenLinesRoundTrip)
{
    CaptureSamples eight;
    for (int i = 0; i < 10'000; ++i)
        eight.busA.push_back(static_cast<std::uint8_t>(i * 7));
    eight.samplePeriod = 1e-6;
    ASSERT_EQ(WriteSigrokSession(at("eight.sr"), eight), "");
    auto back = ReadSigrokSession(at("eight.sr"));
    ASSERT_TRUE(std::holds_alternative<CaptureImport>(back)) << std::get<std::string>(back);
    EXPECT_EQ(std::get<CaptureImport>(back).capture.busA, eight.busA);
    EXPECT_DOUBLE_EQ(std::get<CaptureImport>(back).capture.samplePeriod, 1e-6);

    CaptureSamples sixteen = eight;
    sixteen.busB.assign(eight.busA.rbegin(), eight.busA.rend());
    sixteen.samplePeriod = 1.0 / 2.5e6;
    ASSERT_EQ(WriteSigrokSession(at("sixteen.sr"), sixteen), "");
    back = ReadSigrokSession(at("sixteen.sr"));
    ASSERT_TRUE(std::holds_alternative<CaptureImport>(back));
    EXPECT_EQ(std::get<CaptureImport>(back).capture.busB, sixteen.busB);
    EXPECT_NEAR(std::get<CaptureImport>(back).capture.samplePeriod, 4e-7, 1e-15);
}

TEST_F(SigrokFixture, DamagedFilesAreRefused)
{
    std::ofstream(at("text.sr")) << "not a zip at all";
    EXPECT_TRUE(std::holds_alternative<std::string>(ReadSigrokSession(at("text.sr"))));
    EXPECT_TRUE(std::holds_alternative<std::string>(ReadSigrokSession(at("missing.sr"))));
    EXPECT_TRUE(std::holds_alternative<std::string>(ReadSigrokSession(dir.string())));
    // A good file read with a tiny limit: refused, not loaded.
    CaptureSamples c;
    c.busA.assign(5000, 1);
    ASSERT_EQ(WriteSigrokSession(at("big.sr"), c), "");
    EXPECT_TRUE(std::holds_alternative<std::string>(ReadSigrokSession(at("big.sr"), 1000)));
    CaptureSamples none;
    EXPECT_NE(WriteSigrokSession(at("none.sr"), none), "");
}

// sigrok-cli, when present, is the independent reader of what we write.
TEST_F(SigrokFixture, SigrokCliReadsOurFiles)
{
    if (std::system("command -v sigrok-cli > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "sigrok-cli is not installed";
    CaptureSamples c;
    for (int i = 0; i < 64; ++i)
        c.busA.push_back(static_cast<std::uint8_t>(i & 1));
    ASSERT_EQ(WriteSigrokSession(at("cli.sr"), c), "");
    const std::string out = at("cli.txt");
    ASSERT_EQ(std::system(("sigrok-cli -i " + at("cli.sr") + " -O bits -C A.0 > " + out + " 2>&1").c_str()), 0);
    std::ifstream in(out);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(text.find("A.0:01010101"), std::string::npos) << text;
}

TEST_F(SigrokFixture, SessionsWrittenBySigrokCliAreRead)
{
    if (std::system("command -v sigrok-cli > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "sigrok-cli is not installed";
    const std::string file = at("demo.sr");
    ASSERT_EQ(std::system(("sigrok-cli -d demo --samples 5000 -c samplerate=250k -o " + file + " > /dev/null 2>&1").c_str()),
              0);
    const auto read = ReadSigrokSession(file);
    ASSERT_TRUE(std::holds_alternative<CaptureImport>(read)) << std::get<std::string>(read);
    const CaptureSamples& c = std::get<CaptureImport>(read).capture;
    EXPECT_EQ(c.busA.size(), 5000u);
    EXPECT_TRUE(c.busB.empty());
    EXPECT_DOUBLE_EQ(c.samplePeriod, 4e-6);
}

} // namespace
} // namespace tesmar
