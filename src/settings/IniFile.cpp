#include "settings/IniFile.h"

#include "text/Cp1251.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <optional>
#include <system_error>

namespace tesmar {
namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view Trim(std::string_view s) {
    const auto first = s.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    const auto last = s.find_last_not_of(kBlanks);
    return s.substr(first, last - first + 1);
}

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string LowerName(std::string_view name) {
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(), LowerAscii);
    return lower;
}

// Names are Latin in every file the program uses, so ASCII folding is enough.
bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

bool IsBlankLine(std::string_view line) {
    return Trim(line).empty();
}
bool IsComment(std::string_view line) {
    return Trim(line).starts_with(';');
}

// The section name of a "[name]" line, or nothing for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
    const auto t = Trim(line);
    if (!t.starts_with('['))
        return std::nullopt;
    const auto close = t.find(']');
    return Trim(t.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
}

// The key name of a "key=value" line, or nothing for a comment, a section or a line without '='.
std::optional<std::string_view> KeyName(std::string_view line) {
    if (IsComment(line) || SectionName(line))
        return std::nullopt;
    const auto eq = line.find('=');
    if (eq == std::string_view::npos)
        return std::nullopt;
    const auto key = Trim(line.substr(0, eq));
    if (key.empty())
        return std::nullopt;
    return key;
}

std::string_view ValueOf(std::string_view line) {
    return Trim(line.substr(line.find('=') + 1));
}

// A value must stay on its own line: a line break inside it would turn the rest into new keys.
std::string OneLine(std::string_view value) {
    std::string out(value);
    std::replace_if(
        out.begin(), out.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return out;
}

std::optional<long long> ParseInteger(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty())
        return std::nullopt;
    unsigned long long magnitude = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    if (base == 16) {
        // Hex is a bit pattern (colours such as 0xFFFFFFFF), so the whole 64-bit range is accepted.
        return static_cast<long long>(negative ? 0ULL - magnitude : magnitude);
    }
    constexpr auto kMax = static_cast<unsigned long long>(std::numeric_limits<long long>::max());
    if (negative) {
        if (magnitude > kMax + 1)
            return std::nullopt;
        return magnitude == kMax + 1 ? std::numeric_limits<long long>::min()
                                     : -static_cast<long long>(magnitude);
    }
    if (magnitude > kMax)
        return std::nullopt;
    return static_cast<long long>(magnitude);
}

std::optional<double> ParseFloat(std::string_view text, char decimalSeparator) {
    // Only digits, one sign per part, the chosen separator and an exponent are accepted: a
    // value written with the other separator must not be read as something else.
    std::string normal;
    for (char c : text) {
        if (c == decimalSeparator)
            normal += '.';
        else if ((c >= '0' && c <= '9') || c == '-' || c == '+' || c == 'e' || c == 'E')
            normal += c;
        else
            return std::nullopt;
    }
    const char* first = normal.data();
    const char* last = normal.data() + normal.size();
    if (first != last && *first == '+')
        ++first;
    double value = 0;
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || end != last || first == last)
        return std::nullopt;
    return value;
}

std::string ShortestFloat(double value, char decimalSeparator) {
    char buffer[64];
    std::string text;
    if (!std::isfinite(value)) {
        const auto r = std::to_chars(buffer, buffer + sizeof buffer, value);
        return std::string(buffer, r.ptr);
    }
    // "%.15g" first: %g drops trailing zeros, so this is the shortest form for every value of up
    // to 15 significant digits and keeps plain notation for ordinary magnitudes ("-20", not
    // "-2e+01"); 16 and 17 digits only when fewer would not read back as the same double.
    for (int precision = 15; precision <= 17; ++precision) {
        const auto r =
            std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, precision);
        text.assign(buffer, r.ptr);
        double back = 0;
        std::from_chars(text.data(), text.data() + text.size(), back);
        if (back == value)
            break;
    }
    std::replace(text.begin(), text.end(), '.', decimalSeparator);
    return text;
}

} // namespace

IniFile::IniFile(std::string path) : path_(std::move(path)) {
    load();
}

bool IniFile::load() {
    lines_.clear();
    indexSections();
    std::ifstream in(path_, std::ios::binary);
    if (!in)
        return false;
    const std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    setText(Cp1251ToUtf8(raw));
    return true;
}

bool IniFile::save() const {
    namespace fs = std::filesystem;
    std::string bytes;
    for (const auto& line : lines_) {
        bytes += Utf8ToCp1251(line);
        bytes += "\r\n";
    }
    // Written beside the target and renamed over it, so a failed write leaves the old file whole.
    const fs::path target(path_);
    fs::path temporary = target;
    temporary += ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out)
            return false;
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            out.close();
            std::error_code ignored;
            fs::remove(temporary, ignored);
            return false;
        }
    }
    std::error_code ec;
    fs::rename(temporary, target, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return false;
    }
    return true;
}

