#include "service/FirmwareUpdate.h"

#include "SimSession.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <numeric>
#include <thread>

namespace tesmar {
namespace {

std::vector<std::uint8_t> Image(std::size_t size, std::uint8_t major, std::uint8_t minor)
{
    std::vector<std::uint8_t> bytes(size);
    std::iota(bytes.begin(), bytes.end(), std::uint8_t{1});
    std::replace(bytes.begin(), bytes.end(), std::uint8_t{0}, std::uint8_t{9});
    bytes[size - 2] = major;
    bytes[size - 1] = minor;
    return bytes;
}

struct Recorded {
    std::vector<FirmwareStage> stages;
    std::vector<std::pair<int, int>> progress;
    FirmwareUpdateListener listener()
    {
        return {[this](FirmwareStage s) { stages.push_back(s); },
                [this](int v, int m) { progress.emplace_back(v, m); }};
    }
};

TEST(FirmwareUpdate, BlocksGoFromLastToFirstWithProgressUpToTheMaximum)
{
    struct Case {
        std::size_t size;
        int blocks;
    };
    for (const Case c : {Case{16384, 32}, Case{513, 2}}) {
        SimSession sim;
        ASSERT_TRUE(sim.open());
        FirmwareImage image;
        const auto bytes = Image(c.size, 4, 7);
        ASSERT_EQ(image.load(bytes), FirmwareImage::LoadResult::Loaded);
        Recorded recorded;
        ASSERT_EQ(UpdateFirmware(sim.session, image, recorded.listener()), FirmwareUpdateResult::Done) << c.size;

        std::vector<int> expected;
        for (int b = c.blocks - 1; b >= 0; --b)
            expected.push_back(b * 512);
        EXPECT_EQ(sim.recorder.programmedOffsets, expected);
        EXPECT_EQ(recorded.stages, (std::vector{FirmwareStage::EnteringBootLoader, FirmwareStage::Loading}));
        ASSERT_FALSE(recorded.progress.empty());
        EXPECT_EQ(recorded.progress.front(), std::make_pair(0, 8 * c.blocks));
        EXPECT_EQ(recorded.progress.back(), std::make_pair(8 * c.blocks, 8 * c.blocks));
        EXPECT_TRUE(std::is_sorted(recorded.progress.begin(), recorded.progress.end()));

        const auto version = InstalledFirmwareVersion(sim.session);
        ASSERT_TRUE(version.has_value());
        EXPECT_EQ((*version)[0], 4);
        EXPECT_EQ((*version)[1], 7);
        std::lock_guard lock(sim.instrument.stateMutex());
        const auto& flash = sim.instrument.state().flash;
        EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), flash.begin()));
        EXPECT_TRUE(std::all_of(flash.begin() + static_cast<long>(c.size), flash.end(), [](auto b) { return b == 0; }));
    }
}

TEST(FirmwareUpdate, ShorterImageAfterALongerOneFlashesZerosBeyondItsEnd)
{
    SimSession sim;
    ASSERT_TRUE(sim.open());
    FirmwareImage image;
    ASSERT_EQ(image.load(std::vector<std::uint8_t>(1024, 0xEE)), FirmwareImage::LoadResult::Loaded);
    ASSERT_EQ(image.load(Image(513, 1, 2)), FirmwareImage::LoadResult::Loaded);
    ASSERT_EQ(UpdateFirmware(sim.session, image, {}), FirmwareUpdateResult::Done);
    std::lock_guard lock(sim.instrument.stateMutex());
    const auto& flash = sim.instrument.state().flash;
    EXPECT_TRUE(std::all_of(flash.begin() + 513, flash.begin() + 1024, [](auto b) { return b == 0; }));
}

TEST(FirmwareUpdate, StartsAtOnceInTheBootLoader)
{
    SimSession sim;
    ASSERT_TRUE(sim.open());
    SendCommand(sim.session, {.code = CmdSwitchFirmware});
    EXPECT_FALSE(InstalledFirmwareVersion(sim.session).has_value());
    FirmwareImage image;
    ASSERT_EQ(image.load(Image(700, 3, 1)), FirmwareImage::LoadResult::Loaded);
    Recorded recorded;
    ASSERT_EQ(UpdateFirmware(sim.session, image, recorded.listener()), FirmwareUpdateResult::Done);
    EXPECT_EQ(recorded.stages, std::vector{FirmwareStage::Loading});
    EXPECT_EQ(InstalledFirmwareVersion(sim.session).value()[1], 1);
}

