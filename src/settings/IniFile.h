#pragma once
// An INI file with the semantics of the Windows private-profile calls the program's files rely
// on: keys are read one at a time with a default (a missing file, section or key, or a value
// that does not convert gives the default); a write replaces one key's value in place, adds a
// missing key or section, and leaves every other line of the file as it was.
//
// The file is kept in memory as its lines; load() reads it, save() writes it back. On disk the
// text is Windows-1251; in memory and through this interface it is UTF-8. Section and key names
// match without regard to letter case.

#include <cstddef>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace tesmar {

class IniFile {
  public:
    IniFile() = default;
    explicit IniFile(std::string path); // loads at once when the file exists

    // Reads the file (CP1251 → UTF-8). A missing file gives an empty document and returns false.
    bool load();
    // Writes the document (UTF-8 → CP1251), lines ended by CR LF. Returns false on a write error.
    bool save() const;
    const std::string& path() const { return path_; }
    void setPath(std::string path) { path_ = std::move(path); }

    // Whole document as text (UTF-8), for tests and for loading from memory.
    void setText(const std::string& utf8Text);
    std::string text() const;

    bool hasSection(const std::string& section) const;
    bool hasKey(const std::string& section, const std::string& key) const;
    std::vector<std::string> sections() const;                       // in file order
    std::vector<std::string> keys(const std::string& section) const; // in file order

    std::string readString(const std::string& section, const std::string& key, const std::string& def) const;
    // Decimal, or hexadecimal after 0x/0X; anything else gives the default.
    long long readInteger(const std::string& section, const std::string& key, long long def) const;
    // Read as an integer; non-zero is true.
    bool readBool(const std::string& section, const std::string& key, bool def) const;
    // Read with the given decimal separator; text that does not convert whole gives the default.
    double readFloat(const std::string& section, const std::string& key, double def,
                     char decimalSeparator) const;

    void writeString(const std::string& section, const std::string& key, const std::string& value);
    void writeInteger(const std::string& section, const std::string& key, long long value);
    void writeBool(const std::string& section, const std::string& key, bool value); // "1" / "0"
    // Shortest general decimal form with the given decimal separator.
    void writeFloat(const std::string& section, const std::string& key, double value, char decimalSeparator);

  private:
    struct SectionRange {
        bool found;
        std::size_t header; // line of "[name]"
        std::size_t end;    // first line after the section
    };
    SectionRange findSection(const std::string& section) const;
    std::optional<std::size_t> findKey(const std::string& section, const std::string& key) const;
    // Remakes the section index below after lines were added or replaced.
    void indexSections();

    std::string path_;
    std::vector<std::string> lines_;
    // The lines that open a section, in order, and the first of them for each name (in lower
    // case): a large file (a language file has thousands of keys) is not scanned whole for
    // every key read.
    std::vector<std::size_t> headers_;
    std::unordered_map<std::string, std::size_t> firstHeader_;
};

} // namespace tesmar
