#include "cli/EncodeBytes.h"

#include "CliText.h"
#include "decoders/DecoderText.h"

#include <cctype>
#include <sstream>

namespace tesmar {

namespace {

std::optional<unsigned> HexNumber(std::string word, unsigned max)
{
    if (word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X'))
        word = word.substr(2);
    if (word.empty() || word.size() > 2)
        return std::nullopt;
    unsigned value = 0;
    for (char c : word) {
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
        value = value * 16 + static_cast<unsigned>(std::isdigit(static_cast<unsigned char>(c))
                                                       ? c - '0'
                                                       : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10);
    }
    return value <= max ? std::optional<unsigned>(value) : std::nullopt;
}

std::vector<std::string> Words(std::string text)
{
    for (char& c : text)
        if (c == ',')
            c = ' ';
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

// "0x50" in hex, else decimal.
std::optional<unsigned> Address(const std::string& word)
{
    if (word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X'))
        return HexNumber(word, 0x7F);
    const auto value = ParseFinite(word);
    if (!value || *value < 0 || *value > 127 || *value != static_cast<double>(static_cast<unsigned>(*value)))
        return std::nullopt;
    return static_cast<unsigned>(*value);
}

} // namespace

std::optional<std::vector<std::uint8_t>> ParseHexBytes(const std::string& text, std::string& problem)
{
    std::vector<std::uint8_t> bytes;
    for (const std::string& word : Words(text)) {
        const auto value = HexNumber(word, 0xFF);
        if (!value) {
            problem = "'" + TerminalText(word) + "' is not a hex byte (00 … FF)";
            return std::nullopt;
        }
        bytes.push_back(static_cast<std::uint8_t>(*value));
    }
    return bytes;
}

std::optional<std::vector<I2cEncodeRow>> ParseI2cTransactions(const std::string& text, std::string& problem)
{
    std::vector<I2cEncodeRow> rows;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, ';');) {
        const std::vector<std::string> words = Words(part);
        if (words.empty())
            continue;
        const std::string quoted = "'" + TerminalText(part) + "'";
        if (words.size() < 3) {
            problem = quoted + " is not w|r ADDRESS BYTE …";
            return std::nullopt;
        }
        std::string direction = words[0];
        for (char& c : direction)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (direction != "W" && direction != "R") {
            problem = quoted + ": '" + TerminalText(words[0]) + "' is not w (write) or r (read)";
            return std::nullopt;
        }
        const auto address = Address(words[1]);
        if (!address) {
            problem = quoted + ": '" + TerminalText(words[1]) + "' is not a 7-bit address (0 … 127 or 0x00 … 0x7F)";
            return std::nullopt;
        }
        for (std::size_t i = 2; i < words.size(); ++i) {
            const auto value = HexNumber(words[i], 0xFF);
            if (!value) {
                problem = quoted + ": '" + TerminalText(words[i]) + "' is not a hex byte (00 … FF)";
                return std::nullopt;
            }
            rows.push_back({BinaryDigits(*address, 7), direction, BinaryDigits(*value, 8)});
        }
    }
    return rows;
}

} // namespace tesmar
