#!/usr/bin/env bash
# Fills a corpus folder with seeds: the VCD and CSV fixtures of fuzz/seeds, measurement data and
# sigrok session files made from them by tesmar-cli convert, and the shipped examples.
#   fuzz/make-seeds.sh [path/to/tesmar-cli] [corpus folder]
set -euo pipefail
cd "$(dirname "$0")/.."
cli=${1:-build/src/cli/tesmar-cli}
out=${2:-corpus}
mkdir -p "$out/datafile" "$out/vcd" "$out/csv" "$out/decode" "$out/settings" "$out/language" "$out/filter" "$out/setup" \
  "$out/sigrok" "$out/calibration" "$out/firmware" "$out/generator" "$out/terminal"
cp fuzz/seeds/vcd/*.vcd "$out/vcd/"
cp fuzz/seeds/vcd/*.vcd "$out/decode/"
cp fuzz/seeds/csv/*.csv "$out/csv/"
for kind in settings language filter setup; do
  cp fuzz/seeds/$kind/* "$out/$kind/"
done
for seed in fuzz/seeds/vcd/*.vcd fuzz/seeds/csv/*.csv; do
  # Seeds that the readers refuse (on purpose) have no data file.
  "$cli" convert "$seed" "$out/datafile/$(basename "$seed").dat" 2>/dev/null || true
  "$cli" convert "$seed" "$out/sigrok/$(basename "$seed").sr" 2>/dev/null || true
done
cp examples/capture.sr "$out/sigrok/"
cp examples/k.txt "$out/calibration/"
cp examples/pattern.dat "$out/generator/"
cp examples/pattern.dat "$out/terminal/"
cp examples/osc.dat "$out/generator/"  # a measurement file passed off as a pattern
# A firmware image ends in its version (2.5); one of a single repeated byte.
printf 'program\x02\x05' > "$out/firmware/small.bin"
head -c 600 /dev/zero | tr '\0' '\377' > "$out/firmware/erased.bin"
# A version 1 session: all samples in the member that "capturefile" names.
if command -v python3 > /dev/null; then
  python3 - "$out/sigrok/version1.sr" <<'PY'
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], "w", zipfile.ZIP_DEFLATED) as z:
    z.writestr("version", "1")
    z.writestr("metadata", "[device 1]\ncapturefile=logic-1\ntotal probes=8\nsamplerate=1 MHz\nprobe1=A0\nunitsize=1\n")
    z.writestr("logic-1", bytes(range(256)) * 4)
PY
fi
