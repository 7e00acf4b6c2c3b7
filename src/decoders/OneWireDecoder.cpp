#include "decoders/OneWireDecoder.h"

#include "decoders/DecoderText.h"
#include "decoders/OneWireCommands.h"
#include "text/MessageTable.h"

#include <algorithm>
#include <limits>

namespace tesmar {

namespace {

// The low pulses of DQ held sample by sample.
class SamplePulses {
public:
    SamplePulses(const ChannelQueries& queries, int dq, std::int64_t start, std::int64_t end)
        : queries_(queries), dq_(dq), data_(queries.data(dq).data()), mask_(ChannelQueries::lineMask(dq)),
          start_(start), end_(end), p_(start)
    {
    }

    bool atEnd() const { return p_ >= end_; }

    // The next low pulse: its start t1 and width; false when no pulse starts before the end.
    bool measure(double& t1, double& width)
    {
        if (!(p_ == start_ && !high(p_)))
            while (p_ < end_ && high(p_))
                ++p_;
        if (p_ >= end_)
            return false;
        t1 = queries_.timeAt(dq_, p_);
        const std::int64_t fall = p_;
        while (p_ < end_ && !high(p_))
            ++p_;
        width = PulseWidth(p_ - fall, queries_.period(dq_));
        return true;
    }

    // From the sample count, with a hair of slack, so that a pulse of exactly 15 µs or 450 µs is
    // not moved across its threshold by rounding.
    static double PulseWidth(std::int64_t samples, double period)
    {
        return static_cast<double>(samples) * period * (1.0 + 1e-9);
    }

private:
    bool high(std::int64_t i) const { return data_[i] & mask_; }

    const ChannelQueries& queries_;
    int dq_;
    const std::uint8_t* data_;
    std::uint8_t mask_;
    std::int64_t start_;
    std::int64_t end_;
    std::int64_t p_;
};

// The same pulses of DQ known by its changes: the level holds from one change to the next.
class EventPulses {
public:
    EventPulses(LineEvents& events, const LineTiming& timing, int dq, std::int64_t start, std::int64_t end)
        : at_(events), timing_(timing), dq_(dq), start_(start), end_(end), p_(start)
    {
        at_.moveTo(p_);
    }

    bool atEnd() const { return p_ >= end_; }

    bool measure(double& t1, double& width)
    {
        if (!(p_ == start_ && !at_.high(dq_)))
            while (p_ < end_ && at_.high(dq_))
                skip();
        if (p_ >= end_)
            return false;
        t1 = timing_.timeAt(p_);
        const std::int64_t fall = p_;
        while (p_ < end_ && !at_.high(dq_))
            skip();
        width = SamplePulses::PulseWidth(p_ - fall, timing_.period);
        return true;
    }

private:
    void skip()
    {
        p_ = std::min(at_.nextChange(), end_);
        at_.moveTo(p_);
    }

