#pragma once
// A value change dump read as a stream: the header, then one pass over the changes to find the
// sample grid, after which the changes can be gone through again on that grid as often as
// needed. Only the changes are kept, and only while they fit a budget; beyond it they are read
// again from the file, so a dump of any length is read in bounded memory. The rules are those of
// ReadVcd (VcdFile.h), which is built on this.

#include "formats/ChangeStream.h"
#include "formats/DataFileCapture.h"
#include "formats/TextSource.h"
#include "formats/VcdTimeline.h"
#include "formats/WordReader.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace tesmar {

using VcdChange = SampleChange;

// The memory kept for changes at most (two to four bytes each in a file in time order); more are
// read again from the file.
inline constexpr std::size_t kVcdKeptChangeBytes = std::size_t(64) << 20;

struct VcdStreamLimits {
    std::size_t keptChangeBytes = kVcdKeptChangeBytes;
    // Samples the grid may have (see VcdGridSource).
    std::int64_t maxSamples = kMaxInterchangeSamples;
};

class VcdStream final : public ChangeStream {
public:
    // Reads the header and goes through the changes once; the reason when the file cannot be
    // read. `progress` is told the bytes gone through.
    static std::variant<std::unique_ptr<VcdStream>, std::string> Open(std::unique_ptr<TextSource> source,
                                                                     const VcdStreamLimits& limits = {},
                                                                     const ReadProgress& progress = {});
    ~VcdStream() override;

    const CaptureLineNames& lineNames() const override { return lineNames_; }
    const std::vector<std::string>& warnings() const override { return warnings_; }
    double samplePeriod() const override { return samplePeriod_; }
    double firstSampleTime() const override { return firstSampleTime_; }
    std::int64_t sampleCount() const override { return sampleCount_; }
    bool hasBusB() const override { return hasBusB_; }
    bool changesKept() const override { return keptAll_; }

    bool restart() override;
    bool next(VcdChange& change) override;
    const std::string& problem() const override { return problem_; }

    // Every sample, from the first change on; the reason when the file could not be read again.
    std::variant<CaptureSamples, std::string> samples(const ReadProgress& progress = {});
    // Bytes of the file gone through by the current pass, of its whole length (-1: not known).
    std::int64_t passDone() const override;
    std::int64_t passTotal() const override;

    class Body;
    struct Header;
    struct Kept {
        long long stamp;
        std::int16_t channel;
        bool level;
    };

private:
    VcdStream() = default;
    // The next packed change; false after the last.
    bool unpack(Kept& change);
    // Every packed change, from the first, into `changes` (the packed ones are dropped).
    void unpackInto(std::vector<Kept>& changes, long long lowest);

    std::unique_ptr<TextSource> source_;
    std::unique_ptr<WordReader> words_;
    std::unique_ptr<Header> header_;
    std::unique_ptr<Body> body_;
    // Changes in time order packed: a byte of line, level and whether the time moved on, then by
    // how many ticks; changes sorted by time (a file out of order) as they are.
    std::vector<std::uint8_t> packed_;
    std::vector<Kept> sorted_;
    bool keptAll_ = false;
    std::size_t replayed_ = 0;
    long long replayedStamp_ = 0;
    long long lowest_ = 0;
    double periodTicks_ = 1.0;
    std::uint64_t wholePeriod_ = 0; // the period when it is whole and every change lies on it
    CaptureLineNames lineNames_{};
    std::vector<std::string> warnings_;
    double samplePeriod_ = 0.0;
    double firstSampleTime_ = 0.0;
    std::int64_t sampleCount_ = 0;
    bool hasBusB_ = false;
    std::string problem_;
};

} // namespace tesmar
