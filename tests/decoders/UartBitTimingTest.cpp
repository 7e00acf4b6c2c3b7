// UART frames sent back to back by a transmitter whose clock is a little off, sampled at every
// ratio of sample rate to baud rate the decoder accepts and at every phase of the sampling clock
// against the transmitter's: no byte may be lost or changed.

#include "decoders/UartDecoder.h"
#include "decoders/UartEncoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

namespace tesmar {
namespace {

// The line as the transmitter drives it: `idleBits` high, then frames without idle between
// them, then idle; sampled at (k + phase) × period.
std::vector<std::uint8_t> SampledLine(const std::vector<std::uint8_t>& bytes, const UartSettings& settings,
                                      double txBaud, double period, double phase, double idleBits = 2.5)
{
    std::vector<bool> bits(static_cast<std::size_t>(std::ceil(idleBits)), true);
    const std::size_t lead = bits.size();
    for (std::uint8_t value : bytes)
        for (std::uint8_t bit : UartFrameBits(value, settings))
            bits.push_back(bit != 0);
    bits.insert(bits.end(), 3, true);
    const double txBit = 1.0 / txBaud;
    const double shift = static_cast<double>(lead) - idleBits; // the first frame starts at idleBits
    const auto count = static_cast<std::int64_t>(std::floor((static_cast<double>(bits.size()) - shift) * txBit / period));
    std::vector<std::uint8_t> line(static_cast<std::size_t>(count));
    for (std::int64_t k = 0; k < count; ++k) {
        const auto index = static_cast<std::size_t>((static_cast<double>(k) + phase) * period / txBit + shift);
        line[static_cast<std::size_t>(k)] = bits[std::min(index, bits.size() - 1)] ? 1 : 0;
    }
    return line;
}

std::vector<std::uint8_t> Text(const std::string& s)
{
    return {s.begin(), s.end()};
}

TEST(UartBitTiming, BackToBackFramesSurviveEveryRatePhaseAndClockError)
{
    const std::vector<std::uint8_t> hello = Text("Hello World!\r\nHello World!\r\nHello World!\r\nHello World!\r\n");
    const double bauds[] = {300, 1200, 9600, 57600, 115200, 230400, 460800, 921600};
    const double samplesPerBit[] = {3, 3.3, 4, 5.5, 8, 13, 21.7013888, 50, 104.1666, 200};
    const double phases[] = {0.0, 0.3, 0.6, 0.9};
    // Transmitter clock errors: exact, and two per cent either way from four samples per bit.
    const double errors[] = {0.0, 0.02, -0.02};
    const UartSettings formats[] = {{0, 8, UartParity::None, 1}, {0, 7, UartParity::Even, 1}};
    int checked = 0;
    for (const UartSettings& format : formats)
        for (double baud : bauds)
            for (double spb : samplesPerBit)
                for (double error : errors) {
                    if (error != 0.0 && spb < 4)
                        continue; // a window of ceil(3.3) samples spans 1.2 bits: no room left for clock error
                    for (double phase : phases) {
                        UartSettings settings = format;
                        settings.baud = static_cast<int>(baud);
                        const double period = 1.0 / (baud * spb);
                        const auto line = SampledLine(hello, settings, baud * (1.0 + error), period, phase);
                        const auto capture = MakeLogicCapture(line, {}, period, 0);
                        std::vector<DecoderMessage> messages;
                        const auto got = DecodeUartLine(ChannelQueries(capture), 0, settings, 0.0, "RxD", messages);
                        std::vector<std::uint8_t> want = hello;
                        for (auto& b : want)
                            b &= static_cast<std::uint8_t>((1u << settings.dataBits) - 1);
                        std::ostringstream where;
                        where << settings.dataBits << " bits, " << baud << " baud, " << spb << " samples/bit, phase "
                              << phase << ", clock error " << error;
                        EXPECT_TRUE(messages.empty()) << where.str();
                        EXPECT_EQ(got.bytes, want) << where.str();
                        ++checked;
                    }
                }
    EXPECT_GT(checked, 500);
}

// The shape of the capture that lost a byte: 230 400 baud sampled at 5 MHz.
TEST(UartBitTiming, HelloWorldAt230400BaudSampledAtFiveMegahertz)
{
    const std::vector<std::uint8_t> hello = Text("Hello World!\r\nHello World!\r\nHello World!\r\nHello World!\r\n");
    const UartSettings settings{230400, 8, UartParity::None, 1};
    for (double error : {0.0, 0.005, -0.005, 0.01, -0.01}) {
        const auto line = SampledLine(hello, settings, 230400 * (1 + error), 200e-9, 0.5);
        const auto capture = MakeLogicCapture(line, {}, 200e-9, 0);
        std::vector<DecoderMessage> messages;
        const auto got = DecodeUartLine(ChannelQueries(capture), 0, settings, 0.0, "RxD", messages);
        EXPECT_EQ(got.bytes, hello) << error;
        EXPECT_EQ(got.startTimes.size(), hello.size()) << error;
    }
}

} // namespace
} // namespace tesmar
