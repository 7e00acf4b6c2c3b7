#pragma once
// A few lines of a capture file read as its changes (ChangeStream) and handed to the decoders
// as one stream of the samples at which any of them changes (LineEvents), in bounded memory.

#include "decoders/LineEvents.h"
#include "formats/ChangeStream.h"

#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>

namespace tesmar {

class StreamLineEvents final : public LineEvents {
public:
    // `channels`: the lines followed (those not given are left out). `progress` is told how far
    // each pass over the file has come.
    StreamLineEvents(ChangeStream& stream, std::initializer_list<std::optional<int>> channels,
                     const ReadProgress& progress = {});

    bool restart() override;
    bool next(std::int64_t& at, std::uint16_t& levels) override;

private:
    ChangeStream& stream_;
    std::uint32_t watched_ = 0;
    ReadProgress progress_;
    std::int64_t count_;
    std::uint16_t levels_ = 0;  // after every change read so far
    std::uint16_t given_ = 0;   // as last given out
    bool pending_ = false;      // changes read at pendingAt_ not given out yet
    std::int64_t pendingAt_ = 0;
    bool ended_ = false;
    std::size_t sinceProgress_ = 0;
};

// The edges of each line (level changes from one sample to the next): one pass over the file.
// False when the file could not be read again.
bool CountStreamedEdges(ChangeStream& stream, std::array<std::int64_t, 16>& edges, const ReadProgress& progress = {});

// Where the lines of `stream` lie in time.
LineTiming StreamTiming(const ChangeStream& stream);

} // namespace tesmar
