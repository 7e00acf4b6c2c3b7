#pragma once
// A capture file read as its changes on the sample grid rather than sample by sample, so that a
// file of any length is gone through in bounded memory, as often as needed.

#include "formats/DataFileCapture.h"
#include "formats/TextSource.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tesmar {

// A change of one line on the sample grid: the line holds `level` from sample `index` on.
struct SampleChange {
    std::int64_t index;
    int channel;
    bool level;
};

class ChangeStream {
public:
    virtual ~ChangeStream() = default;

    virtual const CaptureLineNames& lineNames() const = 0;
    virtual const std::vector<std::string>& warnings() const = 0;
    virtual double samplePeriod() const = 0;
    virtual double firstSampleTime() const = 0;
    virtual std::int64_t sampleCount() const = 0;
    virtual bool hasBusB() const = 0;
    // Whether the changes are all in memory (no further reads of the file).
    virtual bool changesKept() const = 0;

    // Goes through the changes from the first again; false when the file cannot be read again.
    virtual bool restart() = 0;
    // The next change in time order (lines all low before their first); false at the end, or
    // when the file could not be read on (problem() says why).
    virtual bool next(SampleChange& change) = 0;
    virtual const std::string& problem() const = 0;
    // Bytes of the file gone through by the current pass, of its whole length (-1: not known).
    virtual std::int64_t passDone() const = 0;
    virtual std::int64_t passTotal() const = 0;
};

} // namespace tesmar
