// Writes a value change dump of the virtual instrument's default scene (bus A: UART, SPI with
// chip select, I2C and 1-Wire traffic), sampled at 1 MHz (timescale 1 us, changes only): bursts
// of BURST samples of traffic, each followed by QUIET samples without, N samples long.
// usage: make_scene_vcd FILE.vcd [SAMPLES] [BURST] [QUIET]   (defaults 100 M, 1 M and 1 M)

#include "sim/LogicScene.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_scene_vcd FILE.vcd [SAMPLES] [BURST] [QUIET]\n");
        return 64;
    }
    const long long samples = argc > 2 ? std::atoll(argv[2]) : 100'000'000LL;
    const long long burst = argc > 3 ? std::atoll(argv[3]) : 1'000'000LL;
    const long long quietLength = argc > 4 ? std::atoll(argv[4]) : burst;
    const long long period = burst + quietLength;
    std::FILE* out = std::fopen(argv[1], "w");
    if (!out || samples < 100 || burst < 1 || quietLength < 0) {
        std::fprintf(stderr, "make_scene_vcd: cannot write %s\n", argv[1]);
        return 1;
    }
    const char* names[8] = {"rx", "sck", "mosi", "miso", "scl", "sda", "dq", "cs"};
    std::fprintf(out, "$date today $end\n$version bench $end\n$timescale 1 us $end\n$scope module scene $end\n");
    for (int c = 0; c < 8; ++c)
        std::fprintf(out, "$var wire 1 %c %s $end\n", '!' + c, names[c]);
    std::fprintf(out, "$upscope $end\n$enddefinitions $end\n");
    const tesmar::LogicScene scene = tesmar::LogicScene::Default();
    const int idle = scene.busAAt(0);
    int levels = -1;
    long long changes = 0;
    for (long long i = 0; i < samples; ++i) {
        // Quiet stretches hold the levels the scene starts with; they are skipped over.
        const bool quiet = i % period >= burst;
        if (quiet && levels == idle) {
            i = (i / period + 1) * period - 1;
            continue;
        }
        const int now = quiet ? idle : scene.busAAt(i * 1000);
        if (now == levels)
            continue;
        std::fprintf(out, "#%lld\n", i);
        for (int c = 0; c < 8; ++c)
            if (levels < 0 || ((now ^ levels) >> c & 1)) {
                std::fprintf(out, "%d%c\n", (now >> c) & 1, '!' + c);
                ++changes;
            }
        levels = now;
    }
    std::fprintf(out, "#%lld\n", samples); // the end of the last sample
    const bool ok = std::fclose(out) == 0;
    std::fprintf(stderr, "%lld changes in %lld samples\n", changes, samples);
    return ok ? 0 : 1;
}