TEST(FirmwareUpdate, NoInstrumentMeansNoBootLoader)
{
    SimSession sim;
    sim.instrument.unplug();
    sim.open(std::chrono::milliseconds(10));
    FirmwareImage image;
    ASSERT_EQ(image.load(Image(100, 1, 1)), FirmwareImage::LoadResult::Loaded);
    EXPECT_EQ(UpdateFirmware(sim.session, image, {}), FirmwareUpdateResult::NoBootLoader);
    EXPECT_TRUE(sim.recorder.programmedOffsets.empty());
}

TEST(FirmwareUpdate, RefusedBlockFailsAfterFiveTriesAndLeavesTheBootLoader)
{
    SimSession sim;
    ASSERT_TRUE(sim.open());
    sim.instrument.refuseBootBlocks(0);
    FirmwareImage image;
    ASSERT_EQ(image.load(Image(1500, 1, 1)), FirmwareImage::LoadResult::Loaded);
    Recorded recorded;
    EXPECT_EQ(UpdateFirmware(sim.session, image, recorded.listener()), FirmwareUpdateResult::BlockFailed);
    EXPECT_EQ(sim.recorder.programmedOffsets, (std::vector<int>{1024, 512, 0, 0, 0, 0, 0}));
    EXPECT_EQ(recorded.progress.back().first, 0);
    EXPECT_EQ(QueryDevice(sim.session, CmdGetId, 50, 1), std::vector<std::uint8_t>{kIdBootLoader});
    std::lock_guard lock(sim.instrument.stateMutex());
    // The first block failed: the boot loader was told to erase again, no half image stays.
    const auto& flash = sim.instrument.state().flash;
    EXPECT_TRUE(std::all_of(flash.begin(), flash.end(), [](auto b) { return b == 0; }));
}