void IniFile::setText(const std::string& utf8Text) {
    lines_.clear();
    // CR LF, LF and a lone CR each end a line: a value never holds a line break, so one written
    // back reads the same.
    std::size_t start = 0;
    while (start < utf8Text.size()) {
        auto end = utf8Text.find_first_of("\r\n", start);
        if (end == std::string::npos)
            end = utf8Text.size();
        lines_.push_back(utf8Text.substr(start, end - start));
        start = end + (utf8Text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    indexSections();
}

void IniFile::indexSections() {
    headers_.clear();
    firstHeader_.clear();
    for (std::size_t i = 0; i < lines_.size(); ++i)
        if (const auto name = SectionName(lines_[i])) {
            headers_.push_back(i);
            firstHeader_.try_emplace(LowerName(*name), i);
        }
}

std::string IniFile::text() const {
    std::string out;
    for (const auto& line : lines_) {
        out += line;
        out += "\r\n";
    }
    return out;
}

IniFile::SectionRange IniFile::findSection(const std::string& section) const {
    const auto found = firstHeader_.find(LowerName(section));
    if (found == firstHeader_.end())
        return {false, 0, 0};
    const std::size_t header = found->second;
    const auto next = std::upper_bound(headers_.begin(), headers_.end(), header);
    return {true, header, next == headers_.end() ? lines_.size() : *next};
}

std::optional<std::size_t> IniFile::findKey(const std::string& section, const std::string& key) const {
    const auto range = findSection(section);
    if (!range.found)
        return std::nullopt;
    for (std::size_t i = range.header + 1; i < range.end; ++i) {
        const auto name = KeyName(lines_[i]);
        if (name && SameName(*name, key))
            return i;
    }
    return std::nullopt;
}

bool IniFile::hasSection(const std::string& section) const {
    return findSection(section).found;
}

bool IniFile::hasKey(const std::string& section, const std::string& key) const {
    return findKey(section, key).has_value();
}

namespace {
// Names match without regard to case: a name already listed is not listed again.
void AppendUnique(std::vector<std::string>& names, std::string_view name) {
    if (std::none_of(names.begin(), names.end(), [&](const std::string& n) { return SameName(n, name); }))
        names.emplace_back(name);
}
} // namespace

std::vector<std::string> IniFile::sections() const {
    std::vector<std::string> names;
    for (const auto& line : lines_) {
        const auto name = SectionName(line);
        if (!name)
            continue;
        AppendUnique(names, *name);
    }
    return names;
}

std::vector<std::string> IniFile::keys(const std::string& section) const {
    std::vector<std::string> names;
    const auto range = findSection(section);
    if (!range.found)
        return names;
    for (std::size_t i = range.header + 1; i < range.end; ++i) {
        const auto name = KeyName(lines_[i]);
        if (!name)
            continue;
        AppendUnique(names, *name);
    }
    return names;
}

std::string IniFile::readString(const std::string& section, const std::string& key,
                                const std::string& def) const {
    const auto line = findKey(section, key);
    return line ? std::string(ValueOf(lines_[*line])) : def;
}

long long IniFile::readInteger(const std::string& section, const std::string& key, long long def) const {
    const auto line = findKey(section, key);
    if (!line)
        return def;
    // A value with trailing text ("12abc") is a damaged or hand-edited entry; taking its leading
    // digits would apply a number nobody wrote, so it counts as not converting.
    return ParseInteger(ValueOf(lines_[*line])).value_or(def);
}

bool IniFile::readBool(const std::string& section, const std::string& key, bool def) const {
    return readInteger(section, key, def ? 1 : 0) != 0;
}

double IniFile::readFloat(const std::string& section, const std::string& key, double def,
                          char decimalSeparator) const {
    const auto line = findKey(section, key);
    if (!line)
        return def;
    return ParseFloat(ValueOf(lines_[*line]), decimalSeparator).value_or(def);
}

void IniFile::writeString(const std::string& section, const std::string& key, const std::string& value) {
    const std::string clean = OneLine(value);
    if (const auto line = findKey(section, key)) {
        // Keep the key as spelt in the file and the blanks around '='; replace only the value.
        std::string& text = lines_[*line];
        auto valueStart = text.find('=') + 1;
        while (valueStart < text.size() && (text[valueStart] == ' ' || text[valueStart] == '\t'))
            ++valueStart;
        text = text.substr(0, valueStart) + clean;
        return;
    }
    const std::string newLine = key + "=" + clean;
    const auto range = findSection(section);
    if (!range.found) {
        if (!lines_.empty() && !IsBlankLine(lines_.back()))
            lines_.emplace_back();
        lines_.push_back("[" + section + "]");
        lines_.push_back(newLine);
        indexSections();
        return;
    }
    // After the section's last key line, so that blank lines and comments that lead into the
    // next section stay in front of it.
    std::size_t insertAt = range.header + 1;
    for (std::size_t i = range.header + 1; i < range.end; ++i)
        if (KeyName(lines_[i]))
            insertAt = i + 1;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), newLine);
    indexSections();
}

void IniFile::writeInteger(const std::string& section, const std::string& key, long long value) {
    writeString(section, key, std::to_string(value));
}

void IniFile::writeBool(const std::string& section, const std::string& key, bool value) {
    writeString(section, key, value ? "1" : "0");
}

void IniFile::writeFloat(const std::string& section, const std::string& key, double value,
                         char decimalSeparator) {
    writeString(section, key, ShortestFloat(value, decimalSeparator));
}

} // namespace tesmar
