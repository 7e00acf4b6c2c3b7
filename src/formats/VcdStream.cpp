#include "formats/VcdStream.h"

#include "formats/VcdGrid.h"
#include "formats/VcdTimeline.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

namespace tesmar {

namespace {

struct TimescaleUnit {
    const char* name;
    double seconds;
};
constexpr TimescaleUnit kUnits[] = {{"s", 1.0}, {"ms", 1e-3}, {"us", 1e-6}, {"ns", 1e-9}, {"ps", 1e-12}, {"fs", 1e-15}};

std::optional<double> UnitSeconds(std::string_view unit)
{
    for (const TimescaleUnit& u : kUnits)
        if (unit == u.name)
            return u.seconds;
    return std::nullopt;
}

template <class Number> bool ParseNumber(std::string_view text, Number& value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

// Words up to the next "$end"; false when the text ends first. A section's words are kept (the
// first few thousand of them: no header section needs more).
bool UntilEnd(WordReader& words, std::vector<std::string>& out)
{
    std::string_view word;
    while (words.next(word)) {
        if (word == "$end")
            return true;
        if (out.size() < 4096)
            out.emplace_back(word);
    }
    return false;
}

// A packed change: the line plus one (0 for lines past the 16th), the level, and whether a
// number of ticks since the change before follows.
constexpr std::uint8_t kPackedLevel = 0x20;
constexpr std::uint8_t kPackedMoved = 0x40;

void Pack(std::vector<std::uint8_t>& packed, std::uint64_t ticks, int channel, bool level)
{
    packed.push_back(static_cast<std::uint8_t>((channel + 1) | (level ? kPackedLevel : 0) | (ticks ? kPackedMoved : 0)));
    while (ticks) {
        packed.push_back(static_cast<std::uint8_t>((ticks & 0x7F) | (ticks > 0x7F ? 0x80 : 0)));
        ticks >>= 7;
    }
}

// Times below this are exact as doubles.
constexpr std::uint64_t kExactTicks = std::uint64_t(1) << 53;

constexpr int kUnknownId = -1;
constexpr int kIgnoredId = -2; // a vector or real

} // namespace

struct VcdStream::Header {
    double tick = 1e-9; // the default of most tools when no timescale is given
    long long timezero = 0;
    std::map<std::string, int, std::less<>> ids; // wire index, or kIgnoredId
    std::array<int, 256> oneCharacterIds{};      // the same for the usual one-character ids
    std::vector<std::string> wireNames;
    std::vector<int> channels; // of each wire, -1 past the 16th
    std::size_t vectorCount = 0;
    double periodHint = 0.0; // seconds, from our own writer
    double rateHint = 0.0;   // Hz, from another analyser's header comment

