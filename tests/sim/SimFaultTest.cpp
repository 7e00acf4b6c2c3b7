// The fault texts and what each fault does to the transfers of a session.

#include "device/Commands.h"
#include "device/ServiceCommands.h"
#include "device/UsbSession.h"
#include "sim/SceneSettings.h"
#include "sim/SimFault.h"
#include "sim/VirtualInstrument.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace tesmar {
namespace {

using namespace std::chrono_literals;
using K = SimFaultKind;
using T = SimFaultTrigger;

struct GoodText {
    const char* text;
    std::vector<SimFault> faults;
};

TEST(ParseSimFaults, ReadsEveryKindAndUnit)
{
    const GoodText cases[] = {
        {"", {}},
        {"unplug-after=0.5s", {{K::Unplug, T::Time, 500}}},
        {"unplug-after=12transfers", {{K::Unplug, T::Transfers, 12}}},
        {"stall-after=200ms", {{K::Stall, T::Time, 200}}},
        {"stall-after=1transfer", {{K::Stall, T::Transfers, 1}}},
        {"error-after=3reads", {{K::TransferError, T::Reads, 3}}},
        {"error-after=0read", {{K::TransferError, T::Reads, 0}}},
        {"unplug-after=1s, replug-after=2s", {{K::Unplug, T::Time, 1000}, {K::Replug, T::Time, 2000}}},
        {"stall-after=4reads,error-after=2s,unplug-after=7transfers",
         {{K::Stall, T::Reads, 4}, {K::TransferError, T::Time, 2000}, {K::Unplug, T::Transfers, 7}}},
    };
    for (const GoodText& c : cases) {
        std::string why;
        const auto faults = ParseSimFaults(c.text, &why);
        ASSERT_TRUE(faults.has_value()) << c.text << ": " << why;
        EXPECT_EQ(*faults, c.faults) << c.text;
    }
}

struct BadText {
    const char* text;
    const char* named; // the message names the fault and says what is wrong
};

TEST(ParseSimFaults, RefusesWithAMessageNamingTheFault)
{
    const BadText cases[] = {
        {"unplug", "\"unplug\" is not KIND-after=WHEN"},
        {"unplug-after=", "unplug-after: \"\" is not a time"},
        {"unplug-after=soon", "unplug-after: \"soon\" is not a time"},
        {"stall-after=5", "stall-after: \"5\" is not a time"},
        {"stall-after=-1s", "stall-after: \"-1s\""},
        {"error-after=2.5reads", "error-after: \"2.5reads\""},
        {"error-after=3minutes", "error-after: \"3minutes\""},
        {"melt-after=1s", "unknown fault \"melt\""},
        {"replug-after=3transfers", "replug-after: give a time"},
        {"unplug-after=1s,,stall-after=2s", "an empty fault between commas"},
        {"unplug-after=1s,unplug-after=2s", "unplug-after is given twice"},
    };
    for (const BadText& c : cases) {
        std::string why;
        EXPECT_FALSE(ParseSimFaults(c.text, &why).has_value()) << c.text;
        EXPECT_NE(why.find(c.named), std::string::npos) << c.text << " -> " << why;
    }
}

TEST(FaultsFromEnvironment, ArmsTheVariablesFaultsOrSaysWhyNot)
{
    std::string problems;
    ::unsetenv("TESMAR_SIM_FAULT");
    EXPECT_TRUE(FaultsFromEnvironment(problems).empty());
    ::setenv("TESMAR_SIM_FAULT", "unplug-after=5s,replug-after=3s", 1);
    EXPECT_EQ(FaultsFromEnvironment(problems),
              (std::vector<SimFault>{{K::Unplug, T::Time, 5000}, {K::Replug, T::Time, 3000}}));
    EXPECT_TRUE(problems.empty());
    ::setenv("TESMAR_SIM_FAULT", "unplug-after=5", 1);
    EXPECT_TRUE(FaultsFromEnvironment(problems).empty());
    EXPECT_EQ(problems.rfind("TESMAR_SIM_FAULT: unplug-after: \"5\"", 0), 0u) << problems;
    ::unsetenv("TESMAR_SIM_FAULT");
}

// A session on a fast clock: a read of the identity is one write and one read.
struct FaultFixture : ::testing::Test {
    SimClock clock{100.0};
    VirtualInstrument instrument{clock};
    UsbSession session{instrument};

    void SetUp() override
    {
        session.setSleeper([this](int ms) { clock.sleepMs(ms); });
        ASSERT_TRUE(session.DeviceOpen());
    }

    void arm(const char* text)
    {
        std::string why;
        const auto faults = ParseSimFaults(text, &why);
        ASSERT_TRUE(faults) << why;
        instrument.armFaults(*faults);
    }

    bool identityAnswers() { return QueryDevice(session, CmdGetId, 50, 1) == std::vector<std::uint8_t>{0xAA}; }

    template <typename Pred> bool eventually(Pred pred, std::chrono::milliseconds limit = 5s)
    {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < end) {
            if (pred())
                return true;
            std::this_thread::sleep_for(2ms);
        }
        return pred();
    }
};

