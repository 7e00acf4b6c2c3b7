#include "CalibrationTransfer.h"

#include "device/Commands.h"
#include "device/ServiceCommands.h"
#include "device/UsbSession.h"

#include <algorithm>

namespace tesmar {

std::optional<CalibrationRecord> ReadCalibrationRecord(UsbSession& session)
{
    const auto bytes = QueryDevice(session, CmdReadCalibration, 100, kCalibrationRecordSize);
    if (bytes.size() != kCalibrationRecordSize)
        return std::nullopt;
    CalibrationRecord record;
    std::copy(bytes.begin(), bytes.end(), record.bytes.begin());
    return record;
}

void WriteCalibrationRecord(UsbSession& session, const CalibrationRecord& record)
{
    SendCommands(session, CalibrationWriteSequence(record));
}

bool WriteAndVerifyCalibrationRecord(UsbSession& session, const CalibrationRecord& record)
{
    WriteCalibrationRecord(session, record);
    const auto back = ReadCalibrationRecord(session);
    return back && back->bytes == record.bytes;
}

} // namespace tesmar
