#include "StreamedUart.h"

namespace tesmar {

LineChanges::LineChanges(ChangeStream& stream, int channel, const ReadProgress& progress)
    : stream_(stream), channel_(channel), progress_(stream.changesKept() ? ReadProgress() : progress),
      count_(stream.sampleCount())
{
}

bool LineChanges::next(std::int64_t& at)
{
    SampleChange change{};
    while (stream_.next(change)) {
        if (progress_ && ++sinceProgress_ == 65536) {
            sinceProgress_ = 0;
            progress_(stream_.passDone(), stream_.passTotal());
        }
        if (change.channel != channel_)
            continue;
        // Past the last sample nothing changes any more.
        if (change.index >= count_)
            break;
        if (pending_ && change.index != pendingAt_) {
            const bool changed = pendingLevel_ != level_;
            const std::int64_t was = pendingAt_;
            pendingAt_ = change.index;
            pendingLevel_ = change.level;
            if (changed) {
                level_ = !level_;
                at = was;
                return true;
            }
            continue;
        }
        pending_ = true;
        pendingAt_ = change.index;
        pendingLevel_ = change.level;
    }
    if (pending_) {
        pending_ = false;
        if (pendingLevel_ != level_) {
            level_ = pendingLevel_;
            at = pendingAt_;
            return true;
        }
    }
    return false;
}

std::size_t LineChanges::next(std::int64_t* into, std::size_t room)
{
    std::size_t count = 0;
    while (count < room && next(into[count]))
        ++count;
    return count;
}

StreamedUartResult DecodeStreamedUart(ChangeStream& stream, const LogicCapture& times, const UartDecodeRequest& request,
                                      const ReadProgress& progress, std::string& problem)
{
    StreamedUartResult streamed;
    UartDecodeResult& result = streamed.decoded;
    const UartLineTiming timing{times.samplePeriod, times.firstSampleTime, stream.sampleCount() - 1,
                                stream.sampleCount() > 0};
    auto decode = [&](int channel, double start, const char* name) {
        if (!stream.restart()) {
            problem = stream.problem();
            return UartLineResult{};
        }
        LineChanges changes(stream, channel, progress);
        EdgeLine line(stream.sampleCount(),
                      [&changes](std::int64_t* into, std::size_t room) { return changes.next(into, room); });
        auto decoded = DecodeUartEdges(line, timing, request.settings, start, name, result.messages, request.maxEntries);
        if (problem.empty() && !stream.problem().empty())
            problem = stream.problem();
        return decoded;
    };
    if (request.rxd)
        result.rxd = decode(*request.rxd, request.marker1, "RxD");
    const double txStart = request.marker2.value_or(request.marker1);
    // One line decoded as both from the same time decodes the same: once is enough.
    if (request.txd && request.rxd == request.txd && txStart == request.marker1 && result.messages.empty())
        streamed.txdIsRxd = true;
    else if (request.txd && problem.empty())
        result.txd = decode(*request.txd, txStart, "TxD");
    return streamed;
}

} // namespace tesmar
