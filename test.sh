#!/usr/bin/env bash
# Installs what is missing, builds and runs every test.
#   ./test.sh              normal build in build/
#   ./test.sh --sanitize   AddressSanitizer + UndefinedBehaviorSanitizer build in build-sanitize/
#   ./test.sh --tsan       ThreadSanitizer build in build-tsan/
set -euo pipefail
cd "$(dirname "$0")"

build_dir=build
# Warnings are errors here, so that none slips into what CI accepts.
cmake_opts=(-DTESMAR_WERROR=ON)
ctest_opts=()
case "${1:-}" in
  --sanitize) build_dir=build-sanitize; cmake_opts+=(-DTESMAR_SANITIZE=ON -DTESMAR_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug) ;;
  # Qt itself is not built with ThreadSanitizer, so its own locks look like races: the window
  # tests are left out; the reader threads are checked by the model and virtual-instrument tests.
  --tsan) build_dir=build-tsan; cmake_opts+=(-DTESMAR_TSAN=ON -DTESMAR_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug)
          ctest_opts+=(-LE gui) ;;
  "") ;;
  *) echo "usage: $0 [--sanitize|--tsan]" >&2; exit 2 ;;
esac

./scripts/install-deps.sh
export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/ccache}"
# Paths relative to the checkout, so that other clones and worktrees share the cache.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}" CCACHE_NOHASHDIR=1
cmake -S . -B "$build_dir" -G Ninja "${cmake_opts[@]}" >/dev/null
cmake --build "$build_dir" -j "$(nproc)"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"
cd "$build_dir"
ctest --output-on-failure -j "$(nproc)" --timeout 600 "${ctest_opts[@]}"
