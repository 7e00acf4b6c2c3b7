#include "formats/SigrokSession.h"
#include "formats/ZipLibrary.h"

#include <gtest/gtest.h>
#include <zip.h>

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

// A zip of the given members, in order, as another program would write it.
void WriteZip(const std::string& path, const std::vector<std::pair<std::string, std::string>>& members)
{
    int error = 0;
    zip_t* z = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(z, nullptr);
    for (const auto& [name, bytes] : members) {
        zip_source_t* src = zip_source_buffer(z, bytes.data(), bytes.size(), 0);
        ASSERT_NE(src, nullptr);
        ASSERT_GE(zip_file_add(z, name.c_str(), src, ZIP_FL_OVERWRITE), 0);
    }
    ASSERT_EQ(zip_close(z), 0);
}

bool AllAscii(const std::string& text)
{
    for (unsigned char c : text)
        if (c >= 0x80)
            return false;
    return true;
}

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

// Version 1: "key = value" metadata, a mimetype member first, all samples in the one member
// that capturefile names.
TEST_F(SigrokFixture, VersionOneSessionsAreRead)
{
    std::string eightLines, sixteenLines;
    for (int i = 0; i < 300; ++i) {
        eightLines += static_cast<char>(i * 5);
        sixteenLines += static_cast<char>(i);
        sixteenLines += static_cast<char>(0xF0 | (i & 0x0F));
    }
    const std::string mimetype = "application/vnd.sigrok.session";
    const struct {
        const char* name;
        std::string metadata, data;
        double period;
        std::size_t samples;
        bool busB;
    } cases[] = {
        {"v1-eight.sr",
         "[global]\nsigrok version = 0.1.1\n\n[device 1]\ndriver = demo\ncapturefile = logic-1\nunitsize = 1\n"
         "total probes = 8\nsamplerate = 200 kHz\nprobe1 = CLK\nprobe2 = DATA\nprobe8 = 7\n",
         eightLines, 5e-6, 300, false},
        {"v1-sixteen.sr",
         "[global]\nsigrok version = 0.2.0\n[device 1]\ncapturefile = logic-1\nunitsize = 2\ntotal probes = 12\n"
         "samplerate = 1 MHz\nprobe1 = 0\nprobe12 = 11\n",
         sixteenLines, 1e-6, 300, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteZip(at(c.name), {{"mimetype", mimetype}, {"version", "1"}, {"metadata", c.metadata}, {"logic-1", c.data}});
        const auto read = ReadSigrokSession(at(c.name));
        ASSERT_TRUE(std::holds_alternative<CaptureImport>(read)) << std::get<std::string>(read);
        const CaptureImport& got = std::get<CaptureImport>(read);
        ASSERT_EQ(got.capture.busA.size(), c.samples);
        EXPECT_DOUBLE_EQ(got.capture.samplePeriod, c.period);
        if (!c.busB) {
            EXPECT_EQ(std::string(got.capture.busA.begin(), got.capture.busA.end()), c.data);
            EXPECT_TRUE(got.capture.busB.empty());
            EXPECT_EQ(got.lineNames[0], "CLK");
            EXPECT_EQ(got.lineNames[1], "DATA");
            EXPECT_EQ(got.lineNames[7], "7");
        } else {
            ASSERT_EQ(got.capture.busB.size(), c.samples);
            for (std::size_t i = 0; i < c.samples; ++i) {
                EXPECT_EQ(got.capture.busA[i], static_cast<std::uint8_t>(c.data[2 * i]));
                // probes 13 … 16 do not exist: their bits are clear
                EXPECT_EQ(got.capture.busB[i], static_cast<std::uint8_t>(c.data[2 * i + 1]) & 0x0F);
            }
            EXPECT_EQ(got.lineNames[11], "11");
        }
    }
}

TEST_F(SigrokFixture, OtherVersionsAreRefusedInEnglish)
{
    const std::string meta = "[device 1]\ncapturefile=logic-1\nunitsize=1\ntotal probes=8\nsamplerate=1 MHz\n";
    for (const char* version : {"3", "0", "two", ""}) {
        SCOPED_TRACE(version);
        WriteZip(at("other.sr"), {{"version", version}, {"metadata", meta}, {"logic-1", "abc"}, {"logic-1-1", "abc"}});
        const auto read = ReadSigrokSession(at("other.sr"));
        ASSERT_TRUE(std::holds_alternative<std::string>(read));
        const std::string& why = std::get<std::string>(read);
        EXPECT_NE(why.find("version"), std::string::npos) << why;
        EXPECT_TRUE(AllAscii(why)) << why;
    }
    // Every other refusal is English too.
    WriteZip(at("nometa.sr"), {{"version", "1"}});
    WriteZip(at("nodata.sr"), {{"version", "1"}, {"metadata", meta}});
    WriteZip(at("badunit.sr"), {{"version", "2"}, {"metadata", "[device 1]\nunitsize=9\n"}});
    std::ofstream(at("text.sr")) << "not a zip at all";
    for (const char* name : {"nometa.sr", "nodata.sr", "badunit.sr", "text.sr"}) {
        SCOPED_TRACE(name);
        const auto read = ReadSigrokSession(at(name));
        ASSERT_TRUE(std::holds_alternative<std::string>(read));
        EXPECT_TRUE(AllAscii(std::get<std::string>(read))) << std::get<std::string>(read);
    }
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

TEST(ZipLibrary, ALibraryThatCannotServeIsRefusedWithItsReason)
{
    ZipFunctions functions;
    std::string problem;
    EXPECT_FALSE(LoadZipFunctions("libtesmar-no-such-library.so.9", functions, problem));
    EXPECT_NE(problem.find("libtesmar-no-such-library.so.9"), std::string::npos) << problem;

    // A library that loads but is no libzip.
    problem.clear();
    EXPECT_FALSE(LoadZipFunctions("libm.so.6", functions, problem));
    EXPECT_EQ(problem, "libzip has no zip_open");

    // The one the build found serves every function, and is loaded once.
    problem.clear();
    const ZipFunctions* zip = Zip(problem);
    ASSERT_NE(zip, nullptr) << problem;
    EXPECT_EQ(Zip(problem), zip);
    EXPECT_NE(zip->fileAdd, nullptr);
}

} // namespace
} // namespace tesmar
