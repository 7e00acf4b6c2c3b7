#include "decoders/UartDecoder.h"

#include "decoders/DecoderText.h"
#include "text/MessageTable.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tesmar {

namespace {

// A line held sample by sample, bit `mask` of each byte.
class ByteLine {
public:
    ByteLine(const std::uint8_t* data, std::int64_t size, std::uint8_t mask) : data_(data), size_(size), mask_(mask) {}
    std::int64_t size() const { return size_; }
    bool high(std::int64_t s) const { return data_[s] & mask_; }
    std::int64_t ones(std::int64_t s, std::int64_t n) const
    {
        std::int64_t count = 0;
        const std::uint8_t* p = data_ + s;
        for (std::int64_t k = 0; k < n; ++k)
            count += (p[k] & mask_) != 0;
        return count;
    }
    std::int64_t skipHigh(std::int64_t s, std::int64_t end) const
    {
        while (s < end && (data_[s] & mask_))
            ++s;
        return s;
    }
    std::int64_t lastHighAtOrBefore(std::int64_t s) const
    {
        while (s > 0 && !high(s))
            --s;
        return s;
    }
    void release(std::int64_t) const {}

private:
    const std::uint8_t* data_;
    std::int64_t size_;
    std::uint8_t mask_;
};

// Reads bits at the nominal bit time, giving a sample back whenever the frame has used more
// samples than its bits are long, so long frames stay aligned.
template <class Line> class UartBitSampler {
public:
    // The caller makes sure that a bit is shorter than the data.
    UartBitSampler(Line& line, double period, double bitTime)
        : line_(line), size_(line.size()), period_(period), bitTime_(bitTime),
          samplesPerBit_(SamplesPerBit(period, bitTime))
    {
    }

    // The fewest whole samples that cover one bit.
    static std::int64_t SamplesPerBit(double period, double bitTime)
    {
        auto samples = static_cast<std::int64_t>(std::ceil(bitTime / period));
        while (samples > 1 && static_cast<double>(samples - 1) * period >= bitTime)
            --samples;
        return std::max<std::int64_t>(samples, 1);
    }

    std::int64_t samplesPerBit() const { return samplesPerBit_; }

    // A stop bit cut by the end of the data: the line is high at the last sample (the samples
    // before may still belong to the last data or parity bit).
    bool cutStopBitHigh(std::int64_t s) const { return s < size_ && line_.high(size_ - 1); }
    void startFrame() { used_ = bits_ = 0; }

    // False when the bit would run past the end of the data.
    bool readBit(std::int64_t& s, int& bit)
    {
        if (s < 0 || s + samplesPerBit_ > size_)
            return false;
        const std::int64_t ones = line_.ones(s, samplesPerBit_);
        s += samplesPerBit_;
        used_ += samplesPerBit_;
        bit = ones > samplesPerBit_ - ones ? 1 : 0;
        ++bits_;
        if (static_cast<double>(used_) * period_ > static_cast<double>(bits_) * bitTime_) {
            --s;
            --used_;
        }
        return true;
    }

private:
    Line& line_;
    std::int64_t size_;
    double period_;
    double bitTime_;
    std::int64_t samplesPerBit_;
    std::int64_t used_ = 0;
    std::int64_t bits_ = 0;
};

// Room for as many frames as the samples can hold, so that the results are never copied as they
// grow; room that is never written costs no memory.
void ReserveForFrames(UartLineResult& result, std::int64_t samples, int frameBits, std::int64_t samplesPerBit,
                      std::int64_t maxEntries)
{
    // An accepted frame moves on by at least its bits and a stop bit, one sample short of a bit
    // each, less the half bit the next search starts back.
    const std::int64_t shortestFrame =
        std::max<std::int64_t>(1, (frameBits + 1) * (samplesPerBit - 1) - samplesPerBit / 2);
    constexpr std::int64_t kMostReserved = std::int64_t(1) << 24;
    const std::int64_t most = std::min(maxEntries, kMostReserved - 1) + 1; // one past the limit is kept
    const auto frames = static_cast<std::size_t>(std::max<std::int64_t>(0, std::min(samples / shortestFrame + 1, most)));
    result.bytes.reserve(frames);
    result.startTimes.reserve(frames);
}

template <class Line>
UartLineResult DecodeUartOn(Line& line, const UartLineTiming& timing, const UartSettings& settings, double startTime,
                            const char* lineName, std::vector<DecoderMessage>& messages, std::int64_t maxEntries)
{
    UartLineResult result;
    const double bitTime = 1.0 / settings.baud;
    const double period = timing.period;
    if (!(period > 0.0) || bitTime / period <= 2.0) {
        messages.push_back({Msg::strLanUartTdDecode, {std::string(lineName), IntegerText(2.0 / bitTime)}});
        return result;
    }
    const std::int64_t e = std::min<std::int64_t>(timing.samples, line.size());
    std::int64_t s = timing.hasPoints ? ChannelQueries::IndexAt(startTime, timing.firstTime, period) : 0;
    if (e <= 0 || s > e)
        return result;
    if (s == e)
        return result;
    auto timeAt = [&](std::int64_t index) { return timing.firstTime + period * static_cast<double>(index); };

    // Frames (up to their stop bit) longer than the whole capture cannot be in it (and would take as long to look for
    // as they have samples).
    const int frameBits = 1 + settings.dataBits + (settings.parity != UartParity::None ? 1 : 0);
    if (bitTime * frameBits > period * static_cast<double>(e))
        return result;

    UartBitSampler<Line> sampler(line, period, bitTime);
    ReserveForFrames(result, e - s, frameBits, sampler.samplesPerBit(), maxEntries);

    // Start at the falling edge of the frame the marker is in or before.
    if (line.high(s))
        s = line.skipHigh(s, e);
    else
        s = line.lastHighAtOrBefore(s);

    while (s < e) {
        const std::int64_t frameStart = s;
        line.release(frameStart);
        sampler.startFrame();
        int bit = 0;
        if (!sampler.readBit(s, bit))
            break;
        if (bit == 1) {
            s = line.skipHigh(s, e);
            continue;
        }
        unsigned value = 0;
        bool complete = true;
        for (int k = 0; k < settings.dataBits && complete; ++k) {
            complete = sampler.readBit(s, bit);
            value |= static_cast<unsigned>(bit) << k;
        }
        if (!complete)
            break; // the frame's data runs past the end of the capture
        int stop = 0;
        const bool parityRead = settings.parity == UartParity::None || sampler.readBit(s, bit); // parity is not checked
        if (!parityRead || !sampler.readBit(s, stop)) {
            // The capture ends in the parity or stop bit: the byte is whole, its stop bit
            // unchecked but for the level at the end (a line held low is no frame).
            if (sampler.cutStopBitHigh(s)) {
                result.bytes.push_back(static_cast<std::uint8_t>(value));
                result.startTimes.push_back(timeAt(frameStart));
            }
            break;
        }
        if (stop == 0) {
            // Framing error: look again one bit after this frame's start.
            s = frameStart;
            sampler.startFrame();
            if (!sampler.readBit(s, bit))
                break;
        } else {
            result.bytes.push_back(static_cast<std::uint8_t>(value));
            result.startTimes.push_back(timeAt(frameStart));
            if (static_cast<std::int64_t>(result.startTimes.size()) > maxEntries)
                break;
            // Look for the next start edge from the middle of the stop bit: a transmitter slightly
            // faster than the nominal rate begins its next frame before a whole stop bit has
            // passed, and starting that frame where this one's bit times end would carry the
            // error on from frame to frame until a byte is lost.
            s -= sampler.samplesPerBit() / 2;
        }
        s = line.skipHigh(s, e);
    }
    return result;
}

} // namespace

