#include "formats/VcdFile.h"

#include "formats/VcdGrid.h"
#include "formats/VcdTimeline.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <optional>
#include <cstdio>
#include <sstream>

namespace tesmar {

namespace {

struct TimescaleUnit {
    const char* name;
    double seconds;
};
constexpr TimescaleUnit kUnits[] = {{"s", 1.0}, {"ms", 1e-3}, {"us", 1e-6}, {"ns", 1e-9}, {"ps", 1e-12}, {"fs", 1e-15}};

std::string TimescaleText(double tick)
{
    for (const TimescaleUnit& unit : kUnits)
        for (int multiple : {100, 10, 1})
            if (std::fabs(tick - multiple * unit.seconds) <= 1e-6 * tick)
                return std::to_string(multiple) + " " + unit.name;
    return "1 ps";
}

std::string WireId(int line)
{
    return std::string(1, static_cast<char>('!' + line));
}

// A reference is one word: blanks inside a line's name become underscores.
std::string VcdReference(std::string name)
{
    for (char& c : name)
        if (static_cast<unsigned char>(c) <= ' ')
            c = '_';
    return name;
}

std::optional<double> UnitSeconds(std::string_view unit)
{
    for (const TimescaleUnit& u : kUnits)
        if (unit == u.name)
            return u.seconds;
    return std::nullopt;
}

class Tokens {
public:
    explicit Tokens(std::string_view text) : text_(text) {}
    bool next(std::string_view& token)
    {
        while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_])))
            ++pos_;
        if (pos_ >= text_.size())
            return false;
        const std::size_t start = pos_;
        while (pos_ < text_.size() && !std::isspace(static_cast<unsigned char>(text_[pos_])))
            ++pos_;
        token = text_.substr(start, pos_ - start);
        return true;
    }
    // Tokens up to the next "$end"; false when the text ends first.
    bool untilEnd(std::vector<std::string_view>& out)
    {
        std::string_view token;
        while (next(token)) {
            if (token == "$end")
                return true;
            out.push_back(token);
        }
        return false;
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

template <class Number> bool ParseNumber(std::string_view text, Number& value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

} // namespace

double VcdTimescaleFor(double samplePeriod, std::size_t sampleCount)
{
    // Stamps are 64-bit: the whole capture must fit in ticks.
    const double samples = static_cast<double>(sampleCount) + 1;
    auto fits = [&](double tick) { return samplePeriod / tick * samples < 4e18; };
    for (const TimescaleUnit& unit : kUnits) {
        for (int multiple : {100, 10, 1}) {
            const double tick = multiple * unit.seconds;
            const double ticks = samplePeriod / tick;
            if (ticks >= 0.999999 && std::fabs(ticks - std::round(ticks)) <= 1e-4 && fits(tick))
                return tick;
        }
    }
    for (double tick : {1e-12, 1e-9, 1e-6, 1e-3})
        if (fits(tick))
            return tick;
    return 1.0;
}

std::string WriteVcd(const CaptureSamples& capture, const CaptureLineNames& names)
{
    std::ostringstream text;
    WriteVcd(capture, text, names);
    return text.str();
}

void WriteVcd(const CaptureSamples& capture, std::ostream& stream, const CaptureLineNames& names)
{
    const std::size_t count = std::max(capture.busA.size(), capture.busB.size());
    const double tick = VcdTimescaleFor(capture.samplePeriod, count);
    const double ticksPerSample = capture.samplePeriod / tick;
    const std::vector<CaptureLine> written = CaptureLinesOf(capture, names);
    unsigned mask = 0;
    for (const CaptureLine& line : written)
        mask |= 1u << line.channel;

    std::string out;
    out += "$version tesmar $end\n";
    out += "$timescale " + TimescaleText(tick) + " $end\n";
    // The exact period goes along in a comment: rounded stamps over a long idle stretch, or a
    // capture whose lines change only every few samples, cannot tell it on their own.
    char hint[64];
    std::snprintf(hint, sizeof hint, "$comment sample_period %.17g $end\n", capture.samplePeriod);
    out += hint;
    const auto zero = std::llround(capture.firstSampleTime / tick);
    if (zero != 0)
        out += "$timezero " + std::to_string(zero) + " $end\n";
    out += "$scope module tesmar $end\n";
    for (const CaptureLine& line : written)
        out += "$var wire 1 " + WireId(line.channel) + " " + VcdReference(line.name) + " $end\n";
    out += "$upscope $end\n$enddefinitions $end\n";

    auto sample = [&](std::size_t i) -> unsigned {
        const unsigned a = i < capture.busA.size() ? capture.busA[i] : 0;
        const unsigned b = i < capture.busB.size() ? capture.busB[i] : 0;
        return a | (b << 8);
    };
    auto stamp = [&](std::size_t i) {
        return "#" + std::to_string(std::llround(static_cast<double>(i) * ticksPerSample)) + "\n";
    };
    if (count == 0) {
        out += "#0\n";
        stream.write(out.data(), static_cast<std::streamsize>(out.size()));
        return;
    }
    unsigned previous = sample(0);
    out += "#0\n$dumpvars\n";
    for (const CaptureLine& line : written)
        out += ((previous >> line.channel) & 1 ? "1" : "0") + WireId(line.channel) + "\n";
    out += "$end\n";
    for (std::size_t i = 1; i < count && stream; ++i) {
        const unsigned value = sample(i);
        const unsigned changed = (value ^ previous) & mask;
        if (!changed)
            continue;
        if (out.size() >= kWriteChunk) {
            stream.write(out.data(), static_cast<std::streamsize>(out.size()));
            out.clear();
        }
        out += stamp(i);
        for (int line = 0; line < 16; ++line)
            if ((changed >> line) & 1)
                out += ((value >> line) & 1 ? "1" : "0") + WireId(line) + "\n";
        previous = value;
    }
    out += stamp(count); // the end of the last sample
    stream.write(out.data(), static_cast<std::streamsize>(out.size()));
}

std::variant<CaptureImport, std::string> ReadVcd(std::string_view text)
{
    CaptureImport result;
    Tokens tokens(text);
    double tick = 1e-9; // the default of most tools when no timescale is given
    long long timezero = 0;
    std::map<std::string, std::size_t, std::less<>> wireOfId; // 1-bit wires by identifier
    std::vector<std::string> wireNames;
    std::map<std::string, bool, std::less<>> vectorIds;
    bool definitionsDone = false;
    double periodHint = 0.0; // seconds, from our own writer
    double rateHint = 0.0;   // Hz, from another analyser's header comment
    std::size_t strayWords = 0;
    std::string firstStray;
    std::string_view token;

    while (!definitionsDone && tokens.next(token)) {
        std::vector<std::string_view> body;
        if (token == "$enddefinitions") {
            tokens.untilEnd(body);
            definitionsDone = true;
        } else if (token == "$timescale") {
            if (!tokens.untilEnd(body) || body.empty())
                return std::string("the $timescale section is not closed");
            std::string joined;
            for (auto part : body)
                joined += part;
            std::size_t digits = 0;
            while (digits < joined.size() && std::isdigit(static_cast<unsigned char>(joined[digits])))
                ++digits;
            int multiple = 0;
            const auto unit = UnitSeconds(std::string_view(joined).substr(digits));
            if (!ParseNumber(std::string_view(joined).substr(0, digits), multiple) || !unit || multiple <= 0)
                return "unknown timescale '" + joined + "'";
            tick = multiple * *unit;
        } else if (token == "$timezero") {
            if (!tokens.untilEnd(body) || body.size() != 1 || !ParseNumber(body[0], timezero))
                return std::string("bad $timezero section");
        } else if (token == "$var") {
            if (!tokens.untilEnd(body) || body.size() < 4)
                return std::string("bad $var section");
            int width = 0;
            if (!ParseNumber(body[1], width) || width <= 0)
                return "bad width in $var " + std::string(body[3]);
            const std::string id(body[2]);
            if (width == 1 && body[0] != "real" && body[0] != "realtime") {
                if (!wireOfId.count(id)) {
                    wireOfId[id] = wireNames.size();
                    wireNames.emplace_back(body[3]);
                }
            } else {
                vectorIds[id] = true;
            }
        } else if (token == "$comment") {
            if (!tokens.untilEnd(body))
                return std::string("the $comment section is not closed");
            double period = 0;
            if (body.size() == 2 && body[0] == "sample_period" && ParseNumber(body[1], period) && period > 0 &&
                std::isfinite(period))
                periodHint = period;
            else if (const double rate = StatedSampleRate(body); rate > 0)
                rateHint = rate;
        } else if (!token.empty() && token[0] == '$') {
            if (!tokens.untilEnd(body))
                return "the " + std::string(token) + " section is not closed";
        } else {
            // A tool's own lines outside the sections (a metadata line before $date, say).
            if (strayWords++ == 0)
                firstStray = token.substr(0, 40);
        }
    }
    if (!definitionsDone)
        return std::string("no $enddefinitions: not a value change dump");
    if (strayWords > 0)
        result.warnings.push_back(std::to_string(strayWords) + " words outside the header sections skipped (from '" +
                                  firstStray + "')");
    if (!vectorIds.empty())
        result.warnings.push_back(std::to_string(vectorIds.size()) + " vector or real variables ignored");
    if (wireNames.empty())
        return std::string("no 1-bit wires in the file");

    const std::vector<int> channels = AssignCaptureLines(wireNames, result.warnings);
    bool hasBusB = false;
    for (std::size_t i = 0; i < channels.size(); ++i)
        if (channels[i] >= 0) {
            hasBusB = hasBusB || channels[i] >= 8;
            result.lineNames[static_cast<std::size_t>(channels[i])] = wireNames[i];
        }

    struct StampedChange {
        long long stamp;
        int channel;
        bool level;
    };
    std::vector<StampedChange> changes;
    std::vector<long long> stamps; // distinct times with a change, in file order
    long long now = 0;
    bool anyStamp = false;
    long long lowest = 0;
    bool changedSinceStamp = true;
    bool unordered = false;
    while (tokens.next(token)) {
        const char head = token[0];
        if (head == '#') {
            long long stamp = 0;
            if (!ParseNumber(token.substr(1), stamp))
                return "bad timestamp '" + std::string(token.substr(0, 40)) + "'";
            if (anyStamp && stamp < now)
                unordered = true;
            lowest = anyStamp ? std::min(lowest, stamp) : stamp;
            anyStamp = true;
            now = stamp;
            changedSinceStamp = false;
        } else if (head == '$') {
            if (token == "$comment") {
                std::vector<std::string_view> skipped;
                tokens.untilEnd(skipped);
            } // $dumpvars, $dumpall, $dumpon, $dumpoff and $end only frame value changes
        } else if (head == 'b' || head == 'B' || head == 'r' || head == 'R') {
            tokens.next(token); // the identifier of an ignored vector or real
        } else if (std::string_view("01xXzZ").find(head) != std::string_view::npos) {
            const auto wire = wireOfId.find(token.substr(1));
            if (wire == wireOfId.end()) {
                if (!vectorIds.count(token.substr(1)))
                    return "value change for undeclared identifier '" + std::string(token.substr(1, 40)) + "'";
                continue;
            }
            const int channel = channels[wire->second];
            if (!anyStamp) { // changes before the first timestamp happen at 0
                anyStamp = true;
                lowest = now;
            }
            if (channel >= 0)
                changes.push_back({now, channel, head == '1'});
            if (stamps.empty() || stamps.back() != now)
                stamps.push_back(now);
            changedSinceStamp = true;
        } else {
            return "unexpected '" + std::string(token.substr(0, 40)) + "'";
        }
    }
    if (!anyStamp)
        return std::string("the file holds no samples");
    if (unordered) {
        result.warnings.push_back("timestamps out of order: the changes were sorted by time");
        std::stable_sort(changes.begin(), changes.end(), [](auto& a, auto& b) { return a.stamp < b.stamp; });
        std::sort(stamps.begin(), stamps.end());
        stamps.erase(std::unique(stamps.begin(), stamps.end()), stamps.end());
    }
    // Stamps relative to the earliest one, which is sample 0.
    const auto ticksFrom = [lowest](long long stamp) {
        return static_cast<std::uint64_t>(stamp) - static_cast<std::uint64_t>(lowest);
    };
    std::vector<std::uint64_t> times;
    times.reserve(stamps.size() + 1);
    for (long long stamp : stamps)
        times.push_back(ticksFrom(stamp));
    // A final timestamp without changes marks the end of the last sample.
    const bool endMarker = !changedSinceStamp && (stamps.empty() ? now > lowest : now > stamps.back());
    if (endMarker)
        times.push_back(ticksFrom(now));

    VcdGridSource source;
    source.tick = tick;
    source.statedPeriod = periodHint;
    source.statedRate = rateHint;
    source.endMarker = endMarker;
    const auto grid = ChooseVcdGrid(times, source);
    if (const auto* refusal = std::get_if<std::string>(&grid))
        return *refusal;
    const VcdGrid& chosen = std::get<VcdGrid>(grid);
    if (!chosen.note.empty())
        result.warnings.push_back(chosen.note);

    std::vector<LineChange> lineChanges;
    lineChanges.reserve(changes.size());
    for (const StampedChange& change : changes)
        lineChanges.push_back({static_cast<double>(ticksFrom(change.stamp)), change.channel, change.level});
    result.capture = ResampleChanges(lineChanges, chosen.periodTicks, chosen.samples, hasBusB);
    result.capture.samplePeriod = chosen.seconds;
    result.capture.firstSampleTime = (static_cast<double>(lowest) + static_cast<double>(timezero)) * tick;
    return result;
}

} // namespace tesmar
