#include "cli/plot/PlotCommand.h"
#include "formats/DataFile.h"
#include "formats/DataFileLoad.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <tuple>

#include <unistd.h>

namespace tesmar {
namespace {

std::string Head(const std::string& path, std::size_t n)
{
    std::ifstream in(path, std::ios::binary);
    std::string bytes(n, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(n));
    return bytes.substr(0, static_cast<std::size_t>(in.gcount()));
}

// Each page's file becomes a picture of the kind its name asks for; bad input is refused with
// a message and no picture.
TEST(PlotCommand, PagesToPicturesAndRefusals)
{
    const std::string dir = ::testing::TempDir();
    DataFile osc{OscSettingsChunk{}, {}, std::vector<double>(500), {}, {}, {}};
    auto& s = std::get<OscSettingsChunk>(osc.settings);
    s.samplePeriod = 1e-4;
    s.sbOscOnCh1 = true;
    s.knOscCh1 = 28;
    for (std::size_t i = 0; i < 500; ++i)
        (*osc.channelA)[i] = 3 * std::sin(i * 0.05);
    DataFile logic{LogicSettingsChunk{}, {}, {}, {}, std::vector<std::uint8_t>(4000), {}};
    std::get<LogicSettingsChunk>(logic.settings).sampleRate = 1e6;
    for (std::size_t i = 0; i < 4000; ++i)
        (*logic.busA)[i] = static_cast<std::uint8_t>(i / 7);
    ASSERT_EQ(SaveDataFile(dir + "/plot-osc.dat", osc), "");
    ASSERT_EQ(SaveDataFile(dir + "/plot-lan.dat", logic), "");

    struct Case {
        const char* file;
        const char* picture;
        std::string signature;
    };
    const Case cases[] = {
        {"plot-osc.dat", "osc.svg", "<?xml"},
        {"plot-osc.dat", "osc.png", "\x89PNG"},
        {"plot-lan.dat", "lan.pdf", "%PDF"},
        {"plot-lan.dat", "lan.bmp", "BM"},
    };
    for (const Case& c : cases) {
        std::ostringstream out, err;
        const std::string picture = dir + "/" + c.picture;
        ASSERT_EQ(RunPlotCommand({dir + "/" + c.file, "--out", picture}, out, err), 0) << c.picture << err.str();
        EXPECT_EQ(Head(picture, c.signature.size()), c.signature) << c.picture;
    }

    std::ofstream(dir + "/plot-junk.dat") << "not a data file";
    const std::pair<std::vector<std::string>, int> refusals[] = {
        {{dir + "/plot-junk.dat", "--out", dir + "/junk.png"}, 1},
        {{dir + "/missing.dat", "--out", dir + "/missing.png"}, 1},
        {{dir + "/plot-osc.dat", "--out", dir + "/osc.jpg"}, 64},
        {{dir + "/plot-osc.dat"}, 64},
        {{dir + "/plot-osc.dat", "--out", dir + "/o.png", "--size", "10x10"}, 64},
    };
    for (const auto& [args, status] : refusals) {
        std::ostringstream out, err;
        EXPECT_EQ(RunPlotCommand(args, out, err), status) << args.back();
        EXPECT_FALSE(err.str().empty());
    }
    EXPECT_FALSE(std::ifstream(dir + "/junk.png").good());
}

// Width and height of a PNG file, from its header.
std::pair<int, int> PngSize(const std::string& path)
{
    const std::string head = Head(path, 24);
    if (head.size() < 24)
        return {0, 0};
    auto number = [&](std::size_t at) {
        return (static_cast<unsigned char>(head[at]) << 24) | (static_cast<unsigned char>(head[at + 1]) << 16) |
               (static_cast<unsigned char>(head[at + 2]) << 8) | static_cast<unsigned char>(head[at + 3]);
    };
    return {number(16), number(20)};
}

std::string Text(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

int Plot(const std::vector<std::string>& args, std::string* errors = nullptr)
{
    std::ostringstream out, err;
    const int status = RunPlotCommand(args, out, err);
    if (errors)
        *errors = err.str();
    return status;
}

// A capture of 1544 (buffered) or more samples at 1 MHz on bus A only, lines A.0 … A.2 toggling.
std::string WriteCapture(const std::string& name, std::size_t samples = 1544)
{
    DataFile logic{LogicSettingsChunk{}, {}, {}, {}, std::vector<std::uint8_t>(samples), {}};
    auto& settings = std::get<LogicSettingsChunk>(logic.settings);
    settings.sampleRate = 1e6;
    settings.cbLANZoom = 15; // 1:1: times in µs
    for (std::size_t i = 0; i < samples; ++i)
        (*logic.busA)[i] = static_cast<std::uint8_t>((i / 10) & 7);
    const std::string path = ::testing::TempDir() + "/" + name;
    EXPECT_EQ(SaveDataFile(path, logic), "");
    return path;
}

TEST(PlotCommand, SizeIsThePicturesSize)
{
    const std::string capture = WriteCapture("plot-size.dat");
    for (const auto& [size, width, height] :
         {std::tuple("1600x900", 1600, 900), std::tuple("640x480", 640, 480), std::tuple("1000x1000", 1000, 1000)}) {
        const std::string picture = ::testing::TempDir() + "/size.png";
        ASSERT_EQ(Plot({capture, "--out", picture, "--size", size}), 0) << size;
        EXPECT_EQ(PngSize(picture), std::pair(width, height)) << size;
    }
    const std::string picture = ::testing::TempDir() + "/default-size.png";
    ASSERT_EQ(Plot({capture, "--out", picture}), 0);
    EXPECT_EQ(PngSize(picture), std::pair(1200, 800));
}

// The whole capture, its bus A lines under their names and no row of bus B.
TEST(PlotCommand, LogicCaptureWholeWithNamedLines)
{
    const std::string capture = WriteCapture("plot-names.dat");
    const std::string picture = ::testing::TempDir() + "/names.svg";
    ASSERT_EQ(Plot({capture, "--out", picture}), 0);
    const std::string svg = Text(picture);
    for (const char* name : {">A.0<", ">A.3<", ">A.7<"})
        EXPECT_NE(svg.find(name), std::string::npos) << name;
    EXPECT_EQ(svg.find(">B.0<"), std::string::npos);
    // The time axis reaches the end of the 1544 µs.
    EXPECT_NE(svg.find(">1500<"), std::string::npos);

    // A window of it: 200 … 300 µs.
    ASSERT_EQ(Plot({capture, "--out", picture, "--from", "200us", "--to", "0.3ms"}), 0);
    const std::string part = Text(picture);
    EXPECT_NE(part.find(">200<"), std::string::npos);
    EXPECT_NE(part.find(">300<"), std::string::npos);
    EXPECT_EQ(part.find(">1500<"), std::string::npos);

    // The same window of a capture too long for one screen at "1:500" keeps µs.
    const std::string longCapture = WriteCapture("plot-long.dat", 200'000);
    ASSERT_EQ(Plot({longCapture, "--out", picture, "--from", "200us", "--to", "0.3ms"}), 0);
    const std::string longPart = Text(picture);
    EXPECT_NE(longPart.find(">200<"), std::string::npos);
    EXPECT_NE(longPart.find(">300<"), std::string::npos);
}

TEST(PlotCommand, TimeWindowOptionsAreChecked)
{
    const std::string capture = WriteCapture("plot-window.dat");
    DataFile osc{OscSettingsChunk{}, {}, std::vector<double>(100), {}, {}, {}};
    std::get<OscSettingsChunk>(osc.settings).samplePeriod = 1e-4;
    std::get<OscSettingsChunk>(osc.settings).sbOscOnCh1 = true;
    const std::string oscFile = ::testing::TempDir() + "/plot-window-osc.dat";
    ASSERT_EQ(SaveDataFile(oscFile, osc), "");
    const std::string picture = ::testing::TempDir() + "/window.png";
    std::remove(picture.c_str());
    const std::vector<std::string> refused[] = {
        {capture, "--out", picture, "--from", "soon"},
        {capture, "--out", picture, "--from", "1e9s"},
        {capture, "--out", picture, "--to", "nan"},
        {capture, "--out", picture, "--from", "2ms", "--to", "1ms"},
        {capture, "--out", picture, "--from", "1ms", "--from", "2ms"},
        {capture, "--out", picture, "--to"},
        {oscFile, "--out", picture, "--from", "1ms"},
    };
    for (const auto& args : refused) {
        std::string err;
        EXPECT_EQ(Plot(args, &err), 64) << args[3];
        EXPECT_FALSE(err.empty());
    }
    EXPECT_FALSE(std::ifstream(picture).good());
    // A window outside the capture is drawn empty, not refused; a negative start is a time
    // before the trigger.
    EXPECT_EQ(Plot({capture, "--out", picture, "--from", "-50us", "--to", "10ms"}), 0);
}

// A picture that cannot be written whole ends with 74, and no partial file is left.
TEST(PlotCommand, UnwritablePicturesEndWith74)
{
    const std::string capture = WriteCapture("plot-write.dat");
    const std::string dir = ::testing::TempDir();
    std::ofstream(dir + "/plot-not-a-folder") << "a file";
    std::string err;
    EXPECT_EQ(Plot({capture, "--out", dir + "/plot-not-a-folder/p.png"}, &err), 74);
    EXPECT_NE(err.find("cannot write"), std::string::npos);
    EXPECT_EQ(Plot({capture, "--out", dir + "/plot-missing-folder/p.svg"}), 74);
    // A full disk: a picture name that leads to /dev/full.
    const std::string full = dir + "/plot-full.png";
    std::remove(full.c_str());
    if (::symlink("/dev/full", full.c_str()) == 0) {
        for (const char* kind : {"png", "svg", "pdf"}) {
            const std::string link = dir + "/plot-full." + kind;
            if (std::string(kind) != "png") {
                std::remove(link.c_str());
                ASSERT_EQ(::symlink("/dev/full", link.c_str()), 0);
            }
            EXPECT_EQ(Plot({capture, "--out", link}, &err), 74) << kind;
            EXPECT_NE(err.find("cannot write"), std::string::npos) << kind;
        }
    }
    // An older picture of the name stays when the new one is refused.
    const std::string old = dir + "/plot-old.png";
    std::ofstream(old) << "older picture";
    DataFile empty{RecorderSettingsChunk{}, {}, {}, {}, {}, {}};
    std::get<RecorderSettingsChunk>(empty.settings).samplePeriod = 1e-3;
    ASSERT_EQ(SaveDataFile(dir + "/plot-empty-record.dat", empty), "");
    EXPECT_NE(Plot({dir + "/plot-empty-record.dat", "--out", old}), 0);
    EXPECT_EQ(Text(old), "older picture");
}

} // namespace
} // namespace tesmar
