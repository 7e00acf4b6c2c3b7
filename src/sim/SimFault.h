#pragma once
// Faults the virtual instrument can be asked for from outside: a text such as
//   unplug-after=0.5s,replug-after=2s
//   stall-after=12transfers
//   error-after=3reads
// Each item is KIND-after=WHEN. Kinds: unplug (drops off the bus), stall (the data pipe stops
// answering: reads wait for their time-out or a halt), error (one transfer fails with an I/O
// error), replug (plugs the instrument in again that long after every unplug). WHEN is a time of
// the instrument's clock ("0.5s", "200ms") or a count of transfers ("12transfers": control and
// bulk transfers alike) or of data-pipe reads ("3reads") made after the faults were armed: the
// fault meets the next transfer (or, counting reads, the next read).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tesmar {

enum class SimFaultKind { Unplug, Stall, TransferError, Replug };
enum class SimFaultTrigger { Time, Transfers, Reads };

struct SimFault {
    SimFaultKind kind = SimFaultKind::Unplug;
    SimFaultTrigger trigger = SimFaultTrigger::Time;
    double amount = 0; // milliseconds of instrument time, or a count
    bool operator==(const SimFault&) const = default;
};

// The faults of `text` (items separated by commas); an empty text means none. A text that does
// not parse gives nothing and says why in `why`, naming the item.
std::optional<std::vector<SimFault>> ParseSimFaults(std::string_view text, std::string* why = nullptr);

} // namespace tesmar
