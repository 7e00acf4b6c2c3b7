#include "ProgramHelp.h"

namespace tesmar {

const char* const kNoDisplayMessage =
    "No display found: Tesmar is a desktop program and needs a graphical session.\n"
    "Start it from a desktop, or under a virtual display: xvfb-run -a tesmar\n"
    "Without windows, tesmar-cli measures, converts and decodes (tesmar-cli --help).\n";

std::optional<std::string> HelpOrVersionText(const std::vector<std::string>& arguments, const std::string& version)
{
    for (const std::string& arg : arguments) {
        if (arg == "--version" || arg == "-V")
            return "tesmar " + version + "\n";
        if (arg == "--help" || arg == "-h")
            return "Usage: tesmar [-SIM] [-CLBR] [-DEBUG] [-SETUP]\n"
                   "The desktop program of the Tesmar USB instrument: oscilloscope, spectrum analyser,\n"
                   "recorder and logic analyser with UART, SPI, I2C and 1-Wire decoders.\n"
                   "\n"
                   "Options:\n"
                   "  -SIM         use the virtual instrument instead of USB (also when none is plugged in)\n"
                   "  -CLBR        show the calibration menu\n"
                   "  -DEBUG       show the service buttons\n"
                   "  -SETUP       install the instrument's access rule and the menu entries\n"
                   "  -h, --help   print this help and exit\n"
                   "  -V, --version  print the version and exit\n"
                   "\n"
                   "Settings are kept in ~/.config/tesmar/tesmar.ini (beside the program for a copy\n"
                   "with a file named \"portable\" beside it). The virtual instrument's signals are\n"
                   "chosen with TESMAR_SIM_A and TESMAR_SIM_B (see the manual).\n"
                   "Without windows: tesmar-cli --help.\n";
    }
    return std::nullopt;
}

bool DisplayAvailable(const std::function<const char*(const char*)>& environment)
{
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = environment(name);
        if (value && *value)
            return true;
    }
    return false;
}

} // namespace tesmar
