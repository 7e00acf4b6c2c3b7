#pragma once
// Language files: the texts of the windows, the lists (drop-down lists and knob scales) and the
// message table, in an INI file. Window sections hold "<component>.Caption", ".Hint" and
// ".Filter" keys; a list's section is named after its owner and holds the lines under 0, 1, …;
// section `string` holds the message table, escaped.

#include "settings/IniFile.h"
#include "text/MessageTable.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tesmar {

// A language file is only texts: anything beyond these sizes is not a translation.
inline constexpr std::size_t kMaxLanguageFileBytes = 4 * 1024 * 1024;
inline constexpr std::size_t kMaxLanguageTextBytes = 4096;
inline constexpr int kMaxListLines = 1024;

inline constexpr const char* kMessageSection = "string";

// A text with a character outside 7-bit ASCII is worth translating.
bool IsNonLatin(std::string_view utf8);
// The text survives the file's 8-bit code page (arrows and super-scripts do not).
bool FitsLanguageFile(std::string_view utf8);
// Every Cyrillic letter but Ё/ё becomes one Latin character; everything else stays.
std::string TransliterateCyrillic(std::string_view utf8);

// The document of a language file's bytes: Windows-1251 as the format has it, or UTF-8 when
// the bytes are valid UTF-8 with a multi-byte character or begin with a byte-order mark (a
// translation saved by a modern editor). Nothing when the file is too large to be one.
std::optional<IniFile> ParseLanguageFile(std::string_view bytes);
// The same from a file; a missing or unreadable file gives nothing.
std::optional<IniFile> LoadLanguageFile(const std::string& path);

// The value of `key` in `section` when the file has it and it is of sensible length.
std::optional<std::string> ReadLanguageText(const IniFile& file, const std::string& section, const std::string& key);

// A list section: lines 0 … n-1 where n is the number of keys in the section; a missing line
// keeps the current line at its place (empty beyond the current list). Nothing when the section
// is absent, empty or absurdly long.
std::optional<std::vector<std::string>> ReadListSection(const IniFile& file, const std::string& section,
                                                        const std::vector<std::string>& current);
// Writes the lines under 0, 1, … (an existing file keeps keys that are not written again).
void WriteListSection(IniFile& file, const std::string& section, const std::vector<std::string>& lines);
// A list is written only when one of its lines is worth translating and all fit the file.
bool ListNeedsTranslation(const std::vector<std::string>& lines);

// Every entry of the table read from section `string` with its current text as default,
// unescaped.
void LoadMessageTable(const IniFile& file, MessageTable& table);
// Every entry, escaped, in table order.
void WriteMessageTable(IniFile& file, const MessageTable& table);

// The position of `name` in `files`, 1-based, compared without regard to letter case; 0 when
// absent.
int FindLanguageFile(const std::vector<std::string>& files, std::string_view name);
// "Russian.ini" in any letter case: the built-in texts.
bool IsBuiltInLanguage(std::string_view fileName);
inline constexpr const char* kBuiltInLanguageFile = "Russian.ini";

} // namespace tesmar
