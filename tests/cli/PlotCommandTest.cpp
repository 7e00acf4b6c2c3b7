#include "cli/plot/PlotCommand.h"
#include "formats/DataFile.h"
#include "formats/DataFileLoad.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

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

} // namespace
} // namespace tesmar
