// tesmar-cli: the program's device and file code without windows.

#include "cli/CliMain.h"

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char* argv[])
{
    try {
        const std::vector<std::string> words(argv + 1, argv + argc);
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
