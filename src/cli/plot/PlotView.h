#pragma once
// What tesmar-cli plot puts into the picture of an opened file: the whole record or capture, or
// the asked time window, and on the logic analyser's chart only the lines that hold data.

#include "formats/DataFile.h"

#include <optional>
#include <string>

namespace tesmar {

class TfmMain;

struct PlotWindow {
    std::optional<double> from, to; // seconds: the picture's time window, else all of it
};

// Sets the chart of the page that opened `file`; empty, or why the window cannot be shown.
std::string ShowForPicture(TfmMain& window, const DataFile& file, const PlotWindow& asked);

} // namespace tesmar
