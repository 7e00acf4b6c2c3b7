#include "decoders/I2cDecoder.h"

#include "decoders/DecoderText.h"
#include "decoders/EdgeSpacing.h"
#include "decoders/SampleLineEvents.h"

#include <algorithm>

namespace tesmar {

namespace {

enum class I2cEvent { None, Start, Stop, End };

constexpr int kAckMissing = -1;

struct I2cByte {
    unsigned value = 0;
    int ack = 1; // 0 ACK, 1 NACK, or missing
    double byteTime = 0;
    double ackTime = 0;
};

// The bus read bit by bit, stepping from change to change: the levels stay as they are in
// between, so every question it asks has the same answer there.
template <class Events> class I2cEventReader {
public:
    I2cEventReader(Events& events, const LineTiming& timing, const I2cDecodeRequest& request, std::int64_t start,
                   std::int64_t end, I2cGrid& grid)
        : at_(events), timing_(timing), scl_(request.scl), sda_(request.sda), start_(start), end_(end), p_(start),
          grid_(grid), maxRows_(request.maxRows)
    {
        at_.moveTo(p_);
    }

    bool atEnd() const { return p_ > end_; }
    double timeHere() const { return timing_.timeAt(p_); }
    bool full() const { return grid_.count >= maxRows_; }

    // One bit: SDA at the first sample with SCL high; a START or STOP while SCL stays high is
    // reported as the event. End: no high SCL sample was left to read. A clock still high at the
    // last sample ends there, and the next bit finds the end.
    I2cEvent readBit(int& bit)
    {
        while (p_ <= end_ && !sclHigh())
            skip();
        if (p_ > end_)
            return I2cEvent::End;
        bit = sdaHigh() ? 1 : 0;
        while (p_ <= end_ && sclHigh()) {
            const bool changed = p_ > 0 && sdaHigh() != at_.highBefore(sda_);
            if ((p_ == start_ && bit == 0) || changed) {
                const bool isStart = (p_ == start_ && bit == 0) || (!sdaHigh() && bit == 1);
                const bool isStop = !isStart && sdaHigh() && bit == 0;
                const double time = timeHere();
                step();
                if (isStart) {
                    started_ = true;
                    I2cRow& row = grid_.row(grid_.count + 1);
                    row.cells[I2cStart] = "    Start";
                    row.times[I2cStart] = time;
                    return I2cEvent::Start;
                }
                if (isStop && !started_)
                    return I2cEvent::Stop; // ends a transaction begun before the data: nothing shown to close
                if (isStop) {
                    I2cRow& row = grid_.row(std::max(grid_.count, 1));
                    row.cells[I2cStop] = "    Stop";
                    row.times[I2cStop] = time;
                    return I2cEvent::Stop;
                }
                continue;
            }
            skip();
        }
        return I2cEvent::None;
    }

    // Reads bits until a START; false at the end of the data.
    bool seekStart()
    {
        int bit = 0;
        for (;;) {
            const I2cEvent event = readBit(bit);
            if (event == I2cEvent::Start)
                break;
            if (event == I2cEvent::End || atEnd())
                return false;
        }
        skipClockHigh();
        return !atEnd();
    }

    void skipClockHigh()
    {
        while (p_ <= end_ && sclHigh())
            skip();
    }

    // Eight bits MSB first and the acknowledge; any event abandons the byte.
    I2cEvent readByte(I2cByte& byte, double quarter)
    {
        byte = I2cByte{};
        byte.byteTime = timeHere() + quarter;
        int bit = 0;
        for (int k = 0; k < 8; ++k) {
            const I2cEvent event = readBit(bit);
            if (event != I2cEvent::None)
                return event;
            byte.value = (byte.value << 1) | static_cast<unsigned>(bit);
        }
        byte.ackTime = timeHere() + quarter;
        const I2cEvent event = readBit(byte.ack);
        if (event == I2cEvent::End) {
            // The eight bits are whole; only the acknowledge lies beyond the capture.
            byte.ack = kAckMissing;
            return I2cEvent::None;
        }
        return event;
    }

private:
    bool sclHigh() const { return at_.high(scl_); }
    bool sdaHigh() const { return at_.high(sda_); }
    // To the next sample.
    void step()
    {
        ++p_;
        at_.moveTo(p_);
    }
    // To the next sample at which a line changes (past the end when none does).
    void skip()
    {
        p_ = std::min(at_.nextChange(), end_ + 1);
        at_.moveTo(p_);
    }

    LineCursor<Events> at_;
    const LineTiming& timing_;
    int scl_;
    int sda_;
    std::int64_t start_;
    std::int64_t end_;
    std::int64_t p_;
    I2cGrid& grid_;
    std::int64_t maxRows_;
    bool started_ = false; // a START has been read
};

// `knownSpacing`: SCL's mean edge spacing in samples when the caller has it at hand (lines in
// memory); the first pass over the changes is then not needed.
template <class Events>
I2cDecodeResult DecodeI2cOver(Events& events, const LineTiming& timing, const I2cDecodeRequest& request,
                              std::optional<double> knownSpacing = std::nullopt)
{
    I2cDecodeResult result;
    // As a capture held sample by sample is read: up to the sample before the last.
    const std::int64_t e = timing.sampleCount - 2;
    if (e <= 0) {
        result.error = DecoderMessage{Msg::strLanI2cNoDataA, {}};
        return result;
    }
    const std::int64_t s0 = ChannelQueries::IndexAt(request.marker1, timing.firstTime, timing.period);
    if (e - 1 < s0)
        return result;

    if (!knownSpacing) {
        if (!events.restart())
            return result;
        EdgeSpacing spacing;
        LineCursor<Events> at(events);
        at.moveTo(0);
        for (std::int64_t p = at.nextChange(); p < e; p = at.nextChange()) {
            at.moveTo(p);
            if (at.high(request.scl) != at.highBefore(request.scl))
                spacing.add(p);
        }
        knownSpacing = spacing.mean();
    }
    const double q = *knownSpacing / 2.0 * timing.period;
    result.quarterPeriod = q;

    if (!events.restart())
        return I2cDecodeResult{};
    I2cGrid& grid = result.grid;
    I2cEventReader<Events> reader(events, timing, request, s0, e, grid);
    if (!reader.seekStart()) {
        result.error = DecoderMessage{Msg::strLanI2cNoStart, {}};
        return result;
    }
    bool expectAddress = true;
    I2cByte byte;
    while (!reader.atEnd() && !reader.full()) {
        const I2cEvent event = reader.readByte(byte, q);
        if (event == I2cEvent::End)
            break; // a byte with fewer than eight bits in the capture is dropped
        if (event == I2cEvent::Stop) {
            expectAddress = true;
            if (!reader.seekStart())
                break;
            continue;
        }
        if (event == I2cEvent::Start) {
            // A repeated start leaves SCL high; its SDA-low rest is not the address's first bit.
            expectAddress = true;
            reader.skipClockHigh();
            continue;
        }
        I2cRow& row = grid.row(grid.count + 1);
        const bool ackMissing = byte.ack == kAckMissing;
        const std::string ack = ackMissing ? "?ACK" : byte.ack == 0 ? "ACK" : "NACK";
        const double ackTime = ackMissing ? kNoElementTime : byte.ackTime;
        if (expectAddress) {
            row.cells[I2cAddress] = BinaryDigits(byte.value >> 1, 7);
            row.cells[I2cDirection] = (byte.value & 1) ? "R" : "W";
            row.cells[I2cAddressAck] = ack;
            row.times[I2cAddress] = byte.byteTime;
            row.times[I2cDirection] = byte.ackTime - 4 * q;
            row.times[I2cAddressAck] = ackTime;
            expectAddress = false;
        } else {
            row.cells[I2cData] = BinaryDigits(byte.value, 8);
            row.cells[I2cDataAck] = ack;
            row.times[I2cData] = byte.byteTime;
            row.times[I2cDataAck] = ackTime;
            ++grid.count;
        }
    }
    return result;
}

} // namespace

I2cDecodeResult DecodeI2cEvents(LineEvents& events, const LineTiming& timing, const I2cDecodeRequest& request)
{
    return DecodeI2cOver(events, timing, request);
}

I2cDecodeResult DecodeI2c(const ChannelQueries& queries, const I2cDecodeRequest& request)
{
    const auto scl = queries.data(request.scl);
    const auto sda = queries.data(request.sda);
    // Both lines are read up to e, so e must lie inside both.
    std::int64_t e = queries.samples(request.scl) - 1;
    e = std::min({e, static_cast<std::int64_t>(scl.size()) - 1, static_cast<std::int64_t>(sda.size()) - 1});
    if (e <= 0 || scl.empty() || sda.empty()) {
        I2cDecodeResult result;
        result.error = DecoderMessage{Msg::strLanI2cNoDataA, {}};
        return result;
    }
    // The decoding reads up to the sample before the last of the lines it is given.
    SampleLineEvents events(queries, {request.scl, request.sda}, e + 2);
    const LineTiming timing{queries.period(request.scl), queries.firstTime(request.scl), e + 2};
    // The spacing straight from the clock's samples costs far less than a pass over the changes.
    return DecodeI2cOver(events, timing, request, MeanEdgeSpacing(scl.data(), e, ChannelQueries::lineMask(request.scl)));
}

} // namespace tesmar
