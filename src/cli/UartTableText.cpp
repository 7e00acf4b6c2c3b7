#include "cli/UartTableText.h"

#include "cli/DecoderTableText.h"
#include "decoders/DecoderText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <utility>
#include <vector>
#include <string>

namespace tesmar {

namespace {

constexpr std::size_t kColumns = 7; // number, BIN and HEX of each line, the time of each line
constexpr std::size_t kFlushAt = std::size_t(256) << 10;

// "%.9g" as TimeText writes it, into `text`; its length.
std::size_t TimeChars(double seconds, char* text, std::size_t size)
{
    const auto written = std::to_chars(text, text + size, seconds, std::chars_format::general, 9);
    return static_cast<std::size_t>(written.ptr - text);
}

std::size_t Characters(const std::string& text)
{
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

// The time texts of both lines, formatted once for both passes over the rows (and once for a
// line decoded as both), as long as the grid is small enough for them to be kept. Only their
// lengths are indexed: the rows are printed in order.
class TimeTexts {
public:
    static constexpr std::size_t kMostRows = std::size_t(4) << 20;

    TimeTexts(const UartLineResult& rxd, const UartLineResult& txd, std::size_t rows) : oneLine_(&rxd == &txd)
    {
        if (rows > kMostRows)
            return;
        const std::size_t lines = oneLine_ ? 1 : 2;
        lengths_.reserve(lines * rows);
        chars_.reserve(lines * rows * 12);
        char text[40];
        auto add = [&](const UartLineResult& line, std::size_t r) {
            const std::size_t length =
                r < line.startTimes.size() && !std::isnan(line.startTimes[r]) ? TimeChars(line.startTimes[r], text, sizeof text) : 0;
            chars_.append(text, length);
            lengths_.push_back(static_cast<std::uint8_t>(length));
        };
        for (std::size_t r = 0; r < rows; ++r) {
            add(rxd, r);
            if (!oneLine_)
                add(txd, r);
        }
        kept_ = true;
    }
    bool kept() const { return kept_; }
    std::size_t length(std::size_t r, std::size_t k) const { return lengths_[index(r, k)]; }
    // Line k's time text of row r; quickest when asked for in order.
    std::pair<const char*, std::size_t> text(std::size_t r, std::size_t k)
    {
        const std::size_t i = index(r, k);
        if (i < cursor_)
            cursor_ = offset_ = 0;
        for (; cursor_ < i; ++cursor_)
            offset_ += lengths_[cursor_];
        return {chars_.data() + offset_, lengths_[i]};
    }

private:
    std::size_t index(std::size_t r, std::size_t k) const { return oneLine_ ? r : 2 * r + k; }

    bool oneLine_;
    bool kept_ = false;
    std::string chars_;
    std::vector<std::uint8_t> lengths_;
    std::size_t cursor_ = 0; // the text at offset_ in chars_
    std::size_t offset_ = 0;
};

class RowWriter {
public:
    RowWriter(const UartLineResult& rxd, const UartLineResult& txd, std::size_t rows)
        : lines_{&rxd, &txd}, rows_(rows), times_(rxd, txd, rows)
    {
    }

    // The cells of row r (0-based) into cells_, their lengths into lengths_.
    void fill(std::size_t r)
    {
        char* at = storage_.data();
        auto put = [&](std::size_t column, std::size_t length) {
            cells_[column] = at;
            lengths_[column] = length;
            at += length;
        };
        put(0, static_cast<std::size_t>(std::to_chars(at, at + 24, r + 1).ptr - at));
        for (std::size_t k = 0; k < 2; ++k) {
            const UartLineResult& line = *lines_[k];
            if (r >= line.bytes.size()) {
                put(1 + 2 * k, 0);
                put(2 + 2 * k, 0);
                put(5 + k, 0);
                continue;
            }
            const unsigned value = line.bytes[r];
            for (int b = 0; b < 8; ++b)
                at[b] = (value >> (7 - b)) & 1u ? '1' : '0';
            put(1 + 2 * k, 8);
            static constexpr char kDigits[] = "0123456789ABCDEF";
            at[0] = kDigits[value >> 4];
            at[1] = kDigits[value & 15];
            put(2 + 2 * k, 2);
        }
        for (std::size_t k = 0; k < 2; ++k) {
            const UartLineResult& line = *lines_[k];
            if (times_.kept()) {
                const auto [text, length] = times_.text(r, k);
                cells_[5 + k] = text;
                lengths_[5 + k] = length;
            } else if (r < line.startTimes.size() && !std::isnan(line.startTimes[r]))
                put(5 + k, TimeChars(line.startTimes[r], at, 40));
            else
                put(5 + k, 0);
        }
    }

    std::size_t rows() const { return rows_; }
    bool timesKept() const { return times_.kept(); }
    std::size_t timeLength(std::size_t r, std::size_t k) const { return times_.length(r, k); }
    std::array<const char*, kColumns> cells_{};
    std::array<std::size_t, kColumns> lengths_{};

private:
    std::array<const UartLineResult*, 2> lines_;
    std::size_t rows_;
    std::array<char, 256> storage_{};
    TimeTexts times_;
};

} // namespace

void PrintUartTable(const UartDecodeResult& result, const MessageTable& table, bool csv, std::size_t rows,
                    std::ostream& out)
{
    PrintUartTable(result.rxd, result.txd, table, csv, rows, out);
}

void PrintUartTable(const UartLineResult& rxd, const UartLineResult& txd, const MessageTable& table, bool csv,
                    std::size_t rows, std::ostream& out)
{
    const DecoderTable empty = UartTable(UartDecodeResult{}, table);
    std::vector<std::string> headers;
    for (const auto& header : WithTimeColumns(empty).headers)
        headers.push_back(TrimBlanks(header));
    rows = std::min(rows, std::max(rxd.bytes.size(), txd.bytes.size()));
    RowWriter writer(rxd, txd, rows);
    std::string text;
    text.reserve(kFlushAt + 512);
    auto flush = [&] {
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        text.clear();
    };

    if (csv) {
        for (std::size_t c = 0; c < headers.size(); ++c)
            text += (c ? "," : "") + CsvCell(headers[c]);
        text += '\n';
        for (std::size_t r = 0; r < rows; ++r) {
            writer.fill(r);
            for (std::size_t c = 0; c < kColumns; ++c) {
                if (c)
                    text += ',';
                text.append(writer.cells_[c], writer.lengths_[c]);
            }
            text += '\n';
            if (text.size() >= kFlushAt)
                flush();
        }
        flush();
        return;
    }

    // Columns as wide as their longest text; the cells are ASCII but for the headers.
    std::array<std::size_t, kColumns> widths{};
    for (std::size_t c = 0; c < kColumns; ++c)
        widths[c] = Characters(headers[c]);
    if (writer.timesKept()) {
        // Every cell's width is known without writing it: the row number's digits, 8 and 2 for
        // a line's bytes, the kept time texts.
        widths[0] = std::max(widths[0], std::to_string(rows).size());
        const UartLineResult* lines[2] = {&rxd, &txd};
        for (std::size_t k = 0; k < 2; ++k) {
            if (rows > 0 && !lines[k]->bytes.empty()) {
                widths[1 + 2 * k] = std::max<std::size_t>(widths[1 + 2 * k], 8);
                widths[2 + 2 * k] = std::max<std::size_t>(widths[2 + 2 * k], 2);
            }
            for (std::size_t r = 0; r < rows; ++r)
                widths[5 + k] = std::max(widths[5 + k], writer.timeLength(r, k));
        }
    } else {
        for (std::size_t r = 0; r < rows; ++r) {
            writer.fill(r);
            for (std::size_t c = 0; c < kColumns; ++c)
                widths[c] = std::max(widths[c], writer.lengths_[c]);
        }
    }
    auto line = [&](const std::array<const char*, kColumns>& cells, const std::array<std::size_t, kColumns>& bytes,
                    const std::array<std::size_t, kColumns>& characters) {
        for (std::size_t c = 0; c < kColumns; ++c) {
            text.append(cells[c], bytes[c]);
            if (c + 1 < kColumns)
                text.append(widths[c] - characters[c] + 2, ' ');
        }
        while (!text.empty() && text.back() == ' ')
            text.pop_back();
        text += '\n';
    };
    std::array<const char*, kColumns> headerCells{};
    std::array<std::size_t, kColumns> headerBytes{}, headerCharacters{};
    for (std::size_t c = 0; c < kColumns; ++c) {
        headerCells[c] = headers[c].data();
        headerBytes[c] = headers[c].size();
        headerCharacters[c] = Characters(headers[c]);
    }
    line(headerCells, headerBytes, headerCharacters);
    for (std::size_t r = 0; r < rows; ++r) {
        writer.fill(r);
        line(writer.cells_, writer.lengths_, writer.lengths_);
        if (text.size() >= kFlushAt)
            flush();
    }
    flush();
}

} // namespace tesmar
