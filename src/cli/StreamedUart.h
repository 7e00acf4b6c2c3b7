#pragma once
// UART decoded on the lines of a capture file as its changes stream past: each line is read
// as its changes (EdgeLine), so a file of any length decodes in memory bounded by the stretch of
// one frame, with the result DecodeUart gives on the same capture held sample by sample.

#include "decoders/UartDecoder.h"
#include "formats/ChangeStream.h"
#include "logic/LogicCapture.h"

#include <string>

namespace tesmar {

struct StreamedUartResult {
    UartDecodeResult decoded;
    // One line asked for as both from the same time is decoded once: TxD's columns are RxD's,
    // held once (decoded.txd stays empty).
    bool txdIsRxd = false;
    const UartLineResult& txd() const { return txdIsRxd ? decoded.rxd : decoded.txd; }
};

// `times` gives the capture's sample period and first time. `problem` is set when the file could
// not be read again; `progress` is told how far each pass over the file has come.
StreamedUartResult DecodeStreamedUart(ChangeStream& stream, const LogicCapture& times, const UartDecodeRequest& request,
                                    const ReadProgress& progress, std::string& problem);

// The changes of one line from the stream, as the sample indexes at which its level changes
// (several changes on one sample count as their last); false when there is none left.
class LineChanges {
public:
    LineChanges(ChangeStream& stream, int channel, const ReadProgress& progress = {});
    bool next(std::int64_t& at);
    // Up to `room` of them into `into`; how many.
    std::size_t next(std::int64_t* into, std::size_t room);

private:
    ChangeStream& stream_;
    int channel_;
    ReadProgress progress_;
    std::int64_t count_;
    bool level_ = false; // as last given out
    bool pending_ = false;
    std::int64_t pendingAt_ = 0;
    bool pendingLevel_ = false;
    std::size_t sinceProgress_ = 0;
};

} // namespace tesmar
