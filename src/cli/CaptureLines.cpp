#include "cli/CaptureLines.h"

#include "CliText.h"
#include "StreamedLines.h"
#include "formats/CsvStream.h"
#include "formats/DataFileLoad.h"
#include "formats/VcdStream.h"
#include "logic/ChannelNames.h"
#include "logic/GeneratorData.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <vector>

namespace tesmar {

namespace {

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The channels whose file name matches; exact names first, then regardless of case.
std::vector<int> NamedChannels(const std::string& text, const DecodeInput& input)
{
    std::vector<int> exact, folded;
    for (int c = 0; c < kLogicChannelCount; ++c) {
        const std::string& name = input.fileNames[static_cast<std::size_t>(c)];
        if (name.empty())
            continue;
        if (name == text)
            exact.push_back(c);
        else if (Lower(name) == Lower(text))
            folded.push_back(c);
    }
    return exact.empty() ? folded : exact;
}

bool AnyFileName(const DecodeInput& input)
{
    return std::any_of(input.fileNames.begin(), input.fileNames.end(), [](const auto& n) { return !n.empty(); });
}

} // namespace

namespace {

// A capture's times must be usable numbers; the trigger lies at time 0.
std::optional<std::string> SetTimes(LogicCapture& capture, double samplePeriod, double firstSampleTime,
                                    const std::string& path)
{
    capture.samplePeriod = samplePeriod;
    capture.firstSampleTime = firstSampleTime;
    if (!(capture.samplePeriod > 0 && std::isfinite(capture.samplePeriod) && std::isfinite(capture.firstSampleTime)))
        return TerminalText(path) + ": the capture has no usable sample period";
    const double pre = std::clamp(std::round(-capture.firstSampleTime / capture.samplePeriod), -2147483648.0, 2147483647.0);
    capture.preTriggerCount = static_cast<std::int32_t>(pre);
    return std::nullopt;
}

// Streamed, the grid is not made coarser to fit memory: the samples are never held.
constexpr std::int64_t kMostStreamedSamples = std::int64_t(1) << 53;

} // namespace

std::int64_t DecodeInput::sampleCount() const
{
    if (changes)
        return changes->sampleCount();
    return static_cast<std::int64_t>(std::max(capture.busA.size(), capture.busB.size()));
}

bool StreamedCaptureFile(const std::string& path)
{
    const auto kind = CaptureFileKindOf(path);
    return kind == CaptureFileKind::Vcd || kind == CaptureFileKind::Csv;
}

std::variant<DecodeInput, std::string> OpenStreamedInput(const std::string& path, std::optional<double> givenRate,
                                                         std::ostream& err, const ReadProgress& progress)
{
    std::string problem;
    auto source = FileTextSource::Open(path, problem);
    if (!source)
        return problem;
    DecodeInput input;
    if (CaptureFileKindOf(path) == CaptureFileKind::Csv) {
        CsvStreamLimits limits;
        limits.maxSamples = kMostStreamedSamples;
        auto opened = CsvStream::Open(std::move(source), givenRate, limits, progress);
        if (auto* refusal = std::get_if<std::string>(&opened))
            return path + ": " + *refusal;
        input.changes = std::move(std::get<std::unique_ptr<CsvStream>>(opened));
    } else {
        VcdStreamLimits limits;
        limits.maxSamples = kMostStreamedSamples;
        auto opened = VcdStream::Open(std::move(source), limits, progress);
        if (auto* refusal = std::get_if<std::string>(&opened))
            return path + ": " + *refusal;
        input.changes = std::move(std::get<std::unique_ptr<VcdStream>>(opened));
    }
    for (const auto& warning : input.changes->warnings())
        err << "tesmar-cli decode: " << TerminalText(path + ": " + warning) << '\n';
    if (auto refusal = SetTimes(input.capture, input.changes->samplePeriod(), input.changes->firstSampleTime(), path))
        return *refusal;
    input.fileNames = input.changes->lineNames();
    return input;
}

std::variant<DecodeInput, std::string> LoadDecodeInput(const std::string& path, std::optional<double> givenRate,
                                                       std::ostream& err, const ReadProgress& progress)
{
    auto loaded = LoadCaptureFile(path, givenRate, progress);
    if (auto* refusal = std::get_if<std::string>(&loaded)) {
        if (CaptureFileKindOf(path) != CaptureFileKind::DataFile)
            return *refusal;
        // Not a data file: the generator's own file is raw samples, exactly 1544 of them.
        const auto bytes = ReadWholeFile(path);
        if (!bytes || bytes->size() != static_cast<std::size_t>(GeneratorData::kSampleCount))
            return *refusal;
        DecodeInput input;
        input.generatorData = true;
        input.capture.busB = *bytes;
        input.capture.samplePeriod = 1.0 / givenRate.value_or(kDefaultGeneratorRate);
        return input;
    }
    CaptureImport& imported = std::get<CaptureImport>(loaded);
    for (const auto& warning : imported.warnings)
        err << "tesmar-cli decode: " << TerminalText(path + ": " + warning) << '\n';
    DecodeInput input;
    LogicCapture& capture = input.capture;
    capture.busA = std::move(imported.capture.busA);
    capture.busB = std::move(imported.capture.busB);
    if (auto refusal = SetTimes(capture, imported.capture.samplePeriod, imported.capture.firstSampleTime, path))
        return *refusal;
    input.fileNames = imported.lineNames;
    return input;
}

bool HasCaptureLine(const DecodeInput& input, int channel)
{
    if (input.changes)
        return channel < 8 || input.changes->hasBusB();
    return !(channel < 8 ? input.capture.busA : input.capture.busB).empty();
}

std::optional<int> FindCaptureLine(const std::string& text, const DecodeInput& input, std::string& problem)
{
    const std::vector<int> named = NamedChannels(text, input);
    if (named.size() > 1) {
        problem = "'" + TerminalText(text) + "' names more than one line (";
        for (std::size_t i = 0; i < named.size(); ++i)
            problem += (i ? ", " : "") + DefaultChannelName(named[i]);
        problem += "); give the line as A.0 … B.7";
        return std::nullopt;
    }
    const std::optional<int> channel = named.empty() ? ParseChannel(text) : std::optional<int>(named.front());
    if (!channel) {
        problem = "no line '" + TerminalText(text) + "' (a name from the file, A.0 … B.7 or 0 … 15";
        problem += AnyFileName(input) ? "; decode --list-lines FILE shows the names)" : ")";
        return std::nullopt;
    }
    if (!HasCaptureLine(input, *channel)) {
        problem = "the capture has no line " + DefaultChannelName(*channel) + " (it holds the 8 lines " +
                  (*channel < 8 ? "B.0 … B.7)" : "A.0 … A.7)");
        return std::nullopt;
    }
    return channel;
}

bool ListCaptureLines(const DecodeInput& input, std::ostream& out, std::string& problem)
{
    // Edges per line, one pass per bus.
    auto edges = [](const std::vector<std::uint8_t>& bus) {
        std::array<std::int64_t, 8> counts{};
        for (std::size_t i = 1; i < bus.size(); ++i)
            if (const unsigned changed = bus[i] ^ bus[i - 1])
                for (int k = 0; k < 8; ++k)
                    counts[static_cast<std::size_t>(k)] += (changed >> k) & 1;
        return counts;
    };
    std::array<std::array<std::int64_t, 8>, 2> counts = {edges(input.capture.busA), edges(input.capture.busB)};
    if (input.changes) {
        std::array<std::int64_t, 16> streamed{};
        if (!CountStreamedEdges(*input.changes, streamed)) {
            problem = input.changes->problem();
            return false;
        }
        for (int c = 0; c < kLogicChannelCount; ++c)
            counts[static_cast<std::size_t>(c / 8)][static_cast<std::size_t>(c % 8)] = streamed[static_cast<std::size_t>(c)];
    }
    const bool named = AnyFileName(input);
    std::size_t nameWidth = 4;
    for (const auto& name : input.fileNames)
        nameWidth = std::max(nameWidth, TerminalText(name).size());
    out << "line  " << "name" << std::string(nameWidth - 4 + 2, ' ') << "edges\n";
    for (int c = 0; c < kLogicChannelCount; ++c) {
        const std::string name = TerminalText(input.fileNames[static_cast<std::size_t>(c)]);
        // A file that names its lines holds only those; lines it leaves out read low.
        if (!HasCaptureLine(input, c) || (named && name.empty()))
            continue;
        out << DefaultChannelName(c) << "   " << (name.empty() ? "-" : name)
            << std::string(nameWidth - std::max<std::size_t>(name.empty() ? 1 : name.size(), 0) + 2, ' ')
            << counts[static_cast<std::size_t>(c / 8)][static_cast<std::size_t>(c % 8)] << '\n';
    }
    return true;
}

} // namespace tesmar
