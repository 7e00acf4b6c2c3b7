#pragma once
// tesmar-cli plot: a measurement data file drawn as the program's page draws it, written as a
// picture (SVG, PDF, PNG or BMP by extension), without a display.

#include <ostream>
#include <string>
#include <vector>

namespace tesmar {

// `args` follow the word "plot". Creates the application object itself, on the offscreen
// platform unless another one is asked for.
int RunPlotCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace tesmar