TEST(FirmwareUpdate, UnplugHalfWayFailsAndTheInstrumentComesBackInItsBootLoader)
{
    SimSession sim;
    ASSERT_TRUE(sim.open());
    sim.instrument.unplugAfterBootBlocks(2);
    FirmwareImage image;
    ASSERT_EQ(image.load(Image(4096, 1, 1)), FirmwareImage::LoadResult::Loaded);
    EXPECT_EQ(UpdateFirmware(sim.session, image, {}), FirmwareUpdateResult::BlockFailed);
    EXPECT_EQ(sim.recorder.programmedOffsets.front(), 7 * 512);
    EXPECT_LT(sim.recorder.programmedOffsets.size(), 8u + 5u);

    for (int i = 0; i < 200 && sim.session.isAttached(); ++i) // the detach reaches the host on its own thread
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_FALSE(sim.session.isAttached());
    sim.instrument.plug();
    for (int i = 0; i < 200 && !sim.session.isAttached(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_TRUE(sim.session.isAttached());
    EXPECT_EQ(QueryDevice(sim.session, CmdGetId, 50, 1), std::vector<std::uint8_t>{kIdBootLoader});
    ASSERT_EQ(UpdateFirmware(sim.session, image, {}), FirmwareUpdateResult::Done);
    EXPECT_EQ(QueryDevice(sim.session, CmdGetId, 50, 1), std::vector<std::uint8_t>{kIdMainApplication});
}

template <typename Pred> bool Eventually(Pred pred)
{
    for (int i = 0; i < 400 && !pred(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return pred();
}

bool FlashHolds(SimSession& sim, const std::vector<std::uint8_t>& bytes)
{
    std::lock_guard lock(sim.instrument.stateMutex());
    const auto& flash = sim.instrument.state().flash;
    return std::equal(bytes.begin(), bytes.end(), flash.begin());
}

// The transfers of a whole update of `image`, counted on a clean run.
int TransfersOfAnUpdate(const FirmwareImage& image)
{
    SimSession sim;
    EXPECT_TRUE(sim.open());
    sim.instrument.armFaults({});
    EXPECT_EQ(UpdateFirmware(sim.session, image, {}), FirmwareUpdateResult::Done);
    return sim.instrument.transfersSinceArmed();
}

// An unplug or a stall at any transfer once the boot loader was entered (the third transfer)
// and before the new application is started (the third transfer from the end) fails the update
// and leaves the instrument in its boot loader: plugged in again it says so, and the next update
// completes.
TEST(FirmwareUpdate, EveryInterruptionLeavesTheBootLoaderAndTheNextUpdateCompletes)
{
    const auto bytes = Image(1100, 4, 3); // three blocks
    FirmwareImage image;
    ASSERT_EQ(image.load(bytes), FirmwareImage::LoadResult::Loaded);
    const int total = TransfersOfAnUpdate(image);
    ASSERT_GT(total, 30);
    for (const SimFaultKind kind : {SimFaultKind::Unplug, SimFaultKind::Stall}) {
        // A stall from the start command on lets the new application run, unconfirmed.
        const int last = kind == SimFaultKind::Unplug ? total - 3 : total - 4;
        for (int after = 3; after <= last; ++after) {
            SCOPED_TRACE((kind == SimFaultKind::Unplug ? "unplug after " : "stall after ") + std::to_string(after));
            SimSession sim;
            ASSERT_TRUE(sim.open());
            sim.instrument.armFaults({{kind, SimFaultTrigger::Transfers, double(after)}});
            EXPECT_NE(UpdateFirmware(sim.session, image, {}), FirmwareUpdateResult::Done);
            sim.instrument.armFaults({});
            sim.instrument.unplug();
            ASSERT_TRUE(Eventually([&] { return !sim.session.isAttached(); }));
            sim.instrument.plug();
            ASSERT_TRUE(Eventually([&] { return sim.session.isAttached(); }));
            EXPECT_EQ(QueryDevice(sim.session, CmdGetId, 50, 1), std::vector<std::uint8_t>{kIdBootLoader});
            ASSERT_EQ(UpdateFirmware(sim.session, image, {}), FirmwareUpdateResult::Done);
            EXPECT_TRUE(FlashHolds(sim, bytes));
        }
    }
}

// One transfer lost to an error anywhere in the update is made good: a chunk, the erase or the
// start is sent again, an answer asked again; the update completes with the whole image.
TEST(FirmwareUpdate, ATransferErrorAnywhereIsMadeGood)
{
    const auto bytes = Image(1100, 4, 3);
    FirmwareImage image;
    ASSERT_EQ(image.load(bytes), FirmwareImage::LoadResult::Loaded);
    const int total = TransfersOfAnUpdate(image);
    for (int after = 0; after < total; ++after) {
        SCOPED_TRACE("error after " + std::to_string(after));
        SimSession sim;
        ASSERT_TRUE(sim.open());
        {
            std::lock_guard lock(sim.instrument.stateMutex());
            std::fill(sim.instrument.state().flash.begin(), sim.instrument.state().flash.end(), 0x77);
        }
        sim.instrument.armFaults({{SimFaultKind::TransferError, SimFaultTrigger::Transfers, double(after)}});
        ASSERT_EQ(UpdateFirmware(sim.session, image, {}), FirmwareUpdateResult::Done);
        EXPECT_TRUE(FlashHolds(sim, bytes));
        std::lock_guard lock(sim.instrument.stateMutex());
        const auto& flash = sim.instrument.state().flash;
        EXPECT_TRUE(std::all_of(flash.begin() + 1536, flash.end(), [](auto b) { return b == 0; })) << "erased";
        EXPECT_FALSE(sim.instrument.state().bootLoader);
    }
}

// A block that is never reported programmed, at each block: the update fails and the boot
// loader waits for the next one.
TEST(FirmwareUpdate, ABlockNeverReportedProgrammedFailsAtEachBlock)
{
    FirmwareImage image;
    ASSERT_EQ(image.load(Image(1100, 4, 3)), FirmwareImage::LoadResult::Loaded);
    for (const std::size_t offset : {1024u, 512u, 0u}) {
        SCOPED_TRACE(offset);
        SimSession sim;
        ASSERT_TRUE(sim.open());
        sim.instrument.refuseBootBlocks(offset);
        EXPECT_EQ(UpdateFirmware(sim.session, image, {}), FirmwareUpdateResult::BlockFailed);
        EXPECT_EQ(sim.recorder.programmedOffsets.back(), int(offset));
        EXPECT_EQ(QueryDevice(sim.session, CmdGetId, 50, 1), std::vector<std::uint8_t>{kIdBootLoader});
    }
}

TEST(FirmwareUpdate, StopIsTakenBetweenBlocksAndTheUpdateCanBeRepeated)
{
    SimSession sim;
    ASSERT_TRUE(sim.open());
    FirmwareImage image;
    ASSERT_EQ(image.load(Image(2048, 5, 2)), FirmwareImage::LoadResult::Loaded);
    std::atomic<bool> stop{false};
    Recorded recorded;
    FirmwareUpdateListener listener = recorded.listener();
    listener.progress = [&](int value, int maximum) {
        recorded.progress.emplace_back(value, maximum);
        if (value == 8 + 3) // Ctrl-C in the middle of the second block
            stop = true;
    };
    EXPECT_EQ(UpdateFirmware(sim.session, image, listener, &stop), FirmwareUpdateResult::Interrupted);
    // The second block was finished, programmed and nothing more begun.
    EXPECT_EQ(sim.recorder.programmedOffsets, (std::vector<int>{3 * 512, 2 * 512}));
    EXPECT_EQ(recorded.progress.back().first, 0);
    EXPECT_EQ(QueryDevice(sim.session, CmdGetId, 50, 1), std::vector<std::uint8_t>{kIdBootLoader});
    {
        std::lock_guard lock(sim.instrument.stateMutex());
        const auto& flash = sim.instrument.state().flash;
        EXPECT_TRUE(std::all_of(flash.begin(), flash.begin() + 1024, [](auto b) { return b == 0; }));
    }

    // Run again, it finishes from the boot loader.
    ASSERT_EQ(UpdateFirmware(sim.session, image, {}), FirmwareUpdateResult::Done);
    EXPECT_EQ(InstalledFirmwareVersion(sim.session).value()[0], 5);
}

TEST(FirmwareUpdate, StopBeforeTheEraseKeepsTheOldApplication)
{
    struct Case {
        int stopAfterStages; // 0: before anything was sent; 1: once the boot loader runs
        std::vector<FirmwareStage> stages;
    };
    for (const Case& c : {Case{0, {}}, Case{1, {FirmwareStage::EnteringBootLoader}}}) {
        SimSession sim;
        ASSERT_TRUE(sim.open());
        FirmwareImage old;
        ASSERT_EQ(old.load(Image(600, 2, 9)), FirmwareImage::LoadResult::Loaded);
        ASSERT_EQ(UpdateFirmware(sim.session, old, {}), FirmwareUpdateResult::Done);
        FirmwareImage image;
        ASSERT_EQ(image.load(Image(600, 3, 0)), FirmwareImage::LoadResult::Loaded);
        std::atomic<bool> stop{c.stopAfterStages == 0};
        Recorded recorded;
        FirmwareUpdateListener listener = recorded.listener();
        listener.stage = [&](FirmwareStage s) {
            recorded.stages.push_back(s);
            stop = true;
        };
        sim.recorder.programmedOffsets.clear();
        EXPECT_EQ(UpdateFirmware(sim.session, image, listener, &stop), FirmwareUpdateResult::Cancelled);
        EXPECT_EQ(recorded.stages, c.stages);
        EXPECT_TRUE(sim.recorder.programmedOffsets.empty());
        const auto version = InstalledFirmwareVersion(sim.session);
        ASSERT_TRUE(version.has_value()) << c.stopAfterStages;
        EXPECT_EQ((*version)[0], 2);
        EXPECT_EQ((*version)[1], 9);
    }
}

TEST(FirmwareUpdate, VersionTextHasTwoDigitDates)
{
    EXPECT_EQ(FormatFirmwareVersion({2, 5, 1, 12, 26}), "2.5 (01/12/26)");
}

} // namespace
} // namespace tesmar

namespace tesmar {
namespace {

TEST(FirmwareUpdate, VirtualInstrumentKeepsItsFirmwareBetweenRuns)
{
    const auto file = (std::filesystem::temp_directory_path() / ("tesmar-firmware-" + std::to_string(::getpid()) + ".fw")).string();
    std::filesystem::remove(file);
    FirmwareImage image;
    ASSERT_EQ(image.load(Image(2048, 6, 1)), FirmwareImage::LoadResult::Loaded);
    {
        SimSession sim;
        sim.instrument.keepFirmwareIn(file);
        ASSERT_TRUE(sim.open());
        ASSERT_EQ(UpdateFirmware(sim.session, image, {}), FirmwareUpdateResult::Done);
    }
    {
        SimSession sim;
        sim.instrument.keepFirmwareIn(file);
        ASSERT_TRUE(sim.open());
        EXPECT_EQ(InstalledFirmwareVersion(sim.session).value()[0], 6);
        sim.instrument.refuseBootBlocks();
        EXPECT_EQ(UpdateFirmware(sim.session, image, {}), FirmwareUpdateResult::BlockFailed);
    }
    SimSession sim;
    sim.instrument.keepFirmwareIn(file);
    ASSERT_TRUE(sim.open());
    EXPECT_EQ(QueryDevice(sim.session, CmdGetId, 50, 1), std::vector<std::uint8_t>{kIdBootLoader});
    std::filesystem::remove(file);
}

} // namespace
} // namespace tesmar