    int lookup(std::string_view id) const
    {
        if (id.size() == 1)
            return oneCharacterIds[static_cast<unsigned char>(id[0])];
        const auto found = ids.find(id);
        return found == ids.end() ? kUnknownId : found->second;
    }
};

namespace {

// The header up to $enddefinitions; the reason when it is no value change dump. Warnings about
// what the file holds and the capture cannot are added to `warnings`.
std::optional<std::string> ReadHeader(WordReader& words, VcdStream::Header& header, std::vector<std::string>& warnings)
{
    bool definitionsDone = false;
    std::size_t strayWords = 0;
    std::string firstStray;
    std::string_view token;
    std::map<std::string, bool, std::less<>> vectorIds;
    std::map<std::string, std::size_t, std::less<>> wireOfId;

    while (!definitionsDone && words.next(token)) {
        std::vector<std::string> body;
        if (token == "$enddefinitions") {
            UntilEnd(words, body);
            definitionsDone = true;
        } else if (token == "$timescale") {
            if (!UntilEnd(words, body) || body.empty())
                return std::string("the $timescale section is not closed");
            std::string joined;
            for (const auto& part : body)
                joined += part;
            std::size_t digits = 0;
            while (digits < joined.size() && std::isdigit(static_cast<unsigned char>(joined[digits])))
                ++digits;
            int multiple = 0;
            const auto unit = UnitSeconds(std::string_view(joined).substr(digits));
            if (!ParseNumber(std::string_view(joined).substr(0, digits), multiple) || !unit || multiple <= 0)
                return "unknown timescale '" + joined + "'";
            header.tick = multiple * *unit;
        } else if (token == "$timezero") {
            if (!UntilEnd(words, body) || body.size() != 1 || !ParseNumber(std::string_view(body[0]), header.timezero))
                return std::string("bad $timezero section");
        } else if (token == "$var") {
            if (!UntilEnd(words, body) || body.size() < 4)
                return std::string("bad $var section");
            int width = 0;
            if (!ParseNumber(std::string_view(body[1]), width) || width <= 0)
                return "bad width in $var " + body[3];
            const std::string& id = body[2];
            if (width == 1 && body[0] != "real" && body[0] != "realtime") {
                if (!wireOfId.count(id)) {
                    wireOfId[id] = header.wireNames.size();
                    header.wireNames.push_back(body[3]);
                }
            } else {
                vectorIds[id] = true;
            }
        } else if (token == "$comment") {
            if (!UntilEnd(words, body))
                return std::string("the $comment section is not closed");
            double period = 0;
            const std::vector<std::string_view> views(body.begin(), body.end());
            if (body.size() == 2 && body[0] == "sample_period" && ParseNumber(views[1], period) && period > 0 &&
                std::isfinite(period))
                header.periodHint = period;
            else if (const double rate = StatedSampleRate(views); rate > 0)
                header.rateHint = rate;
        } else if (!token.empty() && token[0] == '$') {
            const std::string section(token);
            if (!UntilEnd(words, body))
                return "the " + section + " section is not closed";
        } else {
            // A tool's own lines outside the sections (a metadata line before $date, say).
            if (strayWords++ == 0)
                firstStray = token.substr(0, 40);
        }
    }
    if (!words.problem().empty())
        return words.problem();
    if (!definitionsDone)
        return std::string("no $enddefinitions: not a value change dump");
    if (strayWords > 0)
        warnings.push_back(std::to_string(strayWords) + " words outside the header sections skipped (from '" +
                           firstStray + "')");
    if (!vectorIds.empty())
        warnings.push_back(std::to_string(vectorIds.size()) + " vector or real variables ignored");
    if (header.wireNames.empty())
        return std::string("no 1-bit wires in the file");

    // A wire declared under an id wins over a vector of the same id.
    header.oneCharacterIds.fill(kUnknownId);
    for (const auto& [id, ignored] : vectorIds)
        header.ids[id] = kIgnoredId;
    for (const auto& [id, wire] : wireOfId)
        header.ids[id] = static_cast<int>(wire);
    for (const auto& [id, value] : header.ids)
        if (id.size() == 1)
            header.oneCharacterIds[static_cast<unsigned char>(id[0])] = value;
    header.vectorCount = vectorIds.size();
    return std::nullopt;
}

} // namespace

// The value changes after the header, in file order, with the time of each.
class VcdStream::Body {
public:
    Body(WordReader& words, const Header& header) : words_(words), header_(header) {}

    // False at the end or on an error (error says which).
    bool next(Kept& change)
    {
        std::string_view token;
        while (words_.next(token)) {
            const char head = token[0];
            if (head == '#') {
                long long stamp = 0;
                if (!ParseNumber(token.substr(1), stamp)) {
                    error = "bad timestamp '" + std::string(token.substr(0, 40)) + "'";
                    return false;
                }
                if (anyStamp && stamp < now)
                    unordered = true;
                lowest = anyStamp ? std::min(lowest, stamp) : stamp;
                anyStamp = true;
                now = stamp;
                changedSinceStamp = false;
            } else if (head == '0' || head == '1' || head == 'x' || head == 'X' || head == 'z' || head == 'Z') {
                const int wire = header_.lookup(token.substr(1));
                if (wire == kIgnoredId)
                    continue;
                if (wire == kUnknownId) {
                    error = "value change for undeclared identifier '" + std::string(token.substr(1, 40)) + "'";
                    return false;
                }
                if (!anyStamp) { // changes before the first timestamp happen at 0
                    anyStamp = true;
                    lowest = now;
                }
                change = {now, static_cast<std::int16_t>(header_.channels[static_cast<std::size_t>(wire)]), head == '1'};
                changedSinceStamp = true;
                return true;
            } else if (head == '$') {
                if (token == "$comment")
                    while (words_.next(token) && token != "$end") {
                    }
                // $dumpvars, $dumpall, $dumpon, $dumpoff and $end only frame value changes
            } else if (head == 'b' || head == 'B' || head == 'r' || head == 'R') {
                words_.next(token); // the identifier of an ignored vector or real
            } else {
                error = "unexpected '" + std::string(token.substr(0, 40)) + "'";
                return false;
            }
        }
        error = words_.problem();
        return false;
    }

