#!/usr/bin/env bash
# Times tesmar-cli decode uart on a 15 M-sample VCD of a 115 200-baud line: the whole process,
# reading and resampling the file included. Run from the checkout after a build:
#   bench/decoders/cli_decode_vcd.sh [build-dir] [samples]
set -euo pipefail
build=${1:-build}
samples=${2:-15000000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/decoders/make_uart_vcd" "$work/uart.vcd" "$samples"
ls -l "$work/uart.vcd" | awk '{ printf "VCD: %.1f MB\n", $5 / 1e6 }'
start=$(date +%s.%N)
/usr/bin/env time -f "peak memory: %M KB" \
  "$build/src/cli/tesmar-cli" decode uart "$work/uart.vcd" --rx rx --tx rx --baud 115200 >"$work/rows.txt"
end=$(date +%s.%N)
echo "rows: $(($(wc -l <"$work/rows.txt") - 1))"
echo "time: $(echo "$end - $start" | bc) s"
