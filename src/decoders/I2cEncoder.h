#pragma once
// Encoding a table of I2C transactions (address, direction, data byte per row) as SCL and SDA
// on two generator lines (bus B).

#include "decoders/DecoderMessage.h"
#include "decoders/GeneratorTarget.h"
#include "decoders/I2cTable.h"

#include <optional>
#include <string>
#include <vector>

namespace tesmar {

inline constexpr int kI2cMinRateKbit = 10;
inline constexpr int kI2cMaxRateKbit = 400;

// The editable cells of one grid row as typed; an empty address or direction repeats the
// previous row's ("0000000" and "W" on the first row).
struct I2cEncodeRow {
    std::string address;   // 7 binary digits
    std::string direction; // "R" or "W"
    std::string data;      // 8 binary digits; an empty data cell ends the table
};

struct I2cEncodeRequest {
    int scl = 9;
    int sda = 8;
    std::string rateText = "100"; // kbit/s, as typed
    std::vector<I2cEncodeRow> rows;
    double marker1 = 0.0; // seconds
};

struct I2cEncodeResult {
    std::optional<DecoderMessage> error; // set: nothing was written
    I2cGrid grid;                        // the grid after encoding, with element times
};

// One slot is a quarter bit: the levels of SCL and SDA.
struct I2cSlot {
    std::uint8_t scl;
    std::uint8_t sda;
};

I2cEncodeResult EncodeI2c(const GeneratorTarget& target, const I2cEncodeRequest& request);

} // namespace tesmar
