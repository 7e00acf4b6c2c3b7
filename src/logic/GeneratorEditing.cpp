#include "GeneratorEditing.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace tesmar {

namespace {

constexpr int kLast = GeneratorData::kSampleCount - 1;

GeneratorSelection Clamp(GeneratorSelection s)
{
    s.first = std::clamp(s.first, 0, kLast);
    s.last = std::clamp(s.last, s.first, kLast);
    return s;
}

template <typename F> void ForEach(GeneratorData& d, GeneratorSelection s, F f)
{
    s = Clamp(s);
    for (int i = s.first; i <= s.last; ++i)
        d.setSample(i, f(d.sample(i)));
}

} // namespace

void FillSamples(GeneratorData& d, GeneratorSelection s, std::uint8_t value)
{
    ForEach(d, s, [&](std::uint8_t) { return value; });
}

void InvertSamples(GeneratorData& d, GeneratorSelection s)
{
    ForEach(d, s, [](std::uint8_t v) { return static_cast<std::uint8_t>(~v); });
}

void SetLineIn(GeneratorData& d, GeneratorSelection s, int line, bool high)
{
    const auto bit = static_cast<std::uint8_t>(1u << (line & 7));
    ForEach(d, s, [&](std::uint8_t v) { return static_cast<std::uint8_t>(high ? v | bit : v & ~bit); });
}

void InvertLineIn(GeneratorData& d, GeneratorSelection s, int line)
{
    const auto bit = static_cast<std::uint8_t>(1u << (line & 7));
    ForEach(d, s, [&](std::uint8_t v) { return static_cast<std::uint8_t>(v ^ bit); });
}

void CountIn(GeneratorData& d, GeneratorSelection s, int step, bool down)
{
    s = Clamp(s);
    for (int i = s.first; i < s.last; ++i)
        d.setSample(i + 1, static_cast<std::uint8_t>(d.sample(i) + (down ? -step : step)));
}

int RepeatBlock(GeneratorData& d, GeneratorSelection s, std::optional<int> line)
{
    s = Clamp(s);
    const int length = s.last - s.first + 1;
    const std::uint8_t mask = line ? static_cast<std::uint8_t>(1u << (*line & 7)) : 0xFF;
    for (int target = s.last + 1; target <= kLast; ++target) {
        const std::uint8_t source = d.sample(s.first + (target - s.last - 1) % length);
        d.setSample(target, static_cast<std::uint8_t>((d.sample(target) & ~mask) | (source & mask)));
    }
    return kLast;
}

std::vector<std::uint8_t> CopySamples(const GeneratorData& d, GeneratorSelection s)
{
    s = Clamp(s);
    return {d.samples().begin() + s.first, d.samples().begin() + s.last + 1};
}

int PasteSamples(GeneratorData& d, int at, const std::vector<std::uint8_t>& block)
{
    at = std::clamp(at, 0, kLast);
    int last = at - 1;
    for (std::size_t i = 0; i < block.size() && at + static_cast<int>(i) <= kLast; ++i) {
        last = at + static_cast<int>(i);
        d.setSample(last, block[i]);
    }
    return last;
}

GeneratorSelection MoveUp(GeneratorData& d, GeneratorSelection s)
{
    s = Clamp(s);
    for (int i = std::max(s.first - 1, 0); i < s.last; ++i)
        d.setSample(i, d.sample(i + 1));
    d.setSample(s.last, 0);
    return {std::max(s.first - 1, 0), std::max(s.last - 1, 0)};
}

GeneratorSelection MoveDown(GeneratorData& d, GeneratorSelection s)
{
    s = Clamp(s);
    for (int i = s.last; i >= s.first; --i)
        if (i + 1 <= kLast)
            d.setSample(i + 1, d.sample(i));
    d.setSample(s.first, 0);
    return {std::min(s.first + 1, kLast), std::min(s.last + 1, kLast)};
}

std::optional<std::string> ReadGeneratorFile(const std::string& path, GeneratorData& data)
{
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        return std::string("это папка, а не файл");
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::string("файл не открывается");
    char buffer[GeneratorData::kSampleCount];
    in.read(buffer, sizeof buffer);
    const auto got = static_cast<int>(in.gcount());
    data.clear();
    for (int i = 0; i < got; ++i)
        data.setSample(i, static_cast<std::uint8_t>(buffer[i]));
    return std::nullopt;
}

bool WriteGeneratorFile(const std::string& path, const GeneratorData& data)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.samples().data()), GeneratorData::kSampleCount);
    out.close();
    return static_cast<bool>(out);
}

} // namespace tesmar
