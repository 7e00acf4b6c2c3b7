#pragma once
// Reading and writing the instrument's calibration record.

#include "device/Calibration.h"

#include <optional>

namespace tesmar {

class UsbSession;

// The record as the instrument answers it; none when the read delivered less than all of it.
std::optional<CalibrationRecord> ReadCalibrationRecord(UsbSession& session);
// Memory space 1 in 64-byte chunks, then the store command.
void WriteCalibrationRecord(UsbSession& session, const CalibrationRecord& record);
// Writes the record and reads it back: true only when the instrument keeps exactly it. The write
// itself reports no failed transfer, so a record lost on the way is found only like this.
bool WriteAndVerifyCalibrationRecord(UsbSession& session, const CalibrationRecord& record);

} // namespace tesmar
