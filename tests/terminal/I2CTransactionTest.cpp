// One terminal transaction against the virtual instrument.

#include "terminal/I2CTransaction.h"
#include "device/UsbSession.h"
#include "sim/VirtualInstrument.h"
#include "terminal/TerminalTexts.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

using namespace tesmar;

namespace {

struct Bench {
    SimClock clock{500.0};
    VirtualInstrument instrument{clock};
    UsbSession session{instrument};
    std::atomic<bool> cancel{false};

    Bench() {
        session.setSleeper([this](int ms) { clock.sleepMs(ms); });
        session.settings().resetTimeoutMs = 0;
        EXPECT_TRUE(session.DeviceOpen());
    }

    I2CTransactionResult run(bool master, bool write, std::uint8_t address, int count,
                             const std::vector<std::uint8_t>& data = {}, int speed = 100) {
        I2CTransactionRequest request;
        request.transfer = {.byteCount = count,
                            .address7 = address,
                            .master = master,
                            .write = write,
                            .kbitPerSecond = speed};
        std::copy(data.begin(), data.end(), request.transmit.begin());
        return RunI2CTransaction(session, request, cancel);
    }
};

const MessageTable& Table() {
    static const MessageTable table;
    return table;
}

std::string Text(const TerminalBuffer& buffer, int count) {
    return {buffer.begin(), buffer.begin() + count};
}

} // namespace

TEST(I2CTransaction, WriteThenReadBackAsMaster) {
    Bench b;
    const std::vector<std::uint8_t> data = {0x20, 'T', 'e', 's', 'm', 'a', 'r'}; // word address, then data
    I2CTransactionResult w = b.run(true, true, 0x50, int(data.size()), data);
    EXPECT_EQ(w.outcome, I2COutcome::Completed);
    EXPECT_EQ(w.resultCount, 7);
    EXPECT_EQ(TerminalResultText(Table(), w, true, 7), "Записано 7 байт из 7");
    EXPECT_FALSE(TerminalResultNeedsMessage(w, true, 7));

    EXPECT_EQ(b.run(true, true, 0x50, 1, {0x20}).resultCount, 1); // set the word address
    I2CTransactionResult r = b.run(true, false, 0x50, 8, {}, 400);
    EXPECT_EQ(r.outcome, I2COutcome::Completed);
    EXPECT_EQ(r.resultCount, 8);
    EXPECT_EQ(Text(r.reply, 8), "Tesmar\xFF\xFF");
}

TEST(I2CTransaction, LongReadFetchesBothParts) {
    Bench b;
    for (const std::uint8_t start : {0x00, 0xF0}) {
        std::vector<std::uint8_t> page = {start};
        for (int i = 0; i < 16; ++i)
            page.push_back(std::uint8_t((start ? 0xA0 : 0xB0) + i));
        EXPECT_EQ(b.run(true, true, 0x50, int(page.size()), page).resultCount, 17);
    }
    EXPECT_EQ(b.run(true, true, 0x50, 1, {0}).resultCount, 1);
    I2CTransactionResult r = b.run(true, false, 0x50, 600);
    ASSERT_EQ(r.outcome, I2COutcome::Completed);
    EXPECT_EQ(r.resultCount, 600);
    // The 256-byte memory read round more than twice: its start at 0, 256 and 512.
    for (const int at : {0, 256, 512})
        EXPECT_EQ(r.reply[at], 0xB0) << at;
    EXPECT_EQ(r.reply[527], 0xBF);
    EXPECT_EQ(r.reply[0xF0], 0xA0);
    EXPECT_EQ(r.reply[0x1FF], 0xAF);
    EXPECT_EQ(r.reply[599], 0xFF);
    EXPECT_EQ(r.reply[600], 0);
}

