// tesmar-cli-plot: the plot command of tesmar-cli, a program of its own because it needs the
// window libraries, which every other command would otherwise pay for loading at start.

#include "cli/CliMain.h"
#include "cli/plot/PlotCommand.h"

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char* argv[])
{
    try {
        const std::vector<std::string> words(argv + 1, argv + argc);
        const int status = tesmar::RunPlotCommand(words, std::cout, std::cerr);
        std::cout.flush();
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
