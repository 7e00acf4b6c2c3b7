#include "settings/LanguageFile.h"

#include "text/Cp1251.h"
#include "text/MessageEscape.h"
#include "text/MessageTexts.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace tesmar {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Valid UTF-8 with at least one multi-byte character (a Windows-1251 Cyrillic text is
// practically never valid UTF-8).
bool LooksLikeUtf8(std::string_view bytes) {
    bool multiByte = false;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        int follow = 0;
        char32_t cp = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        }
        if (lead >= 0xC2 && lead <= 0xDF) {
            follow = 1;
            cp = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            follow = 2;
            cp = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            follow = 3;
            cp = lead & 0x07;
        } else {
            return false;
        }
        if (bytes.size() - i <= static_cast<std::size_t>(follow))
            return false;
        for (int k = 1; k <= follow; ++k) {
            const auto c = static_cast<unsigned char>(bytes[i + k]);
            if ((c & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        const char32_t minimum = follow == 1 ? 0x80 : follow == 2 ? 0x800 : 0x10000;
        if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        multiByte = true;
        i += follow + 1;
    }
    return multiByte;
}

// Latin letters of А … Я in alphabetical order; the lower-case letters map to the lower-case
// forms of the same letters.
constexpr std::string_view kTransliteration = "ABVGDEZZIJKLMNOPRSTUFHC4SS'Y'EUY";

char ToLowerLatin(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

bool IsNonLatin(std::string_view utf8) {
    return std::any_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

bool FitsLanguageFile(std::string_view utf8) {
    return Cp1251ToUtf8(Utf8ToCp1251(utf8)) == utf8;
}

std::string TransliterateCyrillic(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        // А … я are U+0410 … U+044F: D0 90 … D0 BF, D1 80 … D1 8F.
        if ((lead == 0xD0 || lead == 0xD1) && i + 1 < utf8.size()) {
            const auto next = static_cast<unsigned char>(utf8[i + 1]);
            const int cp = ((lead & 0x1F) << 6) | (next & 0x3F);
            if ((next & 0xC0) == 0x80 && cp >= 0x410 && cp <= 0x44F) {
                const int letter = (cp - 0x410) % 32;
                const char latin = kTransliteration[letter];
                out += cp >= 0x430 ? ToLowerLatin(latin) : latin;
                ++i;
                continue;
            }
        }
        out += utf8[i];
    }
    return out;
}

std::optional<IniFile> ParseLanguageFile(std::string_view bytes) {
    if (bytes.size() > kMaxLanguageFileBytes)
        return std::nullopt;
    IniFile file;
    const bool marked = bytes.starts_with(kUtf8Bom);
    if (marked)
        bytes.remove_prefix(kUtf8Bom.size());
    // Invalid sequences in a marked file become '?' on the way through the code page.
    if (marked && !LooksLikeUtf8(bytes) && IsNonLatin(bytes))
        file.setText(Cp1251ToUtf8(Utf8ToCp1251(bytes)));
    else if (marked || LooksLikeUtf8(bytes))
        file.setText(std::string(bytes));
    else
        file.setText(Cp1251ToUtf8(bytes));
    return file;
}

std::optional<IniFile> LoadLanguageFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string bytes;
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (bytes.size() > kMaxLanguageFileBytes)
            return std::nullopt;
    }
    auto file = ParseLanguageFile(bytes);
    if (file)
        file->setPath(path);
    return file;
}

std::optional<std::string> ReadLanguageText(const IniFile& file, const std::string& section, const std::string& key) {
    if (!file.hasKey(section, key))
        return std::nullopt;
    std::string text = file.readString(section, key, {});
    if (text.size() > kMaxLanguageTextBytes)
        return std::nullopt;
    return text;
}

std::optional<std::vector<std::string>> ReadListSection(const IniFile& file, const std::string& section,
                                                        const std::vector<std::string>& current) {
    if (!file.hasSection(section))
        return std::nullopt;
    const auto count = file.keys(section).size();
    if (count == 0 || count > static_cast<std::size_t>(kMaxListLines))
        return std::nullopt;
    std::vector<std::string> lines;
    lines.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::string fallback = i < current.size() ? current[i] : std::string();
        lines.push_back(ReadLanguageText(file, section, std::to_string(i)).value_or(fallback));
    }
    return lines;
}

void WriteListSection(IniFile& file, const std::string& section, const std::vector<std::string>& lines) {
    for (std::size_t i = 0; i < lines.size(); ++i)
        file.writeString(section, std::to_string(i), lines[i]);
}

bool ListNeedsTranslation(const std::vector<std::string>& lines) {
    return std::any_of(lines.begin(), lines.end(), [](const std::string& line) { return IsNonLatin(line); }) &&
           std::all_of(lines.begin(), lines.end(), [](const std::string& line) { return FitsLanguageFile(line); });
}

void LoadMessageTable(const IniFile& file, MessageTable& table) {
    for (const auto& entry : BuiltInMessages()) {
        const auto text = ReadLanguageText(file, kMessageSection, std::string(entry.name));
        if (text)
            table.setText(entry.key, UnescapeMessage(*text));
    }
}

void WriteMessageTable(IniFile& file, const MessageTable& table) {
    for (const auto& entry : BuiltInMessages())
        file.writeString(kMessageSection, std::string(entry.name), EscapeMessage(table.text(entry.key)));
}

int FindLanguageFile(const std::vector<std::string>& files, std::string_view name) {
    auto lower = [](std::string_view s) {
        std::string out(s);
        std::transform(out.begin(), out.end(), out.begin(), ToLowerLatin);
        return out;
    };
    const std::string wanted = lower(name);
    for (std::size_t i = 0; i < files.size(); ++i)
        if (lower(files[i]) == wanted)
            return static_cast<int>(i) + 1;
    return 0;
}

bool IsBuiltInLanguage(std::string_view fileName) {
    return FindLanguageFile({kBuiltInLanguageFile}, fileName) == 1;
}

} // namespace tesmar
