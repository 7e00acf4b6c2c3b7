#!/usr/bin/env bash
# tesmar-cli decode uart against sigrok-cli on the same value change dump, the whole process each
# (reading, decoding, writing the rows): a 15.7 M-sample VCD of a 115 200-baud line made here
# (one wire, 1 MHz, changes only, about 12 MB), timed in pairs, tesmar-cli then sigrok-cli, so
# that both see the same load of the machine. sigrok-cli is skipped with a message when missing.
# With --large, the large-file cases follow with their peak memory: a 100 M-sample VCD decoded,
# converted to CSV, and the CSV decoded; then SPI, I2C and 1-Wire decoded on a 300 M-sample VCD
# of the virtual instrument's bus traffic (more samples than a capture held sample by sample may
# have: bursts of 1 M samples, 14 M quiet ones after each); with --huge also a 2 GB VCD decoded.
# Run from the checkout after a build:
#   bench/decoders/cli_decode_vcd.sh [--large] [--huge] [build-dir] [pairs]
set -euo pipefail
large=0
huge=0
while [[ ${1:-} == --* ]]; do
  case $1 in
    --large) large=1 ;;
    --huge) large=1; huge=1 ;;
    *) echo "unknown option $1" >&2; exit 64 ;;
  esac
  shift
done
build=${1:-build}
pairs=${2:-3}
cli="$build/src/cli/tesmar-cli"
make_vcd="$build/bench/decoders/make_uart_vcd"
make_scene="$build/bench/decoders/make_scene_vcd"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Runs a command with its output to $work/out; prints "wall-s cpu-s peak-KB".
measure() {
  local start end
  start=$(date +%s.%N)
  /usr/bin/env time -f "%U %S %M" -o "$work/time" "$@" >"$work/out" 2>"$work/err"
  end=$(date +%s.%N)
  read -r user sys peak <"$work/time"
  echo "$(echo "$end - $start" | bc) $(echo "$user + $sys" | bc) $peak"
}

"$make_vcd" "$work/uart.vcd" 15700000 2>/dev/null
ls -l "$work/uart.vcd" | awk '{ printf "VCD: 15.7 M samples, %.1f MB\n", $5 / 1e6 }'
tesmar=("$cli" decode uart "$work/uart.vcd" --rx rx --tx rx --baud 115200)
sigrok=(sigrok-cli -i "$work/uart.vcd" -P uart:rx=rx:baudrate=115200 -A uart=rx-data)
have_sigrok=1
if ! command -v sigrok-cli >/dev/null; then
  have_sigrok=0
  echo "sigrok-cli is not installed: tesmar-cli alone is timed (no comparison)"
fi

"${tesmar[@]}" >/dev/null # the file and the program in the page cache
printf '%-6s %-28s %-28s %s\n' pair "tesmar-cli wall/CPU/peak" "sigrok-cli wall/CPU/peak" "ratio wall/CPU"
ratios=()
for ((p = 1; p <= pairs; p++)); do
  read -r tw tc tm <<<"$(measure "${tesmar[@]}")"
  rows=$(($(wc -l <"$work/out") - 1))
  if ((have_sigrok)); then
    read -r sw sc sm <<<"$(measure "${sigrok[@]}")"
    srows=$(wc -l <"$work/out")
    [[ $rows == "$srows" ]] || echo "rows differ: tesmar-cli $rows, sigrok-cli $srows"
    rw=$(echo "scale=1; $sw / $tw" | bc)
    rc=$(echo "scale=1; $sc / $tc" | bc)
    ratios+=("$rw")
    printf '%-6s %-28s %-28s %s\n' "$p" "$tw s / $tc s / $((tm / 1024)) MB" "$sw s / $sc s / $((sm / 1024)) MB" "${rw}x / ${rc}x"
  else
    printf '%-6s %-28s\n' "$p" "$tw s / $tc s / $((tm / 1024)) MB"
  fi
done
echo "rows: $rows"
if ((have_sigrok)); then
  echo "median wall-clock ratio: $(printf '%s\n' "${ratios[@]}" | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }')x"
fi

if ((large)); then
  echo
  echo "large files (wall / CPU / peak memory):"
  "$make_vcd" "$work/big.vcd" 100000000 2>/dev/null
  ls -l "$work/big.vcd" | awk '{ printf "VCD: 100 M samples, %.1f MB\n", $5 / 1e6 }'
  read -r w c m <<<"$(measure "$cli" decode uart "$work/big.vcd" --rx rx --baud 115200)"
  echo "decode uart, VCD:  $w s / $c s / $((m / 1024)) MB, $(($(wc -l <"$work/out") - 1)) rows"
  read -r w c m <<<"$(measure "$cli" convert "$work/big.vcd" "$work/big.csv")"
  size=$(ls -l "$work/big.csv" | awk '{ printf "%.2f GB", $5 / 1e9 }')
  echo "convert to CSV:    $w s / $c s / $((m / 1024)) MB ($size)"
  rm -f "$work/big.vcd"
  read -r w c m <<<"$(measure "$cli" decode uart "$work/big.csv" --rx rx --baud 115200)"
  echo "decode uart, CSV:  $w s / $c s / $((m / 1024)) MB, $(($(wc -l <"$work/out") - 1)) rows"
  rm -f "$work/big.csv"
  "$make_scene" "$work/scene.vcd" 300000000 1000000 14000000 2>/dev/null
  ls -l "$work/scene.vcd" | awk '{ printf "VCD: 300 M samples of bus traffic in bursts, %.1f MB\n", $5 / 1e6 }'
  read -r w c m <<<"$(measure "$cli" decode spi "$work/scene.vcd" --sck sck --mosi mosi --miso miso --cs cs)"
  echo "decode spi:        $w s / $c s / $((m / 1024)) MB, $(($(wc -l <"$work/out") - 1)) rows"
  read -r w c m <<<"$(measure "$cli" decode i2c "$work/scene.vcd" --scl scl --sda sda)"
  echo "decode i2c:        $w s / $c s / $((m / 1024)) MB, $(($(wc -l <"$work/out") - 1)) rows"
  read -r w c m <<<"$(measure "$cli" decode 1wire "$work/scene.vcd" --dq dq --device thermometer)"
  echo "decode 1wire:      $w s / $c s / $((m / 1024)) MB, $(($(wc -l <"$work/out") - 1)) rows"
  rm -f "$work/scene.vcd"
fi
if ((huge)); then
  "$make_vcd" "$work/huge.vcd" 2650000000 2>/dev/null
  size=$(ls -l "$work/huge.vcd" | awk '{ printf "%.2f GB", $5 / 1e9 }')
  read -r w c m <<<"$(measure "$cli" decode uart "$work/huge.vcd" --rx rx --baud 115200)"
  echo "decode uart, 2.65 G-sample VCD ($size): $w s / $c s / $((m / 1024)) MB, $(($(wc -l <"$work/out") - 1)) rows"
fi
