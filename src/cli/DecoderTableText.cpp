#include "cli/DecoderTableText.h"

#include "decoders/DecoderText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tesmar {

std::string TimeText(double seconds)
{
    if (std::isnan(seconds))
        return "";
    char text[40];
    std::snprintf(text, sizeof text, "%.9g", seconds);
    return text;
}

std::string CsvCell(const std::string& text)
{
    if (text.find_first_of(",\"") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

DecoderTable WithTimeColumns(const DecoderTable& grid)
{
    DecoderTable out;
    out.headers = grid.headers;
    for (const std::string& name : grid.timeNames)
        out.headers.push_back("t " + name + ", s");
    for (std::size_t r = 0; r < grid.rows.size(); ++r) {
        std::vector<std::string> row = grid.rows[r];
        for (int column : grid.timeColumns)
            row.push_back(TimeText(grid.times[r][static_cast<std::size_t>(column)]));
        out.rows.push_back(std::move(row));
    }
    return out;
}

void PrintDecoderTable(const DecoderTable& grid, bool csv, std::ostream& out)
{
    PrintDecoderRows(
        grid, grid.rows.size(),
        [&grid](std::size_t from, std::size_t to) {
            DecoderTable part;
            part.rows.assign(grid.rows.begin() + static_cast<std::ptrdiff_t>(from),
                             grid.rows.begin() + static_cast<std::ptrdiff_t>(to));
            part.times.assign(grid.times.begin() + static_cast<std::ptrdiff_t>(from),
                              grid.times.begin() + static_cast<std::ptrdiff_t>(to));
            return part;
        },
        csv, out);
}

void PrintDecoderRows(const DecoderTable& frame, std::size_t count, const DecoderRowChunk& rows, bool csv,
                      std::ostream& out)
{
    // The window's leading blanks centre texts in its cells; columns here align by themselves.
    std::vector<std::string> headers;
    for (const auto& header : frame.headers)
        headers.push_back(TrimBlanks(header));
    for (const std::string& name : frame.timeNames)
        headers.push_back("t " + name + ", s");
    // Each row's texts with its times after them, made a chunk at a time.
    auto eachRow = [&](auto&& use) {
        constexpr std::size_t kChunk = 4096;
        std::vector<std::string> cells;
        for (std::size_t from = 0; from < count; from += kChunk) {
            const DecoderTable part = rows(from, std::min(count, from + kChunk));
            for (std::size_t r = 0; r < part.rows.size(); ++r) {
                cells.clear();
                for (const auto& cell : part.rows[r])
                    cells.push_back(TrimBlanks(cell));
                for (int column : frame.timeColumns)
                    cells.push_back(TimeText(part.times[r][static_cast<std::size_t>(column)]));
                use(cells);
            }
        }
    };
    if (csv) {
        auto line = [&](const std::vector<std::string>& cells) {
            for (std::size_t c = 0; c < cells.size(); ++c)
                out << (c ? "," : "") << CsvCell(cells[c]);
            out << '\n';
        };
        line(headers);
        eachRow(line);
        return;
    }
    // Columns as wide as their longest text, counted in characters, not bytes: the rows are made
    // twice, once for the widths.
    auto width = [](const std::string& text) {
        return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
    };
    std::vector<std::size_t> widths(headers.size(), 0);
    for (std::size_t c = 0; c < headers.size(); ++c)
        widths[c] = width(headers[c]);
    eachRow([&](const std::vector<std::string>& cells) {
        for (std::size_t c = 0; c < widths.size() && c < cells.size(); ++c)
            widths[c] = std::max(widths[c], width(cells[c]));
    });
    auto line = [&](const std::vector<std::string>& cells) {
        std::string text;
        for (std::size_t c = 0; c < cells.size(); ++c) {
            text += cells[c];
            if (c + 1 < cells.size())
                text += std::string(widths[c] - width(cells[c]) + 2, ' ');
        }
        while (!text.empty() && text.back() == ' ')
            text.pop_back();
        out << text << '\n';
    };
    line(headers);
    eachRow(line);
}

void KeepRows(DecoderTable& grid, std::size_t rows)
{
    if (grid.rows.size() > rows)
        grid.rows.resize(rows);
    if (grid.times.size() > rows)
        grid.times.resize(rows);
}

} // namespace tesmar
