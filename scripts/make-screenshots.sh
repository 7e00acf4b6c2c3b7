#!/usr/bin/env bash
# Remakes the pictures of the user manual from the running program on the virtual instrument,
# so that they show the program as it is. Needs no display.
set -euo pipefail
cd "$(dirname "$0")/.."

export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/ccache}"
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}" CCACHE_NOHASHDIR=1
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j "$(nproc)" --target tesmar-screenshots
QT_QPA_PLATFORM=offscreen build/tools/tesmar-screenshots docs/manual/images
