#pragma once
// What the recorder shows after a recording: the status message and, per channel, the largest,
// smallest and mean value.

#include "RecorderRecord.h"
#include "text/MessageKeys.h"

#include <optional>
#include <string>

namespace tesmar {

// Message key of a status 1 … 5; none for 0 and unknown codes.
std::optional<Msg> RecorderStatusMessage(int status);

struct ChannelSummary {
    double max = 0, min = 0, mean = 0, meanAbs = 0;
};

// None for a channel that is off or has no points. Reads the record after the writer ended.
std::optional<ChannelSummary> SummarizeChannel(const RecorderRecord& record, int channel);

struct SummaryTexts {
    std::string max, min, mean; // "Umax=", "Umin =", "Uср. =" values; empty without points
};

// |U| > 1: "%5.2f" and " В", else 1000·U "%3.0f" and " мВ"; the mean chooses its unit by the
// mean of |y|.
SummaryTexts FormatSummary(const std::optional<ChannelSummary>& summary, char decimalSeparator = '.',
                           const std::string& volts = " В", const std::string& millivolts = " мВ");

} // namespace tesmar
