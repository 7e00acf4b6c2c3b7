#include "DeviceStartup.h"

#include "Commands.h"
#include "UsbSession.h"

#include <algorithm>

namespace tesmar {

DeviceTakeUp TakeUpDevice(UsbSession& session, bool logicOnlyCheck, const GuardedStep& guarded, bool keepWatching)
{
    if (!session.DeviceOpen(std::chrono::seconds(1), keepWatching))
        return {};
    return TakeUpAttachedDevice(session, logicOnlyCheck, guarded);
}

DeviceTakeUp TakeUpAttachedDevice(UsbSession& session, bool logicOnlyCheck, const GuardedStep& guarded)
{
    DeviceTakeUp result;
    if (!session.isAttached())
        return result;

    bool bootLoader = false;
    guarded(38, [&] {
        const auto id = QueryDevice(session, CmdGetId, 50, 1);
        bootLoader = !id.empty() && id[0] == kIdBootLoader;
    });
    if (bootLoader) {
        result.outcome = DeviceTakeUp::Outcome::BootLoader;
        return result;
    }
    result.outcome = DeviceTakeUp::Outcome::Ready;

    guarded(39, [&] {
        const auto bytes = QueryDevice(session, CmdReadCalibration, 100, kCalibrationRecordSize);
        // A short read would leave zeros where the pairs should be: keep the defaults instead.
        if (bytes.size() == kCalibrationRecordSize) {
            CalibrationRecord record;
            std::copy(bytes.begin(), bytes.end(), record.bytes.begin());
            result.record = record;
        }
    });
    guarded(40, [&] {
        if (result.record && !result.record->isBlank()) {
            result.pairs = result.record->pairs();
            result.logicOnly = logicOnlyCheck && result.record->instrumentType() == kInstrumentTypeLogicOnly;
        }
    });
    session.DeviceReset();
    return result;
}

} // namespace tesmar