    std::string error;
    long long now = 0;
    bool anyStamp = false;
    long long lowest = 0;
    bool changedSinceStamp = true;
    bool unordered = false;

private:
    WordReader& words_;
    const Header& header_;
};

VcdStream::~VcdStream() = default;

std::variant<std::unique_ptr<VcdStream>, std::string> VcdStream::Open(std::unique_ptr<TextSource> source,
                                                                     const VcdStreamLimits& limits,
                                                                     const ReadProgress& progress)
{
    std::unique_ptr<VcdStream> stream(new VcdStream);
    VcdStream& s = *stream;
    s.source_ = std::move(source);
    s.words_ = std::make_unique<WordReader>(*s.source_);
    s.header_ = std::make_unique<Header>();
    Header& header = *s.header_;
    if (auto refusal = ReadHeader(*s.words_, header, s.warnings_))
        return *refusal;
    header.channels = AssignCaptureLines(header.wireNames, s.warnings_);
    for (std::size_t i = 0; i < header.channels.size(); ++i)
        if (const int channel = header.channels[i]; channel >= 0) {
            s.hasBusB_ = s.hasBusB_ || channel >= 8;
            s.lineNames_[static_cast<std::size_t>(channel)] = header.wireNames[i];
        }

    VcdGridSource gridSource;
    gridSource.tick = header.tick;
    gridSource.statedPeriod = header.periodHint;
    gridSource.statedRate = header.rateHint;
    gridSource.maxSamples = limits.maxSamples;

    // One pass over the changes: the grid's times gathered as they come (in time order, as files
    // are); the changes kept while they fit, or all of them when the file turns out not to be in
    // time order and they must be sorted.
    const std::size_t budget = limits.keptChangeBytes;
    // Room for as many changes as the file can hold within the budget (a packed change is never
    // longer than its text), so that keeping them never copies them; untouched room costs nothing.
    if (const std::int64_t length = s.source_->size(); length >= 0)
        s.packed_.reserve(std::min(budget, static_cast<std::size_t>(length) + 16));
    bool keepEverything = false;
    for (;;) {
        s.body_ = std::make_unique<Body>(*s.words_, header);
        Body& body = *s.body_;
        VcdTimes times(gridSource);
        bool overflow = false;
        bool anyChange = false;
        long long lastStamp = 0;
        std::size_t sinceProgress = 0;
        Kept change{};
        long long packedStamp = 0;
        long long packedBase = 0;
        while (body.next(change)) {
            if (!overflow) {
                if (body.unordered || keepEverything) {
                    // Sorting needs them one by one.
                    if (!s.packed_.empty())
                        s.unpackInto(s.sorted_, packedBase);
                    s.sorted_.push_back(change);
                } else if (s.packed_.size() + 11 <= budget) {
                    if (s.packed_.empty())
                        packedStamp = packedBase = body.lowest;
                    Pack(s.packed_, static_cast<std::uint64_t>(change.stamp) - static_cast<std::uint64_t>(packedStamp),
                         change.channel, change.level);
                    packedStamp = change.stamp;
                } else {
                    overflow = true;
                    std::vector<std::uint8_t>().swap(s.packed_);
                }
            }
            if (!anyChange || change.stamp != lastStamp) {
                if (!body.unordered)
                    times.add(static_cast<std::uint64_t>(change.stamp) - static_cast<std::uint64_t>(body.lowest));
                lastStamp = change.stamp;
            }
            anyChange = true;
            if (progress && ++sinceProgress == 65536) {
                sinceProgress = 0;
                progress(s.words_->consumed(), s.source_->size());
            }
        }
        if (!body.error.empty())
            return body.error;
        if (body.unordered && overflow) {
            // Sorting needs every change: once more, keeping them all.
            if (!s.words_->restart())
                return std::string("cannot read the file again");
            Header again;
            std::vector<std::string> ignored;
            if (auto refusal = ReadHeader(*s.words_, again, ignored))
                return *refusal;
            keepEverything = true;
            continue;
        }
        if (!body.anyStamp)
            return std::string("the file holds no samples");
        s.keptAll_ = !overflow;
        long long latestChange = body.lowest;
        if (body.unordered) {
            s.warnings_.push_back("timestamps out of order: the changes were sorted by time");
            auto& kept = s.sorted_;
            std::stable_sort(kept.begin(), kept.end(), [](const Kept& a, const Kept& b) { return a.stamp < b.stamp; });
            times = VcdTimes(gridSource);
            for (std::size_t i = 0; i < kept.size(); ++i)
                if (i == 0 || kept[i].stamp != kept[i - 1].stamp)
                    times.add(static_cast<std::uint64_t>(kept[i].stamp) - static_cast<std::uint64_t>(body.lowest));
            if (!kept.empty())
                latestChange = kept.back().stamp;
        } else if (anyChange) {
            latestChange = lastStamp;
        }
        // A final timestamp without changes marks the end of the last sample.
        gridSource.endMarker = !body.changedSinceStamp && body.now > latestChange;
        if (gridSource.endMarker)
            times.add(static_cast<std::uint64_t>(body.now) - static_cast<std::uint64_t>(body.lowest));
        const auto grid = ChooseVcdGrid(times, gridSource);
        if (const auto* refusal = std::get_if<std::string>(&grid))
            return *refusal;
        const VcdGrid& chosen = std::get<VcdGrid>(grid);
        if (!chosen.note.empty())
            s.warnings_.push_back(chosen.note);
        s.lowest_ = body.lowest;
        s.periodTicks_ = chosen.periodTicks;
        // A whole period that divides every change time puts each change exactly on a sample.
        if (chosen.periodTicks >= 1 && chosen.periodTicks < 1e15 && chosen.periodTicks == std::floor(chosen.periodTicks) &&
            times.divisor() % static_cast<std::uint64_t>(chosen.periodTicks) == 0)
            s.wholePeriod_ = static_cast<std::uint64_t>(chosen.periodTicks);
        s.samplePeriod_ = chosen.seconds;
        s.sampleCount_ = chosen.samples;
        s.firstSampleTime_ = (static_cast<double>(body.lowest) + static_cast<double>(header.timezero)) * header.tick;
        if (progress)
            progress(s.words_->consumed(), s.source_->size());
        return stream;
    }
}

void VcdStream::unpackInto(std::vector<Kept>& changes, long long lowest)
{
    replayed_ = 0;
    replayedStamp_ = lowest;
    Kept change{};
    while (unpack(change))
        changes.push_back(change);
    std::vector<std::uint8_t>().swap(packed_);
}

bool VcdStream::unpack(Kept& change)
{
    if (replayed_ >= packed_.size())
        return false;
    const std::uint8_t head = packed_[replayed_++];
    if (head & kPackedMoved) {
        std::uint64_t ticks = 0;
        for (int shift = 0;; shift += 7) {
            const std::uint8_t byte = packed_[replayed_++];
            ticks |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
            if (!(byte & 0x80))
                break;
        }
        replayedStamp_ = static_cast<long long>(static_cast<std::uint64_t>(replayedStamp_) + ticks);
    }
    change = {replayedStamp_, static_cast<std::int16_t>((head & 0x1F) - 1), (head & kPackedLevel) != 0};
    return true;
}

bool VcdStream::restart()
{
    problem_.clear();
    replayed_ = 0;
    replayedStamp_ = lowest_;
    if (keptAll_)
        return true;
    Header again;
    std::vector<std::string> ignored;
    if (!words_->restart() || ReadHeader(*words_, again, ignored)) {
        problem_ = "cannot read the file again";
        return false;
    }
    body_ = std::make_unique<Body>(*words_, *header_);
    return true;
}

bool VcdStream::next(VcdChange& change)
{
    Kept kept{};
    for (;;) {
        if (keptAll_ && !sorted_.empty()) {
            if (replayed_ >= sorted_.size())
                return false;
            kept = sorted_[replayed_++];
        } else if (keptAll_) {
            if (!unpack(kept))
                return false;
        } else if (!body_->next(kept)) {
            problem_ = body_->error;
            return false;
        }
        if (kept.channel < 0)
            continue;
        const std::uint64_t ticks = static_cast<std::uint64_t>(kept.stamp) - static_cast<std::uint64_t>(lowest_);
        if (wholePeriod_ && ticks < kExactTicks)
            change.index = static_cast<std::int64_t>(ticks / wholePeriod_); // what rounding the quotient gives
        else
            change.index = periodTicks_ > 0 ? static_cast<std::int64_t>(std::llround(static_cast<double>(ticks) / periodTicks_)) : 0;
        change.channel = kept.channel;
        change.level = kept.level;
        return true;
    }
}

std::int64_t VcdStream::passDone() const
{
    return keptAll_ ? static_cast<std::int64_t>(replayed_) : words_->consumed();
}

std::int64_t VcdStream::passTotal() const
{
    return keptAll_ ? static_cast<std::int64_t>(sorted_.empty() ? packed_.size() : sorted_.size()) : source_->size();
}

std::variant<CaptureSamples, std::string> VcdStream::samples(const ReadProgress& progress)
{
    if (!restart())
        return problem_;
    CaptureFiller filler(sampleCount_, hasBusB_);
    VcdChange change{};
    std::size_t sinceProgress = 0;
    while (next(change)) {
        filler.change(change.index, change.channel, change.level);
        if (progress && ++sinceProgress == 65536) {
            sinceProgress = 0;
            progress(passDone(), passTotal());
        }
    }
    if (!problem_.empty())
        return problem_;
    CaptureSamples capture = filler.finish();
    capture.samplePeriod = samplePeriod_;
    capture.firstSampleTime = firstSampleTime_;
    return capture;
}

} // namespace tesmar
