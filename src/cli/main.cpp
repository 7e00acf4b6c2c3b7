// tesmar-cli: the program's device and file code without windows.

#include "cli/CliMain.h"

#include <cstdio>
#include <malloc.h>
#include <iostream>
#include <string>
#include <vector>

#ifdef TESMAR_CLI_PLOT
#include <climits>
#include <unistd.h>

namespace {

// plot runs as tesmar-cli-plot, beside this program in the build tree, in the package's
// libexec folder once installed; its status is this program's.
int RunPlotProgram(char* argv[])
{
    char self[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    std::string folder = length > 0 ? std::string(self, static_cast<std::size_t>(length)) : std::string(argv[0]);
    folder = folder.substr(0, folder.rfind('/') + 1);
    for (const std::string& candidate : {folder + "tesmar-cli-plot", folder + "../" TESMAR_PLOT_LIBEXEC "/tesmar-cli-plot"}) {
        if (access(candidate.c_str(), X_OK) != 0)
            continue;
        std::vector<char*> arguments{const_cast<char*>(candidate.c_str())};
        for (char** word = argv + 2; *word; ++word)
            arguments.push_back(*word);
        arguments.push_back(nullptr);
        execv(candidate.c_str(), arguments.data());
    }
    std::fputs("tesmar-cli: plot: tesmar-cli-plot is not installed beside tesmar-cli\n", stderr);
    return tesmar::kExitInternal;
}

} // namespace
#endif

int main(int argc, char* argv[])
{
    // Large buffers come and go while files are read and written: freed memory is kept for the
    // next one instead of being handed back and fetched again as fresh zeroed pages.
    mallopt(M_MMAP_THRESHOLD, 256 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    try {
        const std::vector<std::string> words(argv + 1, argv + argc);
#ifdef TESMAR_CLI_PLOT
        if (!words.empty() && words.front() == "plot")
            return RunPlotProgram(argv);
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
