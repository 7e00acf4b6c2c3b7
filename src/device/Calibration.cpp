#include "Calibration.h"

#include <cstring>

namespace tesmar {

namespace {

double readDouble(const CalibrationBytes& bytes, std::size_t offset)
{
    // The record is little-endian like the host; memcpy keeps unaligned access defined.
    double value = 0.0;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

void writeDouble(CalibrationBytes& bytes, std::size_t offset, double value)
{
    std::memcpy(bytes.data() + offset, &value, sizeof value);
}

} // namespace

const CalibrationPair& CalibrationSet::pair(int channel, AnalogRange range) const
{
    if (channel == 0)
        return range == AnalogRange::Normal ? aNormal : aAttenuated;
    return range == AnalogRange::Normal ? bNormal : bAttenuated;
}

double RawToVolts(int raw, const CalibrationPair& pair)
{
    return pair.zero - raw * 64.0 * pair.voltsPerUnit;
}

double VoltsToCode(double volts, const CalibrationPair& pair)
{
    return (pair.zero - volts) / pair.voltsPerUnit;
}

CalibrationSet CalibrationRecord::pairs() const
{
    CalibrationSet set;
    set.aAttenuated = {readDouble(bytes, 0), readDouble(bytes, 8)};
    set.aNormal = {readDouble(bytes, 16), readDouble(bytes, 24)};
    set.bAttenuated = {readDouble(bytes, 32), readDouble(bytes, 40)};
    set.bNormal = {readDouble(bytes, 48), readDouble(bytes, 56)};
    return set;
}

void CalibrationRecord::setPairs(const CalibrationSet& set)
{
    writeDouble(bytes, 0, set.aAttenuated.zero);
    writeDouble(bytes, 8, set.aAttenuated.voltsPerUnit);
    writeDouble(bytes, 16, set.aNormal.zero);
    writeDouble(bytes, 24, set.aNormal.voltsPerUnit);
    writeDouble(bytes, 32, set.bAttenuated.zero);
    writeDouble(bytes, 40, set.bAttenuated.voltsPerUnit);
    writeDouble(bytes, 48, set.bNormal.zero);
    writeDouble(bytes, 56, set.bNormal.voltsPerUnit);
}

std::uint16_t CalibrationRecord::instrumentNumber() const
{
    return static_cast<std::uint16_t>(bytes[257] | (bytes[258] << 8));
}

void CalibrationRecord::setInstrumentNumber(std::uint16_t number)
{
    bytes[257] = static_cast<std::uint8_t>(number & 0xFF);
    bytes[258] = static_cast<std::uint8_t>(number >> 8);
}

} // namespace tesmar