TEST(I2CTransaction, AbsentSlaveMovesNothing) {
    Bench b;
    for (const bool write : {false, true}) {
        I2CTransactionResult r = b.run(true, write, 0x51, 16, {1, 2, 3});
        EXPECT_EQ(r.outcome, I2COutcome::Completed);
        EXPECT_EQ(r.notTransferred, 16);
        EXPECT_EQ(r.resultCount, 0);
        EXPECT_TRUE(TerminalResultNeedsMessage(r, write, 16));
        EXPECT_EQ(TerminalResultMessage(Table(), r, write, 16), MessageTable::builtInText(Msg::strTermExchangeError));
    }
    std::lock_guard lock(b.instrument.stateMutex());
    EXPECT_EQ(b.instrument.i2c().bus().eeprom()[1], 0xFF);
}

TEST(I2CTransaction, AsSlaveTheSimulatedMasterTalks) {
    Bench b;
    // The master writes one line: of 64 bytes asked for, the rest is reported not transferred.
    I2CTransactionResult r = b.run(false, false, 0, 64);
    EXPECT_EQ(r.outcome, I2COutcome::Completed);
    const std::string line = "Message 1 from the I2C master\r\n";
    EXPECT_EQ(r.notTransferred, 64 - int(line.size()));
    EXPECT_EQ(r.resultCount, int(line.size()));
    EXPECT_EQ(Text(r.reply, r.resultCount), line);
    EXPECT_FALSE(TerminalResultNeedsMessage(r, false, 64));

    // The master reads 32 bytes of the 40 offered: a short write, said in a box.
    std::vector<std::uint8_t> data(40, 0x33);
    r = b.run(false, true, 0x42, 40, data);
    EXPECT_EQ(r.resultCount, 32);
    EXPECT_TRUE(TerminalResultNeedsMessage(r, true, 40));
    EXPECT_EQ(TerminalResultMessage(Table(), r, true, 40),
              std::string(MessageTable::builtInText(Msg::strTermExchangeError)) + "\r\rЗаписано 32 байт из 40");
    std::lock_guard lock(b.instrument.stateMutex());
    EXPECT_EQ(b.instrument.i2c().bus().masterReceived(), std::vector<std::uint8_t>(32, 0x33));
}

TEST(I2CTransaction, WaitEndsByCancelUnplugOrTimeLimit) {
    {
        // A slave that nobody addresses waits until the user cancels.
        Bench b;
        std::thread user([&] {
            b.clock.sleepMs(3000);
            b.cancel = true;
            b.session.HaltTransfers();
        });
        const I2CTransactionResult r = b.run(false, false, 0x11, 16);
        user.join();
        EXPECT_EQ(r.outcome, I2COutcome::Cancelled);
        EXPECT_FALSE(TerminalResultNeedsMessage(r, false, 16));
    }
    {
        Bench b;
        std::thread cable([&] {
            b.clock.sleepMs(500);
            b.instrument.unplug();
        });
        const I2CTransactionResult r = b.run(false, true, 0x11, 16);
        cable.join();
        EXPECT_EQ(r.outcome, I2COutcome::NoDevice);
        EXPECT_EQ(TerminalResultText(Table(), r, true, 16), "Прибор не подключен");
        EXPECT_EQ(b.run(true, false, 0x50, 4).outcome, I2COutcome::NoDevice);
    }
    {
        // A slave that holds the clock: as master the instrument never answers.
        Bench b;
        {
            std::lock_guard lock(b.instrument.stateMutex());
            b.instrument.i2c().setClockHeld(true);
        }
        const I2CTransactionResult r = b.run(true, false, 0x50, 16);
        EXPECT_EQ(r.outcome, I2COutcome::NoAnswer);
        EXPECT_TRUE(TerminalResultNeedsMessage(r, false, 16));
    }
    {
        Bench b;
        b.instrument.failNextWrites(1);
        const I2CTransactionResult r = b.run(true, false, 0x50, 16);
        EXPECT_EQ(r.outcome, I2COutcome::Failed);
        EXPECT_EQ(TerminalResultText(Table(), r, false, 16), "Ошибка USB C0000004: HC status: PID stall");
    }
}

TEST(I2CTransaction, LimitOfAMasterTransfer) {
    EXPECT_EQ(I2CNoAnswerLimitMs({.byteCount = 1024, .master = true, .kbitPerSecond = 50}), 2185);
    EXPECT_EQ(I2CNoAnswerLimitMs({.byteCount = 16, .master = false}), std::nullopt);
}
