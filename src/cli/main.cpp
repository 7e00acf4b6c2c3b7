// tesmar-cli: the program's device and file code without windows.

#include "cli/CliMain.h"
#ifdef TESMAR_CLI_PLOT
#include "cli/plot/PlotCommand.h"
#endif

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char* argv[])
{
    try {
        const std::vector<std::string> words(argv + 1, argv + argc);
#ifdef TESMAR_CLI_PLOT
        if (!words.empty() && words.front() == "plot") {
            const int status = tesmar::RunPlotCommand({words.begin() + 1, words.end()}, std::cout, std::cerr);
            std::cout.flush();
            return status;
        }
#endif
        const int status = tesmar::RunCli(words, std::cout, std::cerr);
        // What is still buffered below the stream must reach the file too.
        if (std::fflush(stdout) != 0 && status != tesmar::kExitOutput) {
            std::perror("tesmar-cli: cannot write the output");
            return tesmar::kExitOutput;
        }
        return status;
    } catch (...) {
        std::fputs("tesmar-cli: internal error\n", stderr);
        return tesmar::kExitInternal;
    }
}
