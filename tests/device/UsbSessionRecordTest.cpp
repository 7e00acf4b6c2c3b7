// The session record: what the recording transport writes, how the text is read back (and which
// texts are refused, with their line), and the replay that answers a session from it.

#include "device/RecordingTransport.h"
#include "device/ReplayTransport.h"
#include "device/UsbRecordFormat.h"
#include "device/UsbRecordWriter.h"
#include "device/UsbSession.h"

#include <gtest/gtest.h>

#include <sstream>
#include <streambuf>

namespace tesmar {
namespace {

// An instrument that answers every read with the bytes 1, 2, 3 … and takes every command.
class CountingInstrument final : public UsbTransport {
public:
    UsbStatus init(AttachCallback onAttach, DetachCallback onDetach) override
    {
        detach_ = std::move(onDetach);
        onAttach(0xBEEF);
        return usb_status::Success;
    }
    void uninit() override {}
    UsbStatus setInterface(UsbDeviceHandle, int, int) override { return usb_status::Success; }
    UsbStatus controlOut(UsbDeviceHandle, const SetupPacket&, const std::uint8_t*, std::size_t length,
                         std::size_t& transferred, int) override
    {
        transferred = length;
        return usb_status::Success;
    }
    UsbStatus bulkIn(UsbDeviceHandle, std::uint8_t, std::uint8_t* buffer, std::size_t length, std::size_t& transferred,
                     int) override
    {
        transferred = std::min<std::size_t>(length, 20);
        for (std::size_t i = 0; i < transferred; ++i)
            buffer[i] = static_cast<std::uint8_t>(i + 1);
        return length > 20 ? usb_status::TimeOut : usb_status::Success;
    }
    void halt(UsbDeviceHandle, std::uint8_t) override {}
    UsbStatus reset(UsbDeviceHandle) override { return usb_status::Success; }
    void unplug() { detach_(0xBEEF); }

private:
    DetachCallback detach_;
};

// A stream whose writes all fail, as on a full disk.
class FullDisk final : public std::streambuf {
protected:
    int_type overflow(int_type) override { return traits_type::eof(); }
    std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
};

UsbRecordParse Parse(const std::string& text)
{
    std::istringstream in(text);
    return ParseUsbRecord(in);
}

// Every line of `text` without its leading time stamp.
std::vector<std::string> LinesWithoutTimes(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        if (line[0] != ' ')
            line = line.substr(line.find(' ') + 1);
        lines.push_back(line);
    }
    return lines;
}

TEST(UsbSessionRecord, RecordsEveryEventBothWays)
{
    CountingInstrument instrument;
    std::ostringstream text;
    UsbRecordWriter writer(text);
    RecordingTransport recording(instrument, writer);
    UsbSession session(recording);
    session.settings().readTimeoutMs = 70;
    ASSERT_TRUE(session.DeviceOpen());
    session.setupPacket().bRequest = 7;
    session.setupPacket().wValue = 0xFFE8;
    session.setupPacket().wIndex = 0x0201;
    const std::uint8_t block[9] = {5, 0x40, 0xC0, 0, 0, 0x12, 0xFF, 0x20, 0};
    session.WriteCommand(block, sizeof block);
    std::uint8_t buffer[512];
    session.ReadDataPipe(buffer, 3);
    session.ReadDataPipe(buffer, 512); // 20 bytes, then the time-out
    session.HaltTransfers();
    session.DeviceReset();
    instrument.unplug();
    EXPECT_EQ(writer.failure(), "");

    const std::vector<std::string> expected = {
        "ATTACH device=1",
        "SETIF interface=0 alternate=0 status=0x00000000",
        "OUT type=0x40 request=7 value=0xFFE8 index=0x0201 length=9 timeout=50 status=0x00000000 sent=9",
        "      0: 05 40 C0 00 00 12 FF 20 00",
        "IN pipe=0x83 length=3 timeout=70 status=0x00000000 got=3",
        "      0: 01 02 03",
        "IN pipe=0x83 length=512 timeout=70 status=0x20000015 got=20",
        "      0: 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10",
        "     16: 11 12 13 14",
        "HALT pipe=0x00",
        "HALT pipe=0x83",
        "RESET status=0x00000000",
        "DETACH device=1",
    };
    std::vector<std::string> seen = LinesWithoutTimes(text.str());
    for (std::string& line : seen) // durations vary from run to run
        if (const auto took = line.find(" took="); took != std::string::npos)
            line.erase(took);
    EXPECT_EQ(seen, expected) << text.str();
    EXPECT_EQ(text.str().rfind(kUsbRecordHeader, 0), 0u);

    // Read back, the text gives the same events.
    const UsbRecordParse parsed = Parse(text.str());
    ASSERT_EQ(parsed.error, "");
    ASSERT_EQ(parsed.entries.size(), 9u);
    const UsbRecordEntry& out = parsed.entries[2];
    EXPECT_EQ(out.kind, UsbEventKind::ControlOut);
    EXPECT_EQ(out.setup.wValue, 0xFFE8);
    EXPECT_EQ(out.setup.wIndex, 0x0201);
    EXPECT_EQ(out.data, std::vector<std::uint8_t>(block, block + 9));
    EXPECT_EQ(out.timeoutMs, 50);
    const UsbRecordEntry& in = parsed.entries[4];
    EXPECT_EQ(in.status, usb_status::TimeOut);
    EXPECT_EQ(in.requested, 512u);
    EXPECT_EQ(in.data.size(), 20u);
    EXPECT_EQ(in.data.back(), 20);
    for (const UsbRecordEntry& e : parsed.entries)
        EXPECT_EQ(FormatUsbRecordEntry(e), FormatUsbRecordEntry(Parse(FormatUsbRecordEntry(e)).entries.at(0)));
}

TEST(UsbSessionRecord, AFailingWriteIsReportedAndTheTransfersGoOn)
{
    CountingInstrument instrument;
    FullDisk disk;
    std::ostream full(&disk);
    std::string heard;
    UsbRecordWriter writer(full, [&heard](const std::string& why) { heard += why + "|"; });
    RecordingTransport recording(instrument, writer);
    UsbSession session(recording);
    ASSERT_TRUE(session.DeviceOpen());
    std::uint8_t buffer[8] = {};
    EXPECT_EQ(session.ReadDataPipe(buffer, 8), 8u);
    EXPECT_EQ(buffer[7], 8);
    EXPECT_EQ(session.lastReadStatus(), usb_status::Success);
    EXPECT_NE(writer.failure().find("cannot write the USB record"), std::string::npos);
    EXPECT_EQ(heard, writer.failure() + "|"); // once, not once per transfer
}

TEST(UsbSessionRecord, TextsThatAreRefusedNameTheirLine)
{
    const std::string head = "# a session written by hand\n0 ATTACH\n";
    const struct {
        std::string text;
        std::string error;
    } cases[] = {
        {"1 OUT request=5 value=0 index=0 length=2\n  01\n", "line 3: length=2 but 1 data bytes follow"},
        {"1 OUT request=5 value=0\n", "line 3: the field index= is missing"},
        {"1 OUT request=5 value=0x10000 index=0\n", "line 3: the field value=0x10000 is not a number up to 65535"},
        {"1 IN length=4 got=3\n  01 02\n", "line 3: got=3 but 2 data bytes follow"},
        {"1 IN length=1\n  01 02\n", "line 3: 2 bytes answer a read of 1"},
        {"1 IN length=4\n  0: 01 02\n  3: 03\n", "line 5: the offset 3: should be 2:"},
        {"1 IN length=4\n  0G\n", "line 4: '0G' is not a byte in two hex digits"},
        {"1 RESET\n  01\n", "line 4: data bytes without a transfer (OUT or IN) above them"},
        {"later IN length=4\n", "line 3: 'later' is not a time in milliseconds"},
        {"1 READ length=4\n", "line 3: expected ATTACH, DETACH, SETIF, OUT, IN, HALT or RESET after the time"},
        {"1 IN length=4 lenght=5\n", "line 3: unknown field lenght="},
        {"1 IN length=4 length=5\n", "line 3: the field length= is given twice"},
    };
    for (const auto& c : cases) {
        const UsbRecordParse parsed = Parse(head + c.text);
        EXPECT_EQ(parsed.error, c.error) << c.text;
        EXPECT_TRUE(parsed.entries.empty());
    }
    // Comments, blank lines, offsets left out, lower-case hex and Windows line ends are all read.
    const UsbRecordParse fine = Parse(head + "\r\n1 IN length=4   # the answer\r\n  0a 0B\n\n  0c\n2 RESET\n");
    ASSERT_EQ(fine.error, "");
    ASSERT_EQ(fine.entries.size(), 3u);
    EXPECT_EQ(fine.entries[1].data, (std::vector<std::uint8_t>{0x0A, 0x0B, 0x0C}));
    EXPECT_EQ(fine.entries[1].line, 4);
    EXPECT_EQ(fine.entries[2].line, 8);
}

// A short session written by hand: the instrument's identity, one block, its answer.
const char* const kHandWritten = R"(# Tesmar USB session record, format 1
0 ATTACH device=1
0 SETIF interface=0 alternate=0
1 OUT request=0 value=0 index=0 length=0
2 IN length=1
  AA
3 OUT request=7 value=0xFFE8 index=0 length=3
  05 40 09
4 IN length=512 status=0x20000015
4 IN length=512
  0: 10 20 30
5 RESET
)";

