#include "SimFault.h"

#include <charconv>
#include <cmath>

namespace tesmar {

namespace {

constexpr std::string_view kAfter = "-after=";

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

std::optional<SimFaultKind> KindNamed(std::string_view name)
{
    if (name == "unplug")
        return SimFaultKind::Unplug;
    if (name == "stall")
        return SimFaultKind::Stall;
    if (name == "error")
        return SimFaultKind::TransferError;
    if (name == "replug")
        return SimFaultKind::Replug;
    return std::nullopt;
}

// "0.5s", "200ms", "12transfers", "3reads" (also singular) into a trigger and an amount.
std::optional<SimFault> ParseWhen(std::string_view when)
{
    const char* first = when.data();
    const char* last = when.data() + when.size();
    double value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end == first || !std::isfinite(value) || value < 0)
        return std::nullopt;
    const std::string_view unit(end, static_cast<std::size_t>(last - end));
    SimFault fault;
    if (unit == "s") {
        fault.trigger = SimFaultTrigger::Time;
        fault.amount = value * 1000.0;
    } else if (unit == "ms") {
        fault.trigger = SimFaultTrigger::Time;
        fault.amount = value;
    } else if (unit == "transfers" || unit == "transfer") {
        fault.trigger = SimFaultTrigger::Transfers;
        fault.amount = value;
    } else if (unit == "reads" || unit == "read") {
        fault.trigger = SimFaultTrigger::Reads;
        fault.amount = value;
    } else {
        return std::nullopt;
    }
    if (fault.trigger != SimFaultTrigger::Time && value != std::floor(value))
        return std::nullopt; // a count is whole
    return fault;
}

} // namespace

std::optional<std::vector<SimFault>> ParseSimFaults(std::string_view text, std::string* why)
{
    auto refuse = [why](std::string reason) -> std::optional<std::vector<SimFault>> {
        if (why)
            *why = std::move(reason);
        return std::nullopt;
    };
    std::vector<SimFault> faults;
    if (Trim(text).empty())
        return faults;
    while (true) {
        const std::size_t comma = text.find(',');
        const std::string_view item = Trim(text.substr(0, comma));
        const std::string quoted = "\"" + std::string(item) + "\"";
        if (item.empty())
            return refuse("an empty fault between commas");
        const std::size_t after = item.find(kAfter);
        if (after == std::string_view::npos)
            return refuse("fault " + quoted + " is not KIND-after=WHEN (e.g. unplug-after=0.5s)");
        const std::string name(item.substr(0, after));
        const auto kind = KindNamed(name);
        if (!kind)
            return refuse("unknown fault \"" + name + "\" in " + quoted + " (known: unplug, stall, error, replug)");
        const std::string_view when = item.substr(after + kAfter.size());
        auto fault = ParseWhen(when);
        if (!fault)
            return refuse(name + "-after: \"" + std::string(when) +
                          "\" is not a time (0.5s, 200ms) or a count (12transfers, 3reads)");
        if (*kind == SimFaultKind::Replug && fault->trigger != SimFaultTrigger::Time)
            return refuse("replug-after: give a time after the unplug (e.g. 2s), not \"" + std::string(when) + "\"");
        fault->kind = *kind;
        for (const SimFault& earlier : faults)
            if (earlier.kind == fault->kind)
                return refuse(name + "-after is given twice");
        faults.push_back(*fault);
        if (comma == std::string_view::npos)
            break;
        text.remove_prefix(comma + 1);
    }
    return faults;
}

} // namespace tesmar
