#include "decoders/I2cDecoder.h"

#include "decoders/DecoderText.h"

#include <algorithm>

namespace tesmar {

namespace {

enum class I2cEvent { None, Start, Stop, End };

class I2cReader {
public:
    I2cReader(const ChannelQueries& queries, const I2cDecodeRequest& request, std::int64_t start, std::int64_t end,
              I2cGrid& grid)
        : queries_(queries), scl_(request.scl), sclData_(queries.data(request.scl).data()),
          sdaData_(queries.data(request.sda).data()), sclMask_(ChannelQueries::lineMask(request.scl)),
          sdaMask_(ChannelQueries::lineMask(request.sda)), start_(start), end_(end), p_(start), grid_(grid),
          maxRows_(request.maxRows)
    {
    }

    std::int64_t position() const { return p_; }
    bool atEnd() const { return p_ > end_; }
    double timeHere() const { return queries_.timeAt(scl_, p_); }
    bool full() const { return grid_.count >= maxRows_; }

    // One bit: SDA at the first sample with SCL high; a START or STOP while SCL stays high is
    // reported as the event. End: no high SCL sample was left to read. Every sample is read
    // once: a clock still high at the last sample ends there, and the next bit finds the end.
    I2cEvent readBit(int& bit)
    {
        while (p_ <= end_ && !sclHigh(p_))
            ++p_;
        if (p_ > end_)
            return I2cEvent::End;
        bit = sdaHigh(p_) ? 1 : 0;
        while (p_ <= end_ && sclHigh(p_)) {
            const bool changed = p_ > 0 && sdaHigh(p_) != sdaHigh(p_ - 1);
            if ((p_ == start_ && bit == 0) || changed) {
                const bool isStart = (p_ == start_ && bit == 0) || (!sdaHigh(p_) && bit == 1);
                const bool isStop = !isStart && sdaHigh(p_) && bit == 0;
                const double time = timeHere();
                ++p_;
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
            ++p_;
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
        while (p_ <= end_ && sclHigh(p_))
            ++p_;
    }

    static constexpr int kAckMissing = -1;

    struct Byte {
        unsigned value = 0;
        int ack = 1; // 0 ACK, 1 NACK, or missing
        double byteTime = 0;
        double ackTime = 0;
    };

    // Eight bits MSB first and the acknowledge; any event abandons the byte.
    I2cEvent readByte(Byte& byte, double quarter)
    {
        byte = Byte{};
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
    bool sclHigh(std::int64_t i) const { return sclData_[i] & sclMask_; }
    bool sdaHigh(std::int64_t i) const { return sdaData_[i] & sdaMask_; }

    const ChannelQueries& queries_;
    int scl_;
    const std::uint8_t* sclData_;
    const std::uint8_t* sdaData_;
    std::uint8_t sclMask_;
    std::uint8_t sdaMask_;
    std::int64_t start_;
    std::int64_t end_;
    std::int64_t p_;
    I2cGrid& grid_;
    std::int64_t maxRows_;
    bool started_ = false; // a START has been read
};

double QuarterPeriodSamples(const std::uint8_t* scl, std::uint8_t mask, std::int64_t end)
{
    std::int64_t previous = -1, sum = 0, intervals = 0;
    for (std::int64_t p = 1; p < end; ++p) {
        if (((scl[p] ^ scl[p - 1]) & mask) == 0)
            continue;
        if (previous >= 0) {
            sum += p - previous;
            ++intervals;
        }
        previous = p;
    }
    return intervals > 0 ? static_cast<double>(sum) / static_cast<double>(intervals) / 2.0 : 0.0;
}

} // namespace

I2cDecodeResult DecodeI2c(const ChannelQueries& queries, const I2cDecodeRequest& request)
{
    I2cDecodeResult result;
    const auto scl = queries.data(request.scl);
    const auto sda = queries.data(request.sda);
    // Both lines are read up to e, so e must lie inside both.
    std::int64_t e = queries.samples(request.scl) - 1;
    e = std::min({e, static_cast<std::int64_t>(scl.size()) - 1, static_cast<std::int64_t>(sda.size()) - 1});
    if (e <= 0 || scl.empty() || sda.empty()) {
        result.error = DecoderMessage{Msg::strLanI2cNoDataA, {}};
        return result;
    }
    const std::int64_t s0 = queries.indexAt(request.scl, request.marker1);
    if (e - 1 < s0)
        return result;

    const double period = queries.period(request.scl);
    const double q = QuarterPeriodSamples(scl.data(), ChannelQueries::lineMask(request.scl), e) * period;
    result.quarterPeriod = q;

    I2cGrid& grid = result.grid;
    I2cReader reader(queries, request, s0, e, grid);
    if (!reader.seekStart()) {
        result.error = DecoderMessage{Msg::strLanI2cNoStart, {}};
        return result;
    }
    bool expectAddress = true;
    I2cReader::Byte byte;
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
        const bool ackMissing = byte.ack == I2cReader::kAckMissing;
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

} // namespace tesmar
