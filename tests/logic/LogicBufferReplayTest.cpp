// The logic analyser's read-outs against instrument answers written from the protocol:
// for every rate code and several ring pointers in head byte 136, the instrument's bytes are made
// from a table of the samples the capture must show (bus A sent bit-reversed, the head and body
// blocks laid out and the pre-trigger ring turned as the instrument keeps them), replayed through
// the reader, unpacked, and the capture compared with the table.

#include "../device/HandWrittenSession.h"
#include "logic/LogicCapture.h"
#include "logic/LogicReaders.h"

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <sstream>

namespace tesmar {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Line k of the sample is bit 7 − k on the wire when bus A comes reversed.
std::uint8_t Mirror(std::uint8_t sample)
{
    std::uint8_t wire = 0;
    for (int k = 0; k < 8; ++k)
        if (sample & (1 << k))
            wire |= static_cast<std::uint8_t>(0x80 >> k);
    return wire;
}

// Samples that differ from their neighbours in every window the unpacking could confuse.
std::uint8_t SampleA(int i) { return static_cast<std::uint8_t>((i * 73 + (i >> 8) * 29 + 5) & 0xFF); }
std::uint8_t SampleB(int i) { return static_cast<std::uint8_t>((i * 151 + (i >> 7) * 17 + 200) & 0xFF); }

constexpr std::uint8_t kUnused = 0xEE; // bytes the capture must not show

struct LogicCase {
    const char* what;
    LogicBlockInput in;
    int modePreTrigger;          // the pre-trigger count the rate knob handler keeps
    std::uint8_t ring;           // head byte 136 as the instrument sends it
    std::array<std::uint8_t, 9> block; // command 7's data, by hand
    std::uint16_t wValue, wIndex;
    int count;                   // samples shown per bus
    int preTrigger;              // samples before time 0
    bool firstReadTimesOut = false;
};

LogicBlockInput Input(int entry, double rate)
{
    LogicBlockInput in;
    in.rateEntry = entry;
    in.sampleRate = rate;
    in.busBGenerator = false;
    in.keepOutputs = false;
    return in;
}

LogicBlockInput EdgeOnB(int entry, double rate, int line, bool rising, std::uint8_t pre)
{
    LogicBlockInput in = Input(entry, rate);
    in.triggerOn = true;
    in.edgeLine = line;
    in.edgeRising = rising;
    in.preTrigger = pre;
    return in;
}

LogicBlockInput MaskOnA(std::uint8_t pre)
{
    LogicBlockInput in = Input(31, 1e6);
    in.triggerOn = true;
    in.patternTrigger = true;
    in.patternText = "1x0";
    in.patternOnBusA = true;
    in.preTrigger = pre;
    return in;
}

LogicBlockInput SkipAtTwoMegahertz()
{
    LogicBlockInput in = EdgeOnB(32, 2e6, 9, true, 0);
    in.skipFalling = true;
    in.skipCount = 255;
    in.skipLine = 6;
    return in;
}

LogicBlockInput SixteenLines()
{
    LogicBlockInput in = EdgeOnB(31, 1e6, 10, true, 0);
    in.busBAnalyser = true;
    return in;
}

LogicBlockInput NotReversed()
{
    LogicBlockInput in = Input(31, 1e6);
    in.busAInverse = false;
    return in;
}

// wValue = −(24 MHz / F): 8 MHz −3, 6 MHz −4, 4 MHz −6, 2.667 MHz −9, 2 MHz −12, 1 MHz −24.
const LogicCase kCases[] = {
    {"8 MHz, B.2 rising", EdgeOnB(36, 8e6, 10, true, 0), 0, 0x55, {0, 0, 0xA0, 0, 0x0A, 0, 0, 0, 0}, 0xFFFD, 0, 128, 0},
    {"6 MHz, no trigger", Input(35, 6e6), 0, 0x00, {1, 0, 0, 0, 0, 0, 0, 0, 0}, 0xFFFC, 0, 128, 0, true},
    {"4 MHz, pattern 1x0", [] {
         LogicBlockInput in = Input(34, 4e6);
         in.triggerOn = true;
         in.patternTrigger = true;
         in.patternText = "1x0";
         return in;
     }(), 0, 0x07, {2, 0, 0xD0, 0, 0, 0x20, 0xA0, 0, 0}, 0xFFFA, 0, 128, 0},
    // Code 3 takes the ring pointer as it is: below 7 the first eight samples turn.
    {"2.667 MHz, ring 0", EdgeOnB(33, 24e6 / 9, 15, true, 8), 8, 0, {3, 0, 0xA0, 0, 0x0F, 0, 0, 8, 0}, 0xFFF7, 0, 1160, 8},
    {"2.667 MHz, ring 3", EdgeOnB(33, 24e6 / 9, 15, true, 8), 8, 3, {3, 0, 0xA0, 0, 0x0F, 0, 0, 8, 0}, 0xFFF7, 0, 1160, 8},
    {"2.667 MHz, ring 6", EdgeOnB(33, 24e6 / 9, 15, true, 8), 8, 6, {3, 0, 0xA0, 0, 0x0F, 0, 0, 8, 0}, 0xFFF7, 0, 1160, 8},
    {"2.667 MHz, ring 7", EdgeOnB(33, 24e6 / 9, 15, true, 8), 8, 7, {3, 0, 0xA0, 0, 0x0F, 0, 0, 8, 0}, 0xFFF7, 0, 1160, 8},
    {"2.667 MHz, ring 9", EdgeOnB(33, 24e6 / 9, 15, true, 8), 8, 9, {3, 0, 0xA0, 0, 0x0F, 0, 0, 8, 0}, 0xFFF7, 0, 1160, 8},
    {"2.667 MHz, no trigger, ring 3", Input(33, 24e6 / 9), 0, 3, {3, 0, 0, 0, 0, 0, 0, 0, 0}, 0xFFF7, 0, 1160, 0},
    // Code 4: r = (byte AND 7) − 1, or 7 when that is 0.
    {"2 MHz, ring 0x08", EdgeOnB(32, 2e6, 8, false, 8), 8, 0x08, {4, 0, 0x80, 0, 0, 0, 0, 8, 0}, 0xFFF4, 0, 1160, 8},
    {"2 MHz, ring 0x00", EdgeOnB(32, 2e6, 8, false, 8), 8, 0x00, {4, 0, 0x80, 0, 0, 0, 0, 8, 0}, 0xFFF4, 0, 1160, 8},
    {"2 MHz, ring 0x01", EdgeOnB(32, 2e6, 8, false, 8), 8, 0x01, {4, 0, 0x80, 0, 0, 0, 0, 8, 0}, 0xFFF4, 0, 1160, 8},
    {"2 MHz, ring 0x05", EdgeOnB(32, 2e6, 8, false, 8), 8, 0x05, {4, 0, 0x80, 0, 0, 0, 0, 8, 0}, 0xFFF4, 0, 1160, 8},
    {"2 MHz, ring 0x13", EdgeOnB(32, 2e6, 8, false, 8), 8, 0x13, {4, 0, 0x80, 0, 0, 0, 0, 8, 0}, 0xFFF4, 0, 1160, 8,
     true},
    {"2 MHz, ring 0x0F", EdgeOnB(32, 2e6, 8, false, 8), 8, 0x0F, {4, 0, 0x80, 0, 0, 0, 0, 8, 0}, 0xFFF4, 0, 1160, 8},
    {"2 MHz, pulse skipping, ring 0x03", SkipAtTwoMegahertz(), 0, 0x03, {4, 0, 0xA0, 0xC0, 0x09, 0, 0, 0, 0x02},
     0xFFF4, 0x01FF, 1160, 0},
    // Code 5, eight lines, pre-trigger byte p = 32: the ring turns for 1 < r ≤ p + 1, and p − 1
    // samples lie before time 0 whatever r is.
    {"1 MHz, ring 0", MaskOnA(32), 32, 0, {5, 0, 0xD0, 0, 0, 0x20, 0xA0, 32, 0}, 0xFFE8, 0, 1544, 31},
    {"1 MHz, ring 1", MaskOnA(32), 32, 1, {5, 0, 0xD0, 0, 0, 0x20, 0xA0, 32, 0}, 0xFFE8, 0, 1544, 31},
    {"1 MHz, ring 2", MaskOnA(32), 32, 2, {5, 0, 0xD0, 0, 0, 0x20, 0xA0, 32, 0}, 0xFFE8, 0, 1544, 31},
    {"1 MHz, ring 17", MaskOnA(32), 32, 17, {5, 0, 0xD0, 0, 0, 0x20, 0xA0, 32, 0}, 0xFFE8, 0, 1544, 31, true},
    {"1 MHz, ring 33", MaskOnA(32), 32, 33, {5, 0, 0xD0, 0, 0, 0x20, 0xA0, 32, 0}, 0xFFE8, 0, 1544, 31},
    {"1 MHz, ring 34", MaskOnA(32), 32, 34, {5, 0, 0xD0, 0, 0, 0x20, 0xA0, 32, 0}, 0xFFE8, 0, 1544, 31},
    {"1 MHz, ring 136", MaskOnA(32), 32, 136, {5, 0, 0xD0, 0, 0, 0x20, 0xA0, 32, 0}, 0xFFE8, 0, 1544, 31},
    {"1 MHz, pre-trigger 8, ring 5", MaskOnA(8), 8, 5, {5, 0, 0xD0, 0, 0, 0x20, 0xA0, 8, 0}, 0xFFE8, 0, 1544, 7},
    {"1 MHz, no trigger, ring 17", Input(31, 1e6), 0, 17, {5, 0, 0, 0, 0, 0, 0, 0, 0}, 0xFFE8, 0, 1544, 0},
    {"1 MHz, bus A not reversed", NotReversed(), 0, 0, {5, 0, 0, 0, 0, 0, 0, 0, 0}, 0xFFE8, 0, 1544, 0},
    // Sixteen lines: A, B, A, B … through head and body; no ring.
    {"1 MHz, 16 lines, ring 5", SixteenLines(), 0, 5, {5, 0x80, 0xA0, 0, 0xA0, 0x04, 0, 0, 0}, 0xFFE8, 0, 772, 0},
};

struct DeviceFrame {
    Bytes head = Bytes(137, kUnused);
    Bytes body = Bytes(1408, kUnused);
};

// The instrument's head and body blocks that hold the samples `a` (and `b`) of the case.
DeviceFrame Encode(const LogicCase& c, const Bytes& a, const Bytes& b)
{
    const bool reversed = c.in.busAInverse;
    const auto wire = [reversed](std::uint8_t sample) { return reversed ? Mirror(sample) : sample; };
    const bool skip = c.in.triggerOn && (c.in.skipRising || c.in.skipFalling) && c.in.skipCount > 0;
    const int code = c.block[0];
    DeviceFrame f;
    f.head[136] = c.ring;
    if (code <= 2) {
        for (int i = 0; i < 128; ++i)
            f.head[i] = wire(a[i]);
        f.head.resize(128);
        return f;
    }
    if (code <= 4) {
        int r = c.ring;
        if (code == 4)
            r = (r & 7) == 0 ? 7 : (r & 7) - 1;
        const bool turn = c.in.triggerOn && !skip && r < 7;
        // The head in the order it is shown: its bytes 128 … 135 first, then 0 … 127.
        Bytes shownHead(136);
        for (int k = 0; k < 8; ++k)
            shownHead[k] = turn ? a[(k - r - 1 + 16) % 8] : a[k];
        for (int k = 8; k < 136; ++k)
            shownHead[k] = a[k];
        for (int k = 0; k < 8; ++k)
            f.head[128 + k] = wire(shownHead[k]);
        for (int k = 8; k < 136; ++k)
            f.head[k - 8] = wire(shownHead[k]);
        for (int i = 0; i < 1160 - 136; ++i)
            f.body[i] = wire(a[136 + i]);
        return f;
    }
    if (c.in.busBAnalyser) {
        for (int j = 0; j < 1544; ++j) {
            const std::uint8_t byte = j % 2 == 0 ? wire(a[j / 2]) : b[j / 2];
            (j < 136 ? f.head[j] : f.body[j - 136]) = byte;
        }
        return f;
    }
    const int p = c.block[7];
    const int r = c.ring;
    const bool turn = c.in.triggerOn && !skip && !c.in.busBGenerator && 1 < r && r <= p + 1;
    const int s = p - r + 1;
    for (int k = 0; k < 136; ++k)
        f.head[k] = wire(turn && k < p ? a[(k - s + p) % p] : a[k]);
    for (int i = 0; i < 1408; ++i)
        f.body[i] = wire(a[136 + i]);
    return f;
}

// The buffered reader's exchange as the instrument sees it.
std::string Session(const LogicCase& c, const DeviceFrame& f)
{
    HandWrittenSession s;
    s.out(7, c.wValue, c.wIndex, Bytes(c.block.begin(), c.block.end()));
    const int first = c.block[0] <= 2 ? 128 : 512;
    if (c.firstReadTimesOut)
        s.in(first, {}, usb_status::TimeOut); // no trigger yet: the reader asks again
    if (c.block[0] <= 2) {
        s.in(128, f.head);
        return s.text();
    }
    s.in(512, Bytes(f.body.begin(), f.body.begin() + 512));
    s.out(6, 1, 0);
    s.in(512, Bytes(f.body.begin() + 512, f.body.begin() + 1024));
    s.out(6, 2, 0);
    Bytes third(f.body.begin() + 1024, f.body.end());
    third.resize(388, kUnused); // the last 4 bytes of the part are not samples
    s.in(388, third);
    s.out(6, 3, 0);
    s.in(137, f.head);
    return s.text();
}

TEST(LogicBufferReplay, EveryRateCodeAndRingPointerShowsTheSamplesTheInstrumentSent)
{
    for (const LogicCase& c : kCases) {
        SCOPED_TRACE(c.what);
        Bytes a(1544), b(772);
        for (int i = 0; i < 1544; ++i)
            a[i] = SampleA(i);
        for (int i = 0; i < 772; ++i)
            b[i] = SampleB(i);
        ReplayedSession replay(Session(c, Encode(c, a, b)));
        ASSERT_EQ(replay.error, "");
        ASSERT_TRUE(replay.opened);

        const LogicBlockResult block = BuildLogicBlock(c.in);
        LogicBufferFrame frame;
        const std::atomic<bool> stop{false};
        EXPECT_TRUE(ReadLogicBuffer(replay.session, block, frame, stop));
        EXPECT_EQ(replay.transport.finish(), "");
        UnpackedLogic u = UnpackLogicBuffer(frame, BufferLayoutOf(c.in, block, c.modePreTrigger));
        const LogicCapture capture = MakeLogicCapture(std::move(u.busA), std::move(u.busB), 1.0 / c.in.sampleRate, u.preTrigger);

        EXPECT_EQ(capture.busA, Bytes(a.begin(), a.begin() + c.count));
        EXPECT_EQ(capture.busB, c.in.busBAnalyser ? b : Bytes());
        EXPECT_EQ(capture.preTriggerCount, c.preTrigger);
        EXPECT_DOUBLE_EQ(capture.firstSampleTime, -c.preTrigger / c.in.sampleRate);
    }
}

// The stream (rate code 6) at 100 kHz, 4096 samples, 410 before the trigger, mask "1x" on bus A:
// the instrument's 512-byte blocks carry the 410 bytes that fill the ring, `searched` bytes that do
// not match, the trigger sample and the rest; the capture shows the last 410 samples up to the
// trigger, then what followed.
TEST(LogicStreamReplay, TheRingEndsAtTheTriggerSampleWhereverItFired)
{
    constexpr int kDepth = 4096, kPre = 410;
    for (const int searched : {0, 409, 700}) {
        SCOPED_TRACE(searched);
        Bytes sent; // in line order, as the capture must show them
        for (int i = 0; i < kPre + searched; ++i)
            sent.push_back(static_cast<std::uint8_t>(SampleA(i) & ~0x02)); // A.1 low: no match
        sent.push_back(static_cast<std::uint8_t>(SampleA(7) | 0x02));     // A.1 high: the trigger
        for (int i = 0; static_cast<int>(sent.size()) < 10 * 512; ++i)
            sent.push_back(SampleB(i));
        const Bytes expected(sent.begin() + searched + 1, sent.begin() + searched + 1 + kDepth);

        HandWrittenSession s;
        // Pattern "1x" reversed: value and care 0x40; byte 7 = 410 mod 256; wValue = −240.
        s.out(7, 0xFF10, 0, {6, 0, 0xD0, 0, 0, 0x40, 0x40, 0x9A, 0});
        const int blocks = (kPre + searched + 1 + (kDepth - kPre) + 511) / 512;
        for (int b = 0; b < blocks; ++b) {
            Bytes block;
            for (int i = 0; i < 512; ++i)
                block.push_back(Mirror(sent[b * 512 + i]));
            s.in(512, block);
        }
        // The reader resets the device to end the stream.
        ReplayedSession replay(s.text() + "99 RESET\n");
        ASSERT_EQ(replay.error, "");
        ASSERT_TRUE(replay.opened);

        LogicBlockInput in = Input(20, 100e3);
        in.bufferMode = false;
        in.triggerOn = true;
        in.patternTrigger = true;
        in.patternText = "1x";
        in.patternOnBusA = true;
        in.preTrigger = kPre & 0xFF;
        const std::atomic<bool> stop{false};
        LogicStreamResult result = ReadLogicStream(replay.session, BuildLogicBlock(in), kDepth, kPre, stop);
        EXPECT_EQ(replay.transport.finish(), "");
        EXPECT_EQ(result.status, LogicStreamStatus::Good);
        const auto shown = FinishLogicStream(std::move(result), kPre, true);
        ASSERT_TRUE(shown.has_value());
        EXPECT_EQ(*shown, expected);
    }
}

// A session typed in full, as a user would write one to try the reader: 8 MHz, the 128 bytes
// 00 01 … 7F. Bus A comes reversed, so the byte 0x01 is line A.7 high.
TEST(LogicBufferReplay, AHandTypedSessionFile)
{
    std::ifstream file(TESMAR_TEST_DATA "/usb/logic-8mhz-counter.txt");
    ASSERT_TRUE(file);
    std::ostringstream text;
    text << file.rdbuf();
    ReplayedSession replay(text.str());
    ASSERT_EQ(replay.error, "");
    ASSERT_TRUE(replay.opened);
    const LogicBlockResult block = BuildLogicBlock(EdgeOnB(36, 8e6, 10, true, 0));
    LogicBufferFrame frame;
    const std::atomic<bool> stop{false};
    ASSERT_TRUE(ReadLogicBuffer(replay.session, block, frame, stop));
    EXPECT_EQ(replay.transport.finish(), "");
    LogicBlockInput in = EdgeOnB(36, 8e6, 10, true, 0);
    const UnpackedLogic u = UnpackLogicBuffer(frame, BufferLayoutOf(in, block, 0));
    ASSERT_EQ(u.busA.size(), 128u);
    const Bytes first = {0x00, 0x80, 0x40, 0xC0, 0x20, 0xA0, 0x60, 0xE0, 0x10};
    EXPECT_EQ(Bytes(u.busA.begin(), u.busA.begin() + 9), first);
    EXPECT_EQ(u.busA[127], 0xFE); // 0x7F: every line but A.0
    EXPECT_EQ(u.preTrigger, 0);
}

} // namespace
} // namespace tesmar