    LineCursor<> at_;
    const LineTiming& timing_;
    int dq_;
    std::int64_t start_;
    std::int64_t end_;
    std::int64_t p_;
};

template <class Pulses> class OneWireReader {
public:
    OneWireReader(Pulses& pulses, const OneWireRequest& request, OneWireDecodeResult& result)
        : pulses_(pulses), request_(request), result_(result)
    {
    }

    bool atEnd() const { return pulses_.atEnd(); }
    bool full() const { return static_cast<std::int64_t>(result_.rows.size()) >= request_.maxRows; }
    bool measure(double& t1, double& width) { return pulses_.measure(t1, width); }

    bool seekReset()
    {
        double t1 = 0, width = 0;
        while (measure(t1, width)) {
            if (width >= kOneWireResetWidth) {
                addReset(t1);
                return true;
            }
        }
        return false;
    }

    // One byte; false when the data ended first (an incomplete byte is dropped).
    bool readByte(std::uint8_t& value, double& byteStart)
    {
        int bits = 0, skip = 0;
        unsigned byte = 0;
        double t1 = 0, width = 0;
        while (bits <= 7 && !full()) {
            if (!measure(t1, width))
                return false;
            if (width >= kOneWireResetWidth) {
                bits = 0;
                byte = 0;
                addReset(t1);
                continue;
            }
            if (presenceExpected_) {
                add({OneWireElement::Presence, 0, {}, t1});
                presenceExpected_ = false;
                continue;
            }
            if (bits == 0 && skip == 0)
                byteStart = t1;
            if (searchRom_) {
                // Each ROM bit is three slots; only the master's choice counts.
                if (skip == 0)
                    skip = 3;
                if (--skip != 0)
                    continue;
            }
            if (width < kOneWireOneWidth)
                byte |= 1u << bits;
            ++bits;
            if (powerSupply_)
                bits = 8;
        }
        value = static_cast<std::uint8_t>(byte);
        return bits >= 8;
    }

    void interpret(OneWireRow& row)
    {
        if (request_.device != OneWireDevice::Thermometer)
            return;
        if (phaseCount_ > 0) {
            row.description = std::string(phaseSentByDevice_ ? "WR byte " : "RD byte ") + "№ " + std::to_string(phaseIndex_);
            if (++phaseIndex_ >= phaseCount_)
                clearPhase();
            return;
        }
        const auto command = FindThermometerCommand(row.value);
        if (!command)
            return;
        row.description = std::string(command->description);
        if (command->dataBytes > 0) {
            phaseCount_ = command->dataBytes;
            phaseIndex_ = 0;
            phaseSentByDevice_ = command->sentByDevice;
            searchRom_ = command->code == 0xF0;
            powerSupply_ = command->code == 0xB4;
        }
    }

    void add(OneWireRow row)
    {
        if (!full())
            result_.rows.push_back(std::move(row));
    }

private:
    void addReset(double t1)
    {
        add({OneWireElement::Reset, 0, {}, t1});
        presenceExpected_ = true;
        clearPhase();
    }

    void clearPhase()
    {
        phaseCount_ = phaseIndex_ = 0;
        phaseSentByDevice_ = searchRom_ = powerSupply_ = false;
    }

    Pulses& pulses_;
    const OneWireRequest& request_;
    OneWireDecodeResult& result_;
    bool presenceExpected_ = false;
    int phaseCount_ = 0;
    int phaseIndex_ = 0;
    bool phaseSentByDevice_ = false;
    bool searchRom_ = false;
    bool powerSupply_ = false;
};

template <class Pulses> void ReadOneWire(Pulses& pulses, const OneWireRequest& request, OneWireDecodeResult& result)
{
    OneWireReader<Pulses> reader(pulses, request, result);
    if (!reader.seekReset()) {
        result.error = DecoderMessage{Msg::strLan1WrNoReset, {}};
        return;
    }
    while (!reader.atEnd() && !reader.full()) {
        std::uint8_t value = 0;
        double start = 0;
        if (!reader.readByte(value, start))
            break;
        OneWireRow row{OneWireElement::Byte, value, {}, start};
        reader.interpret(row);
        reader.add(std::move(row));
    }
}

} // namespace

OneWireDecodeResult DecodeOneWire(const ChannelQueries& queries, const OneWireRequest& request)
{
    OneWireDecodeResult result;
    if (queries.period(request.dq) > kOneWireMaxPeriod) {
        result.error = DecoderMessage{Msg::strLan1WrTdLess, {}};
        return result;
    }
    const auto data = queries.data(request.dq);
    const std::int64_t e = std::min<std::int64_t>(queries.samples(request.dq), static_cast<std::int64_t>(data.size()) - 1);
    if (e <= 0 || data.empty()) {
        result.error = DecoderMessage{Msg::strLan1WrNoDataA, {}};
        return result;
    }
    const std::int64_t s0 = queries.indexAt(request.dq, request.marker1);
    if (s0 >= e) {
        result.error = DecoderMessage{Msg::strLan1WrNoReset, {}};
        return result;
    }
    SamplePulses pulses(queries, request.dq, s0, e);
    ReadOneWire(pulses, request, result);
    return result;
}

OneWireDecodeResult DecodeOneWireEvents(LineEvents& events, const LineTiming& timing, const OneWireRequest& request)
{
    OneWireDecodeResult result;
    if (timing.period > kOneWireMaxPeriod) {
        result.error = DecoderMessage{Msg::strLan1WrTdLess, {}};
        return result;
    }
    // As a capture held sample by sample is read: up to the last sample, not into it.
    const std::int64_t e = timing.sampleCount - 1;
    if (e <= 0) {
        result.error = DecoderMessage{Msg::strLan1WrNoDataA, {}};
        return result;
    }
    const std::int64_t s0 = ChannelQueries::IndexAt(request.marker1, timing.firstTime, timing.period);
    if (s0 >= e) {
        result.error = DecoderMessage{Msg::strLan1WrNoReset, {}};
        return result;
    }
    if (!events.restart())
        return result;
    EventPulses pulses(events, timing, request.dq, s0, e);
    ReadOneWire(pulses, request, result);
    return result;
}

DecoderTable OneWireTable(const OneWireDecodeResult& result, const MessageTable& table)
{
    DecoderTable grid;
    grid.headers = {"  " + table.text(Msg::strNumber), table.text(Msg::strLan1WrTblCode),
                    table.text(Msg::strLan1WrTblDesc)};
    grid.timeColumns = {1};
    grid.timeNames = {"element"};
    const double none = std::numeric_limits<double>::quiet_NaN();
    for (std::size_t r = 0; r < result.rows.size(); ++r) {
        const OneWireRow& row = result.rows[r];
        std::string code, description;
        switch (row.element) {
        case OneWireElement::Reset:
            code = "Rst";
            description = table.text(Msg::strLan1WrRst);
            break;
        case OneWireElement::Presence:
            code = "Prn";
            description = table.text(Msg::strLan1WrPrn);
            break;
        case OneWireElement::Byte:
            code = HexByte(row.value);
            description = row.description;
            break;
        }
        grid.rows.push_back({std::to_string(r + 1), code, description});
        grid.times.push_back({none, row.time, row.time});
    }
    return grid;
}

} // namespace tesmar
