#include "decoders/I2cTable.h"

#include "text/MessageTable.h"

#include <limits>

namespace tesmar {

I2cRow& I2cGrid::row(int oneBased)
{
    if (static_cast<int>(rows.size()) < oneBased)
        rows.resize(static_cast<std::size_t>(oneBased));
    return rows[static_cast<std::size_t>(oneBased - 1)];
}

DecoderTable I2cDecoderTable(const I2cGrid& grid, const MessageTable& table)
{
    DecoderTable result;
    result.headers = {"  " + table.text(Msg::strNumber), table.text(Msg::strLanI2cTblStart),
                      table.text(Msg::strLanI2cTblAdrr), "R/W", " ACK", table.text(Msg::strLanI2cTblDate),
                      " ACK", table.text(Msg::strLanI2cTblStop)};
    result.timeColumns = {I2cStart, I2cAddress, I2cDirection, I2cAddressAck, I2cData, I2cDataAck, I2cStop};
    result.timeNames = {"Start", "Address", "R/W", "ACK", "Data", "ACK", "Stop"};
    const double none = std::numeric_limits<double>::quiet_NaN();
    for (std::size_t r = 0; r < grid.rows.size(); ++r) {
        const I2cRow& source = grid.rows[r];
        std::vector<std::string> cells(source.cells.begin(), source.cells.end());
        cells[0] = std::to_string(r + 1);
        std::vector<double> times(kI2cColumns, none);
        for (int c = 1; c < kI2cColumns; ++c)
            if (source.times[c] != kNoElementTime)
                times[c] = source.times[c];
        result.rows.push_back(std::move(cells));
        result.times.push_back(std::move(times));
    }
    return result;
}

} // namespace tesmar
