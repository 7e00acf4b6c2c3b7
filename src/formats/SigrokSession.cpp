#include "SigrokSession.h"

#include "settings/IniFile.h"
#include "formats/VcdTimeline.h"
#include "formats/ZipLibrary.h"

#include <cmath>
#include <cstdio>
#include <memory>
#include <sstream>

namespace tesmar {

namespace {

constexpr std::size_t kChunkSamples = 4 << 20; // samples per logic-1-N member

using ZipHandle = std::unique_ptr<zip_t, decltype(ZipFunctions::discard)>;

std::string RateText(double hz)
{
    // sigrok's own unit steps; a rate that is not whole in any is given in Hz.
    const struct {
        double factor;
        const char* unit;
    } units[] = {{1e9, "GHz"}, {1e6, "MHz"}, {1e3, "kHz"}};
    for (const auto& u : units) {
        const double v = hz / u.factor;
        if (v >= 1 && std::fabs(v - std::round(v)) < 1e-9)
            return std::to_string(static_cast<long long>(std::llround(v))) + " " + u.unit;
    }
    return std::to_string(static_cast<long long>(std::llround(hz))) + " Hz";
}

std::optional<std::string> ReadMember(const ZipFunctions& zip, zip_t* z, const std::string& name, std::uint64_t limit,
                                      std::string& why)
{
    zip_stat_t st;
    zip.statInit(&st);
    if (zip.stat(z, name.c_str(), 0, &st) != 0)
        return std::nullopt;
    if (!(st.valid & ZIP_STAT_SIZE) || st.size > limit) {
        why = "member " + name + " is too large";
        return std::nullopt;
    }
    std::unique_ptr<zip_file_t, decltype(ZipFunctions::fclose)> file(zip.fopen(z, name.c_str(), 0), zip.fclose);
    if (!file) {
        why = "member " + name + " cannot be read";
        return std::nullopt;
    }
    std::string data(static_cast<std::size_t>(st.size), '\0');
    const zip_int64_t got = zip.fread(file.get(), data.data(), st.size);
    if (got < 0 || static_cast<zip_uint64_t>(got) != st.size) {
        why = "member " + name + " is damaged";
        return std::nullopt;
    }
    return data;
}

// The single integer of the version member; 0 when it holds anything else.
int FormatVersion(const std::string& text)
{
    std::size_t first = text.find_first_not_of(" \t\r\n");
    std::size_t last = text.find_last_not_of(" \t\r\n");
    if (first == std::string::npos || last - first > 3)
        return 0;
    int value = 0;
    for (std::size_t i = first; i <= last; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return 0;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

// Text from a file shown in a message: printable ASCII only.
std::string PrintableText(const std::string& text)
{
    std::string out;
    for (char c : text)
        if (c >= 0x20 && c < 0x7F)
            out += c;
    return out;
}

} // namespace

std::string WriteSigrokSession(const std::string& path, const CaptureSamples& capture, const CaptureLineNames& names)
{
    if (capture.busA.empty())
        return "no samples to write";
    if (!(capture.samplePeriod > 0) || !std::isfinite(capture.samplePeriod))
        return "the capture has no sample period";
    const std::vector<CaptureLine> lines = CaptureLinesOf(capture, names);
    const int unit = lines.size() > 8 ? 2 : 1;
    // Probe k is bit k of a unit; lines that already sit there are copied as they are.
    bool inPlace = true;
    for (std::size_t k = 0; k < lines.size(); ++k)
        inPlace = inPlace && lines[k].channel == static_cast<int>(k);
    std::string unloaded;
    const ZipFunctions* loaded = Zip(unloaded);
    if (!loaded)
        return "cannot write " + path + ": " + unloaded;
    const ZipFunctions& zip = *loaded;
    int error = 0;
    ZipHandle z(zip.open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error), zip.discard);
    if (!z)
        return "cannot create " + path;
    std::ostringstream meta;
    meta << "[global]\nsigrok version=0.5.2\n\n[device 1]\ncapturefile=logic-1\ntotal probes=" << lines.size()
         << "\nsamplerate=" << RateText(1.0 / capture.samplePeriod) << "\ntotal analog=0\n";
    for (std::size_t k = 0; k < lines.size(); ++k)
        meta << "probe" << k + 1 << "=" << PrintableText(lines[k].name) << "\n";
    meta << "unitsize=" << unit << "\n";
    // The members' bytes must live until the archive is written.
    std::vector<std::string> texts = {"2", meta.str()};
    std::vector<std::vector<std::uint8_t>> interleaved;
    auto add = [&](const char* name, const void* data, std::size_t size) {
        zip_source_t* src = zip.sourceBuffer(z.get(), data, size, 0);
        if (!src)
            return false;
        if (zip.fileAdd(z.get(), name, src, ZIP_FL_OVERWRITE) < 0) {
            zip.sourceFree(src);
            return false;
        }
        return true;
    };
    bool ok = add("version", texts[0].data(), texts[0].size()) && add("metadata", texts[1].data(), texts[1].size());
    const std::size_t n = capture.busA.size();
    std::vector<std::string> members;
    members.reserve(n / kChunkSamples + 1);
    for (std::size_t first = 0, chunk = 1; ok && first < n; first += kChunkSamples, ++chunk) {
        const std::size_t count = std::min(kChunkSamples, n - first);
        members.push_back("logic-1-" + std::to_string(chunk));
        if (unit == 1 && inPlace && lines.size() == 8) {
            ok = add(members.back().c_str(), capture.busA.data() + first, count);
            continue;
        }
        auto& bytes = interleaved.emplace_back(count * static_cast<std::size_t>(unit));
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t at = first + i;
            const unsigned value = capture.busA[at] | (at < capture.busB.size() ? capture.busB[at] : 0u) << 8;
            unsigned packed = value & ((1u << lines.size()) - 1);
            if (!inPlace) {
                packed = 0;
                for (std::size_t k = 0; k < lines.size(); ++k)
                    packed |= ((value >> lines[k].channel) & 1u) << k;
            }
            for (int b = 0; b < unit; ++b)
                bytes[i * static_cast<std::size_t>(unit) + static_cast<std::size_t>(b)] =
                    static_cast<std::uint8_t>(packed >> (8 * b));
        }
        ok = add(members.back().c_str(), bytes.data(), bytes.size());
    }
    if (!ok)
        return "cannot write " + path;
    zip_t* raw = z.release();
    if (zip.close(raw) != 0) {
        const std::string why = zip.strerror(raw);
        zip.discard(raw);
        return "cannot write " + path + ": " + why;
    }
    return {};
}

std::variant<CaptureImport, std::string> ReadSigrokSession(const std::string& path, std::uint64_t maxBytes)
{
    std::string unloaded;
    const ZipFunctions* loaded = Zip(unloaded);
    if (!loaded)
        return "cannot read sigrok sessions: " + unloaded;
    const ZipFunctions& zip = *loaded;
    int error = 0;
    ZipHandle z(zip.open(path.c_str(), ZIP_RDONLY, &error), zip.discard);
    if (!z)
        return std::string("not a sigrok session (.sr): not a zip archive");
    std::string why;
    const auto versionText = ReadMember(zip, z.get(), "version", 64, why);
    if (!versionText)
        return why.empty() ? std::string("not a sigrok session: no version member") : why;
    const int version = FormatVersion(*versionText);
    if (version != 1 && version != 2)
        return "sigrok session format version '" + PrintableText(*versionText) + "' is not supported (only 1 and 2)";
    const auto metaText = ReadMember(zip, z.get(), "metadata", 1 << 20, why);
    if (!metaText)
        return why.empty() ? std::string("not a sigrok session: no metadata member") : why;
    IniFile meta;
    meta.setText(*metaText);
    const std::string dev = "device 1";
    if (!meta.hasSection(dev))
        return std::string("the metadata has no [device 1] section");
    const long long unit = meta.readInteger(dev, "unitsize", 0);
    const long long probes = meta.readInteger(dev, "total probes", 0);
    if (unit < 1 || unit > 8)
        return std::string("the metadata gives no usable unit size (unitsize)");
    if (probes < 1 || probes > unit * 8)
        return std::string("the metadata gives no usable number of probes (total probes)");
    const auto rate = ParseRateText(meta.readString(dev, "samplerate", ""));
    if (!rate || !std::isfinite(*rate) || *rate <= 0 || *rate > 1e12)
        return std::string("the metadata gives no usable sample rate (samplerate)");
    const std::string capturefile = meta.readString(dev, "capturefile", "logic-1");

    CaptureImport out;
    out.capture.samplePeriod = 1.0 / *rate;
    const bool sixteen = probes > 8;
    std::uint64_t total = 0;
    for (int chunk = 1;; ++chunk) {
        // Version 1 keeps all samples in the one member the metadata names; version 2 in
        // numbered members after it.
        std::optional<std::string> data =
            version == 1 ? ReadMember(zip, z.get(), capturefile, maxBytes, why)
                         : ReadMember(zip, z.get(), capturefile + "-" + std::to_string(chunk), maxBytes - total, why);
        if (!data && chunk == 1 && why.empty() && version == 2)
            data = ReadMember(zip, z.get(), capturefile, maxBytes, why); // written without the chunk number
        if (!why.empty())
            return why;
        if (!data)
            break;
        total += data->size();
        if (data->size() % static_cast<std::size_t>(unit) != 0)
            return std::string("the sample data is not a whole number of units");
        const std::size_t count = data->size() / static_cast<std::size_t>(unit);
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(data->data());
        for (std::size_t i = 0; i < count; ++i) {
            out.capture.busA.push_back(bytes[i * unit]);
            if (sixteen)
                out.capture.busB.push_back(bytes[i * unit + 1]);
        }
        if (version == 1 || (chunk == 1 && !meta.hasKey(dev, "capturefile")))
            break;
    }
    if (out.capture.busA.empty())
        return std::string("the file holds no samples");
    for (int p = 0; p < std::min<long long>(probes, 16); ++p)
        out.lineNames[static_cast<std::size_t>(p)] = meta.readString(dev, "probe" + std::to_string(p + 1), "");
    if (probes > 16)
        out.warnings.push_back("only the first 16 of " + std::to_string(probes) + " probes are read");
    // Bits beyond the probes hold nothing.
    if (sixteen && probes < 16)
        for (auto& b : out.capture.busB)
            b &= static_cast<std::uint8_t>((1u << (probes - 8)) - 1);
    if (probes < 8)
        for (auto& b : out.capture.busA)
            b &= static_cast<std::uint8_t>((1u << probes) - 1);
    return out;
}

} // namespace tesmar
