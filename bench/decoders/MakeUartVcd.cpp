// Writes a value change dump as another analyser would: one wire "rx" carrying 115 200-baud 8N1
// traffic without pauses, sampled at 1 MHz (timescale 1 us, changes only), N samples long.
// usage: make_uart_vcd FILE.vcd [SAMPLES]   (default 15 000 000)

#include "decoders/UartEncoder.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_uart_vcd FILE.vcd [SAMPLES]\n");
        return 64;
    }
    const long long samples = argc > 2 ? std::atoll(argv[2]) : 15'000'000LL;
    std::FILE* out = std::fopen(argv[1], "w");
    if (!out || samples < 100) {
        std::fprintf(stderr, "make_uart_vcd: cannot write %s\n", argv[1]);
        return 1;
    }
    std::fprintf(out, "$date today $end\n$version bench $end\n$timescale 1 us $end\n$scope module uart $end\n"
                      "$var wire 1 ! rx $end\n$upscope $end\n$enddefinitions $end\n#0\n$dumpvars\n1!\n$end\n");
    tesmar::UartSettings settings;
    settings.baud = 115200;
    const double usPerBit = 1e6 / settings.baud;
    double at = 10; // a little idle first
    int level = 1;
    unsigned value = 0x31;
    long long frames = 0;
    while (true) {
        const auto bits = tesmar::UartFrameBits(static_cast<std::uint8_t>(value), settings);
        if (at + static_cast<double>(bits.size()) * usPerBit >= static_cast<double>(samples - 1))
            break;
        for (std::uint8_t bit : bits) {
            if (bit != level)
                std::fprintf(out, "#%lld\n%d!\n", std::llround(at), bit);
            level = bit;
            at += usPerBit;
        }
        value = (value * 13 + 7) & 0xFF;
        ++frames;
    }
    std::fprintf(out, "#%lld\n", samples); // the end of the last sample
    const bool ok = std::fclose(out) == 0;
    std::fprintf(stderr, "%lld frames in %lld samples\n", frames, samples);
    return ok ? 0 : 1;
}
