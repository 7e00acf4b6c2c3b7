#include "RecordFileBench.h"

#include <chrono>
#include <cstdio>
#include <cstring>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tesmar::bench {

namespace {

double ResidentMB()
{
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (!status)
        return 0;
    char line[256];
    double kb = 0;
    while (std::fgets(line, sizeof line, status))
        if (std::strncmp(line, "VmRSS:", 6) == 0)
            kb = std::atof(line + 6);
    std::fclose(status);
    return kb / 1024;
}

} // namespace

ChildFigures MeasureInChild(const std::function<bool()>& prepare, const std::function<bool()>& work)
{
    int fds[2];
    if (pipe(fds) != 0)
        return {};
    const pid_t child = fork();
    if (child < 0)
        return {};
    if (child == 0) {
        close(fds[0]);
        ChildFigures figures;
        if (prepare()) {
            figures.baseMB = ResidentMB();
            const auto start = std::chrono::steady_clock::now();
            figures.ok = work();
            figures.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            rusage usage{};
            getrusage(RUSAGE_SELF, &usage);
            figures.peakMB = static_cast<double>(usage.ru_maxrss) / 1024;
        }
        [[maybe_unused]] const auto written = write(fds[1], &figures, sizeof figures);
        _exit(0);
    }
    close(fds[1]);
    ChildFigures figures;
    if (read(fds[0], &figures, sizeof figures) != static_cast<ssize_t>(sizeof figures))
        figures = {};
    close(fds[0]);
    waitpid(child, nullptr, 0);
    return figures;
}

} // namespace tesmar::bench
