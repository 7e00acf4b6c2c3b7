#include "decoders/SpiDecoder.h"

#include "decoders/DecoderText.h"
#include "decoders/EdgeSpacing.h"
#include "text/MessageTable.h"

#include <algorithm>
#include <limits>

namespace tesmar {

DecoderTable SpiTable(const SpiDecodeResult& result, const MessageTable& table)
{
    DecoderTable grid;
    grid.headers = {"  " + table.text(Msg::strNumber), "BIN(MISO)", "HEX", "BIN(MOSI)", "HEX"};
    grid.timeColumns = {1, 3};
    grid.timeNames = {"MISO", "MOSI"};
    const double none = std::numeric_limits<double>::quiet_NaN();
    // A line that was not decoded leaves its columns empty.
    const std::size_t count = std::max(result.miso.size(), result.mosi.size());
    for (std::size_t r = 0; r < count; ++r) {
        std::vector<std::string> row(5);
        std::vector<double> times(5, none);
        row[0] = std::to_string(r + 1);
        if (r < result.miso.size()) {
            row[1] = BinaryDigits(result.miso[r], 8);
            row[2] = HexByte(result.miso[r]);
            times[1] = times[2] = result.misoTimes[r];
        }
        if (r < result.mosi.size()) {
            row[3] = BinaryDigits(result.mosi[r], 8);
            row[4] = HexByte(result.mosi[r]);
            times[3] = times[4] = result.mosiTimes[r];
        }
        grid.rows.push_back(std::move(row));
        grid.times.push_back(std::move(times));
    }
    return grid;
}

} // namespace tesmar
