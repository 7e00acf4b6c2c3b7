#!/usr/bin/env bash
# Installs what is missing, builds and starts Tesmar: on the instrument when one is plugged in,
# otherwise on the virtual instrument. Extra arguments go to the program (-DEBUG, -CLBR, -SETUP).
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh
export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/ccache}"
# Paths relative to the checkout, so that other clones and worktrees share the cache.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}" CCACHE_NOHASHDIR=1
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j "$(nproc)" --target tesmar tesmar-cli

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display found: Tesmar is a desktop program and needs a graphical session." >&2
  echo "Start it from a desktop, or under a virtual display: xvfb-run -a ./run.sh" >&2
  exit 1
fi

args=("$@")
if ! build/src/cli/tesmar-cli --probe >/dev/null 2>&1; then
  echo "No Tesmar instrument (10C4:EA67) found: starting on the virtual instrument."
  args+=(-SIM)
fi
exec build/src/app/tesmar "${args[@]}"
