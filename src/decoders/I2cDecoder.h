#pragma once
// Decoding of an I2C exchange into transactions: START/STOP events, address rows and data rows.

#include "decoders/DecoderMessage.h"
#include "decoders/I2cTable.h"
#include "decoders/LineEvents.h"
#include "logic/ChannelQueries.h"

#include <optional>

namespace tesmar {

struct I2cDecodeRequest {
    int scl = 0;
    int sda = 0;
    double marker1 = 0.0; // seconds; decoding starts at the sample there
    std::int64_t maxRows = kI2cMaxRows; // the window's grid limit by default
};

struct I2cDecodeResult {
    std::optional<DecoderMessage> error;
    I2cGrid grid;
    double quarterPeriod = 0.0; // q, seconds
};

// The decoding of the capture held sample by sample: the checks that need its arrays, then
// DecodeI2cEvents over them.
I2cDecodeResult DecodeI2c(const ChannelQueries& queries, const I2cDecodeRequest& request);

// The decoding on lines known by their changes: `events` follows SCL and SDA and is gone
// through twice (the clock's quarter period first). An empty result when it cannot be gone
// through again.
I2cDecodeResult DecodeI2cEvents(LineEvents& events, const LineTiming& timing, const I2cDecodeRequest& request);

} // namespace tesmar
