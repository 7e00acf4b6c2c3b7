#include "FilterFile.h"

#include "settings/IniFile.h"

#include <filesystem>

namespace tesmar {

namespace {
constexpr const char* kSection = "main";
// More than this is no response of ours, whatever CountPoint says; it would only cost memory.
constexpr long long kLargestCountRead = 100'000;
} // namespace

std::variant<FilterResponse, std::string> ReadFilterFile(const std::string& path, const FilterResponse& current,
                                                         char sep)
{
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        return std::string("это папка, а не файл");
    IniFile ini(path);
    if (!std::filesystem::exists(path, ec))
        return std::string("файл не найден");
    FilterResponse r = current;
    const long long count = ini.readInteger(kSection, "CountPoint", static_cast<long long>(current.points.size()));
    if (count < 0 || count > kLargestCountRead || count > kFilterMaxPoints)
        return std::string("в файле больше 99 точек");
    r.Kmax = ini.readFloat(kSection, "Kmax", current.Kmax, sep);
    r.Kmin = ini.readFloat(kSection, "Kmin", current.Kmin, sep);
    r.Fmax = ini.readFloat(kSection, "Fmax", current.Fmax, sep);
    r.KdB = ini.readBool(kSection, "KdB", current.KdB);
    r.Flog = ini.readBool(kSection, "Flog", current.Flog);
    r.points.resize(static_cast<std::size_t>(count));
    for (long long i = 0; i < count; ++i) {
        const std::string n = std::to_string(i + 1);
        const FilterPoint old = i < static_cast<long long>(current.points.size()) ? current.points[i] : FilterPoint{};
        r.points[i].frequency = ini.readFloat(kSection, "F" + n, old.frequency, sep);
        r.points[i].gain = ini.readFloat(kSection, "K" + n, old.gain, sep);
    }
    if (auto problem = FilterResponseProblem(r))
        return *problem;
    return r;
}

bool WriteFilterFile(const std::string& path, const FilterResponse& r, char sep)
{
    IniFile ini(path);
    ini.writeInteger(kSection, "CountPoint", static_cast<long long>(r.points.size()));
    ini.writeFloat(kSection, "Kmax", r.Kmax, sep);
    ini.writeFloat(kSection, "Kmin", r.Kmin, sep);
    ini.writeFloat(kSection, "Fmax", r.Fmax, sep);
    ini.writeBool(kSection, "KdB", r.KdB);
    ini.writeBool(kSection, "Flog", r.Flog);
    for (std::size_t i = 0; i < r.points.size(); ++i) {
        const std::string n = std::to_string(i + 1);
        ini.writeFloat(kSection, "F" + n, r.points[i].frequency, sep);
        ini.writeFloat(kSection, "K" + n, r.points[i].gain, sep);
    }
    return ini.save();
}

} // namespace tesmar
