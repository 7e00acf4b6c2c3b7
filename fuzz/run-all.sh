#!/bin/sh
# Runs every fuzz target, one after the other, until 10 million executions or 30 minutes (whichever
# comes first), and prints one table row per target: executions, seconds, findings.
#   fuzz/run-all.sh [build-fuzz] [corpus] [findings-folder] [target ...]
set -u
build=${1:-build-fuzz}
corpus=${2:-corpus}
out=${3:-fuzz-findings}
[ $# -gt 3 ] && shift 3 || set --
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$out" || exit 1

# target  corpus-folder  dictionary  max_len
targets="fuzz_datafile datafile datafile.dict 16384
fuzz_vcd vcd vcd.dict 4096
fuzz_csv csv csv.dict 4096
fuzz_decode decode vcd.dict 4096
fuzz_settings settings ini.dict 8192
fuzz_language language ini.dict 65536
fuzz_filter filter ini.dict 8192
fuzz_channel_setup setup ini.dict 8192
fuzz_sigrok sigrok sigrok.dict 65536
fuzz_calibration calibration ini.dict 8192
fuzz_firmware firmware bytes.dict 20000
fuzz_generator generator datafile.dict 4096
fuzz_terminal terminal bytes.dict 4096"

echo "| target | executions | time | findings |"
echo "|---|---:|---:|---:|"
echo "$targets" | while read -r target folder dict maxlen; do
    if [ $# -gt 0 ]; then
        case " $* " in *" $target "*) ;; *) continue ;; esac
    fi
    mkdir -p "$corpus/$folder" "$out/$target"
    dictOption=
    [ "$dict" != - ] && dictOption="-dict=$here/dict/$dict"
    log="$out/$target.log"
    start=$(date +%s)
    # shellcheck disable=SC2086
    "$build/fuzz/$target" "$corpus/$folder" $dictOption -runs=10000000 -max_total_time=1800 \
        -rss_limit_mb=4096 -max_len="$maxlen" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$out/$target/" >"$log" 2>&1
    seconds=$(( $(date +%s) - start ))
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    found=$(find "$out/$target" -type f | wc -l)
    echo "| \`$target\` | ${runs:-?} | $seconds s | $found |"
done
