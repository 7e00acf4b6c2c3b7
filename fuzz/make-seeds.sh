#!/usr/bin/env bash
# Fills a corpus folder with seeds: the VCD and CSV fixtures of fuzz/seeds, and measurement data
# files made from them by tesmar-cli convert.
#   fuzz/make-seeds.sh [path/to/tesmar-cli] [corpus folder]
set -euo pipefail
cd "$(dirname "$0")/.."
cli=${1:-build/src/cli/tesmar-cli}
out=${2:-corpus}
mkdir -p "$out/datafile" "$out/vcd" "$out/csv" "$out/decode" "$out/settings" "$out/language" "$out/filter" "$out/setup"
cp fuzz/seeds/vcd/*.vcd "$out/vcd/"
cp fuzz/seeds/vcd/*.vcd "$out/decode/"
cp fuzz/seeds/csv/*.csv "$out/csv/"
for kind in settings language filter setup; do
  cp fuzz/seeds/$kind/* "$out/$kind/"
done
for seed in fuzz/seeds/vcd/*.vcd fuzz/seeds/csv/*.csv; do
  # Seeds that the readers refuse (on purpose) have no data file.
  "$cli" convert "$seed" "$out/datafile/$(basename "$seed").dat" 2>/dev/null || true
done
