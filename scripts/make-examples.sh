#!/usr/bin/env bash
# Remakes the files in examples/ with the project's own tesmar-cli on the virtual instrument, so
# that anyone can see how each one was made. Usage: scripts/make-examples.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
cli="$build/src/cli/tesmar-cli"
[ -x "$cli" ] || { echo "no $cli: build the project first (./run.sh or cmake --build)" >&2; exit 1; }
out=examples
mkdir -p "$out"

# Line names of the virtual instrument's traffic, in the logic page's channel setup file format
# (section main, name0 … name15); bus B keeps its default names.
printf '[main]\r\nname0=RX\r\nname1=CLK\r\nname2=MOSI\r\nname3=MISO\r\nname4=SCL\r\nname5=SDA\r\nname6=DQ\r\nname7=SQ\r\n' \
  >"$out/lines.txt"

# One buffered logic capture at 1 MHz (1544 samples), in every interchange format.
"$cli" --sim logic --rate 1M --setup "$out/lines.txt" --out "$out/capture.vcd"
"$cli" convert "$out/capture.vcd" "$out/capture.sr"
"$cli" convert "$out/capture.vcd" "$out/capture.dat"

# One oscilloscope record of both channels as a data file.
"$cli" --sim osc --channels ab --out "$out/osc.dat"

# Generator data: "Hello" as UART on B.0 at 115 200 baud.
"$cli" encode uart --tx B.0 --baud 115200 --text "Hello" --out "$out/pattern.dat"

# A calibration file holding one pair (u0_, k_): the A1/2 pair the virtual instrument reads.
"$cli" --sim calibration read |
  awk '$1 == "A1/2" { printf "[main]\r\nu0_=%s\r\nk_=%s\r\n", $3, $5 }' >"$out/k.txt"
grep -q 'k_=' "$out/k.txt" || { echo "calibration read gave no A1/2 pair" >&2; exit 1; }

ls -l "$out"