UartLineResult DecodeUartLine(const ChannelQueries& queries, int channel, const UartSettings& settings,
                              double startTime, const char* lineName, std::vector<DecoderMessage>& messages,
                              std::int64_t maxEntries)
{
    const auto data = queries.data(channel);
    ByteLine line(data.data(), static_cast<std::int64_t>(data.size()), ChannelQueries::lineMask(channel));
    const UartLineTiming timing{queries.period(channel), queries.firstTime(channel), queries.samples(channel),
                                queries.hasPoints(channel)};
    return DecodeUartOn(line, timing, settings, startTime, lineName, messages, maxEntries);
}

UartLineResult DecodeUartEdges(EdgeLine& line, const UartLineTiming& timing, const UartSettings& settings,
                               double startTime, const char* lineName, std::vector<DecoderMessage>& messages,
                               std::int64_t maxEntries)
{
    return DecodeUartOn(line, timing, settings, startTime, lineName, messages, maxEntries);
}

UartDecodeResult DecodeUart(const ChannelQueries& queries, const UartDecodeRequest& request)
{
    UartDecodeResult result;
    if (request.rxd)
        result.rxd = DecodeUartLine(queries, *request.rxd, request.settings, request.marker1, "RxD", result.messages,
                                    request.maxEntries);
    if (request.txd)
        result.txd = DecodeUartLine(queries, *request.txd, request.settings, request.marker2.value_or(request.marker1),
                                    "TxD", result.messages, request.maxEntries);
    return result;
}

DecoderTable UartTable(const UartDecodeResult& result, const MessageTable& table)
{
    DecoderTable grid;
    grid.headers = {"  " + table.text(Msg::strNumber), " BIN (RxD)", "HEX", " BIN (TxD)", "HEX"};
    grid.timeColumns = {1, 3};
    grid.timeNames = {"RxD", "TxD"};
    const std::size_t count = std::max(result.rxd.bytes.size(), result.txd.bytes.size());
    const double none = std::numeric_limits<double>::quiet_NaN();
    for (std::size_t r = 0; r < count; ++r) {
        std::vector<std::string> row(5);
        std::vector<double> times(5, none);
        row[0] = std::to_string(r + 1);
        if (r < result.rxd.bytes.size()) {
            row[1] = BinaryDigits(result.rxd.bytes[r], 8);
            row[2] = HexByte(result.rxd.bytes[r]);
            times[1] = times[2] = result.rxd.startTimes[r];
        }
        if (r < result.txd.bytes.size()) {
            row[3] = BinaryDigits(result.txd.bytes[r], 8);
            row[4] = HexByte(result.txd.bytes[r]);
            times[3] = times[4] = result.txd.startTimes[r];
        }
        grid.rows.push_back(std::move(row));
        grid.times.push_back(std::move(times));
    }
    return grid;
}

} // namespace tesmar