struct Replay : ::testing::Test {
    std::string heard;
    ReplayTransport replay{Parse(kHandWritten).entries, [this](const std::string& why) { heard += why + "|"; }};
    UsbSession session{replay};

    void SetUp() override { session.setSleeper([](int) {}); }
    // Sends command `request` with `block` as the program would.
    std::uint32_t send(std::uint8_t request, std::uint16_t value, std::vector<std::uint8_t> block)
    {
        session.setupPacket().bRequest = request;
        session.setupPacket().wValue = value;
        return session.WriteCommand(block.data(), static_cast<std::uint16_t>(block.size()));
    }
};

TEST_F(Replay, AnswersAsRecordedWhileTheProgramSendsTheSame)
{
    ASSERT_TRUE(session.DeviceOpen());
    EXPECT_EQ(send(0, 0, {}), 0u);
    std::uint8_t buffer[512] = {};
    EXPECT_EQ(session.ReadDataPipe(buffer, 1), 1u);
    EXPECT_EQ(buffer[0], 0xAA);
    EXPECT_EQ(send(7, 0xFFE8, {5, 0x40, 9}), 3u);
    EXPECT_EQ(session.lastWriteStatus(), usb_status::Success);
    EXPECT_EQ(session.ReadDataPipe(buffer, 512), 0u);
    EXPECT_EQ(session.lastReadStatus(), usb_status::TimeOut);
    session.HaltTransfers(); // accepted anywhere
    EXPECT_EQ(session.ReadDataPipe(buffer, 512), 3u);
    EXPECT_EQ(buffer[2], 0x30);
    EXPECT_EQ(replay.finish(), "line 12: the program ended where the record goes on with RESET");
    session.DeviceReset();
    EXPECT_EQ(replay.finish(), "");
    EXPECT_EQ(heard, "");
}

