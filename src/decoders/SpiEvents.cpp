#include "decoders/SpiDecoder.h"

#include "decoders/EdgeSpacing.h"
#include "decoders/SampleLineEvents.h"

namespace tesmar {

namespace {

// Where MISO and MOSI lie in time: a byte's start time is that of its data line, and bus B as the
// generator has a sample period and first time of its own.
struct SpiLineTimes {
    LineTiming miso;
    LineTiming mosi;
};

struct SpiLines {
    const SpiDecodeRequest& request;
    bool wantHighBefore; // the clock's level before a sampling edge

    template <class Cursor> bool selected(const Cursor& at) const
    {
        return request.cs && at.high(*request.cs) != request.csActiveLow;
    }
    template <class Cursor> bool samplingEdge(const Cursor& at) const
    {
        return at.highBefore(request.sck) == wantHighBefore && at.high(request.sck) != wantHighBefore;
    }
};

// `timing` is SCK's. `knownSpacing`: SCK's mean edge spacing in samples when the caller has it
// at hand (lines in memory); the first pass then ends once it knows the edges to pass over.
template <class Events>
SpiDecodeResult DecodeSpiOver(Events& events, const LineTiming& timing, const SpiDecodeRequest& request,
                              const SpiLineTimes& lineTimes, std::optional<double> knownSpacing = std::nullopt)
{
    SpiDecodeResult result;
    // As a capture held sample by sample counts: the last sample is no clock edge.
    const std::int64_t n = timing.sampleCount - 1;
    if (n - 1 <= 0) {
        result.error = DecoderMessage{Msg::strLanSpiNoDataA, {}};
        return result;
    }
    const std::int64_t s0 = ChannelQueries::IndexAt(request.marker1, timing.firstTime, timing.period);
    if (s0 > n - 1)
        return result;
    const bool rising = request.settings.polarity == request.settings.phase;
    const SpiLines lines{request, !rising};
    const std::int64_t end = n;

    // First pass: the mean clock edge spacing over the whole line, and for a start inside a
    // selection, the edges in front of its last whole byte (they are passed over). Without a
    // select line nothing is passed over.
    std::int64_t skipEdges = 0;
    if (knownSpacing && !request.cs) {
        result.edgeSpacing = *knownSpacing * timing.period;
    } else {
        if (!events.restart())
            return result;
        LineCursor<Events> at(events);
        at.moveTo(0);
        EdgeSpacing spacing;
        bool startSeen = false;
        bool counting = false;
        std::int64_t edges = 0;
        for (std::int64_t p = at.nextChange(); p < end; p = at.nextChange()) {
            if (!startSeen && p > s0) {
                at.moveTo(s0);
                counting = lines.selected(at);
                startSeen = true;
            }
            if (knownSpacing && startSeen && !counting)
                break;
            at.moveTo(p);
            if (at.high(request.sck) != at.highBefore(request.sck))
                spacing.add(p);
            if (counting) {
                if (!lines.selected(at)) {
                    skipEdges = edges % 8;
                    counting = false;
                } else {
                    edges += lines.samplingEdge(at);
                }
            }
        }
        result.edgeSpacing = (knownSpacing ? *knownSpacing : spacing.mean()) * timing.period;
    }
    const double h = result.edgeSpacing;

    if (!events.restart())
        return SpiDecodeResult{};
    LineCursor<Events> at(events);
    at.moveTo(s0);
    bool wasSelected = lines.selected(at);
    int bitCount = 0;
    unsigned misoByte = 0, mosiByte = 0;
    // A byte cut short by the end of a selection is dropped with its start time.
    auto dropPartialByte = [&] {
        if (bitCount > 0) {
            result.misoTimes.pop_back();
            result.mosiTimes.pop_back();
        }
        bitCount = 0;
        misoByte = mosiByte = 0;
    };
    // Nothing happens between two changes.
    for (std::int64_t p = at.nextChange(); p < end; p = at.nextChange()) {
        at.moveTo(p);
        if (request.cs) {
            const bool now = lines.selected(at);
            if (now != wasSelected)
                dropPartialByte();
            wasSelected = now;
            if (!now)
                continue;
        }
        if (!lines.samplingEdge(at))
            continue;
        if (skipEdges > 0) {
            --skipEdges;
            continue;
        }
        if (bitCount == 0) {
            result.misoTimes.push_back(lineTimes.miso.timeAt(p) - h);
            result.mosiTimes.push_back(lineTimes.mosi.timeAt(p) - h);
        }
        const unsigned weight = request.settings.msbFirst ? (0x80u >> bitCount) : (1u << bitCount);
        if (request.miso && at.high(*request.miso))
            misoByte |= weight;
        if (request.mosi && at.high(*request.mosi))
            mosiByte |= weight;
        if (++bitCount == 8) {
            result.miso.push_back(static_cast<std::uint8_t>(misoByte));
            result.mosi.push_back(static_cast<std::uint8_t>(mosiByte));
            bitCount = 0;
            misoByte = mosiByte = 0;
            if (static_cast<std::int64_t>(result.miso.size()) > request.maxPairs)
                break;
        }
    }
    // An incomplete last byte is dropped, and so is its start time.
    result.misoTimes.resize(result.miso.size());
    result.mosiTimes.resize(result.mosi.size());
    if (!request.miso) {
        result.miso.clear();
        result.misoTimes.clear();
    }
    if (!request.mosi) {
        result.mosi.clear();
        result.mosiTimes.clear();
    }
    return result;
}

} // namespace

SpiDecodeResult DecodeSpiEvents(LineEvents& events, const LineTiming& timing, const SpiDecodeRequest& request)
{
    return DecodeSpiOver(events, timing, request, SpiLineTimes{timing, timing});
}

SpiDecodeResult DecodeSpi(const ChannelQueries& queries, const SpiDecodeRequest& request)
{
    const std::int64_t n = queries.samples(request.sck);
    const auto empty = [&](std::optional<int> channel) { return channel && queries.data(*channel).empty(); };
    if (n - 1 <= 0 || empty(request.sck) || empty(request.miso) || empty(request.mosi)) {
        SpiDecodeResult result;
        result.error = DecoderMessage{Msg::strLanSpiNoDataA, {}};
        return result;
    }
    // n counts the spans between SCK's samples.
    SampleLineEvents events(queries, {request.sck, request.mosi, request.miso, request.cs}, n + 1);
    // Beyond the end of the select line's data the device counts as deselected.
    if (request.cs)
        events.setLevelPastEnd(*request.cs, request.csActiveLow);
    auto timingOf = [&](int channel) { return LineTiming{queries.period(channel), queries.firstTime(channel), n + 1}; };
    // A line not given has no data of its own: its times are the clock's.
    const SpiLineTimes lineTimes{timingOf(request.miso.value_or(request.sck)), timingOf(request.mosi.value_or(request.sck))};
    // The spacing straight from the clock's samples: a pass over them costs far less than one
    // over the changes of every line followed.
    const double spacing = MeanEdgeSpacing(queries.data(request.sck).data(), n, ChannelQueries::lineMask(request.sck));
    return DecodeSpiOver(events, timingOf(request.sck), request, lineTimes, spacing);
}

} // namespace tesmar
