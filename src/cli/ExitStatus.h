#pragma once
// The exit statuses of tesmar-cli: one table for every command, shown by --help.

namespace tesmar {

inline constexpr int kExitComplete = 0;      // the whole result was produced and written
inline constexpr int kExitFailure = 1;       // refused or incomplete: an input, the instrument, a time-out
inline constexpr int kExitNoInstrument = 2;  // no instrument is plugged in
inline constexpr int kExitBootLoader = 3;    // the instrument waits in its boot loader
inline constexpr int kExitUsage = 64;        // a bad command line
inline constexpr int kExitFilterFile = 65;   // spectrum: a filter file is refused
inline constexpr int kExitReplayDiffers = 66; // --replay-usb: the program's transfers left the record
inline constexpr int kExitInternal = 70;     // something escaped the commands (out of memory, say)
inline constexpr int kExitOutput = 74;       // the result could not be written
inline constexpr int kExitInterrupted = 130; // Ctrl-C or SIGTERM cut the work short

inline constexpr const char* kExitStatusHelp =
    "exit status (every command):\n"
    "  0    complete result, written\n"
    "  1    refused or incomplete (an input file, the instrument, a time-out)\n"
    "  2    no instrument plugged in\n"
    "  3    the instrument waits in its boot loader (update its firmware)\n"
    "  64   bad command line\n"
    "  65   spectrum: a filter file is refused\n"
    "  66   --replay-usb: the program sent what the record does not hold (named on standard error)\n"
    "  70   internal error\n"
    "  74   the output could not be written (checked before measuring; a result measured but not\n"
    "       written is kept in a file of its own, named on standard error)\n"
    "  130  Ctrl-C or SIGTERM cut the work short; what was captured is written\n"
    "  --probe answers 0 when an instrument is plugged in, 1 when none is.\n";

} // namespace tesmar