TEST_F(Replay, TheFirstDifferenceIsNamedAndEveryCallAfterItFails)
{
    ASSERT_TRUE(session.DeviceOpen());
    send(0, 0, {});
    std::uint8_t buffer[512] = {};
    session.ReadDataPipe(buffer, 1);
    send(7, 0xFFE8, {5, 0x40, 8});
    const std::string expected =
        "line 7: the program sent OUT type=0x40 request=7 value=0xFFE8 index=0x0000 length=3 as recorded, but "
        "data byte 2 is 0x08 where the record has 0x09";
    EXPECT_EQ(replay.divergence(), expected);
    EXPECT_EQ(session.lastWriteStatus(), usb_status::DataMismatch);
    EXPECT_FALSE(session.isAttached()); // nothing waits for answers that cannot come
    std::size_t got = 1;
    EXPECT_EQ(replay.bulkIn(1, kDataPipe, buffer, 512, got, 50), usb_status::DataMismatch);
    EXPECT_EQ(got, 0u);
    EXPECT_EQ(replay.reset(1), usb_status::DataMismatch);
    EXPECT_EQ(replay.finish(), expected);
    EXPECT_EQ(heard, expected + "|");
}

TEST(ReplayDifferences, EachKindOfDifferenceIsNamed)
{
    const struct {
        std::function<void(UsbSession&)> act;
        std::string difference;
    } cases[] = {
        {[](UsbSession& s) { s.WriteCommand(nullptr, 0); },
         "line 4: the record has OUT type=0x40 request=0 value=0x0000 index=0x0000 length=0, the program sent OUT "
         "type=0x40 request=0 value=0x0000 index=0x0005 length=0"},
        {[](UsbSession& s) {
             std::uint8_t b[4];
             s.ReadDataPipe(b, 4);
         },
         "line 4: the record has OUT type=0x40 request=0 value=0x0000 index=0x0000 length=0, the program asked for "
         "IN pipe=0x83 length=4"},
        {[](UsbSession& s) { s.DeviceReset(); },
         "line 4: the record has OUT type=0x40 request=0 value=0x0000 index=0x0000 length=0, the program sent RESET"},
    };
    for (const auto& c : cases) {
        ReplayTransport replay(Parse(kHandWritten).entries);
        UsbSession session(replay);
        session.setSleeper([](int) {});
        session.setupPacket().wIndex = 5;
        ASSERT_TRUE(session.DeviceOpen());
        c.act(session);
        EXPECT_EQ(replay.divergence(), c.difference);
    }
    // Past the end of the record.
    ReplayTransport shorter(Parse("0 ATTACH\n0 SETIF\n").entries);
    UsbSession session(shorter);
    ASSERT_TRUE(session.DeviceOpen());
    session.DeviceReset();
    EXPECT_EQ(shorter.divergence(), "the record ends (its last event is on line 2), the program went on with RESET");
    // No instrument in the record: none is found.
    ReplayTransport empty(Parse("# nothing plugged in\n").entries);
    UsbSession alone(empty);
    EXPECT_FALSE(alone.DeviceOpen(std::chrono::milliseconds(10)));
}

TEST(ReplayDifferences, AnUnplugInTheRecordDetachesTheDevice)
{
    ReplayTransport replay(Parse("0 ATTACH\n0 SETIF\n1 RESET\n2 DETACH\n3 RESET\n").entries);
    UsbSession session(replay);
    session.setSleeper([](int) {});
    ASSERT_TRUE(session.DeviceOpen());
    EXPECT_TRUE(session.isAttached());
    session.DeviceReset();
    EXPECT_FALSE(session.isAttached());
    std::uint8_t b[1];
    EXPECT_EQ(session.ReadDataPipe(b, 1), 0u); // no device: no transfer, nothing to compare
    session.DeviceReset();
    EXPECT_EQ(replay.finish(), "");
}

} // namespace
} // namespace tesmar