TEST_F(FaultFixture, UnplugAfterTransfersLetsExactlyThatManyThrough)
{
    arm("unplug-after=3transfers");
    EXPECT_TRUE(identityAnswers()); // transfers 1 and 2
    SendCommand(session, {.code = CmdLedOn}); // 3
    EXPECT_TRUE(instrument.state().ledOn);
    EXPECT_TRUE(instrument.isPlugged());
    SendCommand(session, {.code = CmdLedOff}); // the fourth meets the unplug
    EXPECT_FALSE(instrument.isPlugged());
    EXPECT_TRUE(instrument.state().ledOn);
    EXPECT_TRUE(eventually([&] { return !session.isAttached(); }));
}

TEST_F(FaultFixture, FaultsCountingReadsMeetTheNextRead)
{
    arm("unplug-after=1reads");
    EXPECT_TRUE(identityAnswers());
    SendCommand(session, {.code = CmdLedOn}); // writes pass
    EXPECT_TRUE(instrument.state().ledOn);
    EXPECT_TRUE(instrument.isPlugged());
    std::uint8_t byte = 0;
    UsbStatus status = 0;
    const unsigned attaches = session.attachCount();
    session.readPipe(&byte, 1, 100, status); // the second read finds no device
    EXPECT_EQ(status, usb_status::DeviceNotFound);
    EXPECT_FALSE(instrument.isPlugged());

    instrument.plug();
    ASSERT_TRUE(eventually([&] { return session.attachCount() > attaches; }));
    arm("error-after=0reads");
    SendCommand(session, {.code = CmdGetId});
    EXPECT_EQ(instrument.transfersSinceArmed(), 1);
    session.readPipe(&byte, 1, 100, status);
    EXPECT_EQ(status, usb_status::UsbdError);
}

TEST_F(FaultFixture, UnplugAfterATimeEndsAPendingReadAndReplugFollows)
{
    const unsigned attaches = session.attachCount();
    arm("unplug-after=300ms,replug-after=500ms");
    std::uint8_t byte = 0;
    UsbStatus status = 0;
    const auto start = std::chrono::steady_clock::now();
    session.readPipe(&byte, 1, 10'000, status); // nothing to read: waits until the unplug
    EXPECT_EQ(status, usb_status::DeviceNotFound);
    EXPECT_LT(std::chrono::steady_clock::now() - start, clock.realDuration(5'000));
    EXPECT_TRUE(eventually([&] { return session.attachCount() > attaches; })) << "plugged in again after the delay";
    EXPECT_TRUE(identityAnswers());
}

TEST_F(FaultFixture, ReplugFollowsEveryUnplugByHand)
{
    arm("replug-after=100ms");
    for (int round = 0; round < 2; ++round) {
        const unsigned attaches = session.attachCount();
        instrument.unplug(); // a new attach follows: the instrument was plugged in again
        EXPECT_TRUE(eventually([&] { return session.attachCount() > attaches; }));
        EXPECT_TRUE(identityAnswers());
    }
}

TEST_F(FaultFixture, StallLeavesReadsToTheirTimeOutOrAHaltUntilTheNextPlugIn)
{
    arm("stall-after=2transfers");
    EXPECT_TRUE(identityAnswers());
    SendCommand(session, {.code = CmdGetId}); // the command is taken; its answer never comes
    std::uint8_t byte = 0;
    UsbStatus status = 0;
    session.readPipe(&byte, 1, 200, status);
    EXPECT_EQ(status, usb_status::TimeOut);

    std::thread reader([&] { session.readPipe(&byte, 1, 1'000'000, status); });
    std::this_thread::sleep_for(20ms);
    session.HaltTransfers();
    reader.join();
    EXPECT_EQ(status, usb_status::Cancelled);

    const unsigned attaches = session.attachCount();
    instrument.unplug();
    instrument.plug();
    EXPECT_TRUE(eventually([&] { return session.attachCount() > attaches; }));
    EXPECT_TRUE(identityAnswers());
}

TEST_F(FaultFixture, TransferErrorFailsOneTransfer)
{
    arm("error-after=1transfers");
    SendCommand(session, {.code = CmdLedOn});
    UsbStatus status = 0;
    session.writeCommandWith({.bRequest = CmdLedOff}, nullptr, 0, 1000, status);
    EXPECT_EQ(status, usb_status::UsbdError);
    EXPECT_TRUE(instrument.state().ledOn) << "the failed transfer carried nothing";
    EXPECT_TRUE(identityAnswers()) << "only one transfer fails";
}

TEST_F(FaultFixture, TransferErrorAfterATimeEndsTheReadInFlight)
{
    arm("error-after=200ms");
    std::uint8_t byte = 0;
    UsbStatus status = 0;
    session.readPipe(&byte, 1, 100'000, status);
    EXPECT_EQ(status, usb_status::UsbdError);
    EXPECT_TRUE(identityAnswers());
}

TEST_F(FaultFixture, ArmingAgainReplacesTheFaultsAndRestartsTheCounts)
{
    arm("unplug-after=1transfers");
    arm("stall-after=50transfers");
    EXPECT_TRUE(identityAnswers());
    EXPECT_TRUE(identityAnswers());
    EXPECT_EQ(instrument.transfersSinceArmed(), 4);
    EXPECT_EQ(instrument.readsSinceArmed(), 2);
    EXPECT_EQ(instrument.faultsWaiting(), 1);
    EXPECT_TRUE(instrument.isPlugged());
}

} // namespace
} // namespace tesmar
