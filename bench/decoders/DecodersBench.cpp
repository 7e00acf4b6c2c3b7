// Samples per second of each decoder over a capture of 16 M samples at 1 MHz, busy with traffic
// from end to end, decoded on one core.

#include "decoders/I2cDecoder.h"
#include "decoders/OneWireDecoder.h"
#include "decoders/SpiDecoder.h"
#include "decoders/UartDecoder.h"
#include "decoders/UartEncoder.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

namespace tesmar {
namespace {

constexpr std::int64_t kSamples = 16 * 1024 * 1024;
constexpr double kPeriod = 1e-6;

// UART 115 200 baud 8N1 on A.0 with one idle bit between frames.
LogicCapture UartCapture()
{
    std::vector<std::uint8_t> bus(kSamples, 0xFF);
    std::mt19937 random(1);
    const double samplesPerBit = 1.0 / (115200 * kPeriod);
    const UartSettings settings{115200, 8, UartParity::None, 1};
    double bit = 1;
    for (;;) {
        const auto frame = UartFrameBits(static_cast<std::uint8_t>(random()), settings);
        if ((bit + 12) * samplesPerBit >= kSamples)
            break;
        for (std::uint8_t level : frame) {
            const auto from = std::llround(bit * samplesPerBit), to = std::llround((bit + 1) * samplesPerBit);
            for (auto i = from; i < to; ++i)
                bus[i] = level ? 0xFF : 0xFE;
            bit += 1;
        }
        bit += 1;
    }
    return MakeLogicCapture(std::move(bus), {}, kPeriod, 0);
}

// SPI mode 0 at 100 kHz: SCK A.0, MOSI A.1, MISO A.2.
LogicCapture SpiCapture()
{
    std::vector<std::uint8_t> bus(kSamples, 0);
    std::mt19937 random(2);
    unsigned mosi = 0, miso = 0;
    for (std::int64_t i = 0; i < kSamples; ++i) {
        const std::int64_t bitIndex = i / 10;
        if (i % 80 == 0) {
            mosi = random() & 0xFF;
            miso = random() & 0xFF;
        }
        const int k = 7 - static_cast<int>(bitIndex % 8);
        const bool clock = (i % 10) >= 5;
        bus[i] = static_cast<std::uint8_t>((clock ? 1 : 0) | (((mosi >> k) & 1) << 1) | (((miso >> k) & 1) << 2));
    }
    return MakeLogicCapture(std::move(bus), {}, kPeriod, 0);
}

// I2C at 100 kbit/s: SCL A.0, SDA A.1; transactions of a start, an address and four data bytes.
LogicCapture I2cCapture()
{
    std::vector<std::uint8_t> bus;
    bus.reserve(kSamples);
    std::mt19937 random(3);
    auto put = [&](int scl, int sda, int slots) {
        for (int s = 0; s < slots * 2 && static_cast<std::int64_t>(bus.size()) < kSamples; ++s)
            bus.push_back(static_cast<std::uint8_t>(scl | (sda << 1)));
    };
    auto bit = [&](int v) { put(0, v, 1); put(1, v, 2); put(0, v, 1); };
    while (static_cast<std::int64_t>(bus.size()) < kSamples) {
        put(1, 1, 4);
        put(1, 0, 1);
        put(0, 0, 1);
        for (int b = 0; b < 5; ++b) {
            const unsigned value = random() & 0xFF;
            for (int k = 7; k >= 0; --k)
                bit((value >> k) & 1);
            bit(0);
        }
        put(0, 0, 1);
        put(1, 0, 1);
        put(1, 1, 2);
    }
    return MakeLogicCapture(std::move(bus), {}, kPeriod, 0);
}

// 1-Wire on A.0: a reset, a presence pulse and bytes in 70 µs slots, over and over.
LogicCapture OneWireCapture()
{
    std::vector<std::uint8_t> bus;
    bus.reserve(kSamples);
    std::mt19937 random(4);
    auto pulse = [&](int low, int high) {
        for (int i = 0; i < low && static_cast<std::int64_t>(bus.size()) < kSamples; ++i)
            bus.push_back(0);
        for (int i = 0; i < high && static_cast<std::int64_t>(bus.size()) < kSamples; ++i)
            bus.push_back(1);
    };
    while (static_cast<std::int64_t>(bus.size()) < kSamples) {
        pulse(480, 70);
        pulse(120, 300);
        for (int b = 0; b < 64; ++b) {
            const unsigned value = random() & 0xFF;
            for (int k = 0; k < 8; ++k)
                ((value >> k) & 1) ? pulse(6, 64) : pulse(60, 10);
        }
    }
    return MakeLogicCapture(std::move(bus), {}, kPeriod, 0);
}

// `covered`: the samples a decode actually went through (the row limit can stop it early).
void Report(benchmark::State& state, std::size_t elements, double covered = static_cast<double>(kSamples))
{
    state.counters["samples/s"] = benchmark::Counter(covered, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["elements"] = static_cast<double>(elements);
}

void BM_Uart(benchmark::State& state)
{
    const LogicCapture capture = UartCapture();
    const ChannelQueries queries(capture);
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::vector<DecoderMessage> messages;
        // The whole capture: the entry limit would stop the line long before its end, so the
        // line is decoded in parts the way a user steps the marker through it.
        double marker = capture.firstSampleTime;
        bytes = 0;
        for (;;) {
            const auto line = DecodeUartLine(queries, 0, {115200, 8, UartParity::None, 1}, marker, "RxD", messages);
            bytes += line.bytes.size();
            if (line.bytes.size() <= static_cast<std::size_t>(kUartMaxEntries))
                break;
            marker = line.startTimes.back();
            bytes -= 1;
        }
        benchmark::DoNotOptimize(bytes);
    }
    Report(state, bytes);
}

void BM_Spi(benchmark::State& state)
{
    const LogicCapture capture = SpiCapture();
    const ChannelQueries queries(capture);
    std::size_t pairs = 0;
    for (auto _ : state) {
        // The pair limit stops a decode after 20 001 pairs (1.6 M samples here); step on.
        double marker = 0;
        pairs = 0;
        for (;;) {
            const auto result = DecodeSpi(queries, {0, 1, 2, SpiMode(0), marker});
            pairs += result.mosi.size();
            if (result.mosi.size() <= static_cast<std::size_t>(kSpiMaxPairs))
                break;
            marker = result.mosiTimes.back();
            pairs -= 1;
        }
        benchmark::DoNotOptimize(pairs);
    }
    Report(state, pairs);
}

void BM_SpiOnePass(benchmark::State& state)
{
    // One decode as the window runs it: the edge-spacing pass over the whole capture, then
    // bytes up to the pair limit.
    const LogicCapture capture = SpiCapture();
    const ChannelQueries queries(capture);
    for (auto _ : state) {
        const auto result = DecodeSpi(queries, {0, 1, 2, SpiMode(0), 0.0});
        benchmark::DoNotOptimize(result.mosi.data());
    }
    Report(state, 0);
}

void BM_I2c(benchmark::State& state)
{
    const LogicCapture capture = I2cCapture();
    const ChannelQueries queries(capture);
    std::size_t rows = 0;
    double covered = 0;
    for (auto _ : state) {
        const auto result = DecodeI2c(queries, {0, 1, 0.0});
        rows = static_cast<std::size_t>(result.grid.count);
        covered = rows > 0 ? result.grid.rows[rows - 1].times[I2cDataAck] / kPeriod : 0;
        benchmark::DoNotOptimize(rows);
    }
    Report(state, rows, covered);
}

void BM_OneWire(benchmark::State& state)
{
    const LogicCapture capture = OneWireCapture();
    const ChannelQueries queries(capture);
    std::size_t rows = 0;
    double covered = 0;
    for (auto _ : state) {
        const auto result = DecodeOneWire(queries, {0, OneWireDevice::Thermometer, 0.0});
        rows = result.rows.size();
        covered = rows > 0 ? result.rows.back().time / kPeriod : 0;
        benchmark::DoNotOptimize(rows);
    }
    Report(state, rows, covered);
}

BENCHMARK(BM_Uart)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Spi)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SpiOnePass)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_I2c)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OneWire)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tesmar

BENCHMARK_MAIN();
