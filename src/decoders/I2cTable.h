#pragma once
// The I2C result grid: rows of start, address, R/W, acknowledge, data, acknowledge and stop
// cells, each cell with the time of its element.

#include "decoders/DecoderTable.h"

#include <array>
#include <string>
#include <vector>

namespace tesmar {

class MessageTable;

inline constexpr double kNoElementTime = -1e10;
inline constexpr int kI2cColumns = 8; // column 0 is the row number
inline constexpr int kI2cMaxRows = 20002;

enum I2cColumn { I2cStart = 1, I2cAddress = 2, I2cDirection = 3, I2cAddressAck = 4, I2cData = 5, I2cDataAck = 6, I2cStop = 7 };

struct I2cRow {
    std::array<std::string, kI2cColumns> cells;
    std::array<double, kI2cColumns> times;
    I2cRow() { times.fill(kNoElementTime); }
};

struct I2cGrid {
    // Rows 1, 2, … of the grid; a row past `count` may hold the start and address of a
    // transaction that ended without data.
    std::vector<I2cRow> rows;
    int count = 0; // complete rows

    I2cRow& row(int oneBased); // grows the grid as needed
};

DecoderTable I2cDecoderTable(const I2cGrid& grid, const MessageTable& table);

} // namespace tesmar
