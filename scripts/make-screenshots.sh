#!/usr/bin/env bash
# Remakes the pictures of the user manual from the running program on the virtual instrument,
# so that they show the program as it is. Needs no display. The pictures are made in the build
# tree and copied into docs/manual/images only where they differ, so an unchanged program leaves
# the checkout unmodified.
set -euo pipefail
cd "$(dirname "$0")/.."

export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/ccache}"
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}" CCACHE_NOHASHDIR=1
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j "$(nproc)" --target tesmar-screenshots
made=build/manual-images
rm -rf "$made"
QT_QPA_PLATFORM="offscreen:configfile=$PWD/tests/app/screen-1366x768.json" build/tools/tesmar-screenshots "$made"

# Same pixels count as unchanged even when the encoder wrote other bytes.
same_picture() {
  cmp -s "$1" "$2" && return 0
  command -v compare >/dev/null 2>&1 || return 1
  [ "$(compare -metric AE "$1" "$2" null: 2>&1 || true)" = "0" ]
}

changed=0
for picture in "$made"/*.png; do # the manual's pictures; sizes/ stays in the build tree
  target="docs/manual/images/$(basename "$picture")"
  if [ -f "$target" ] && same_picture "$picture" "$target"; then
    continue
  fi
  cp "$picture" "$target"
  echo "updated $target"
  changed=$((changed + 1))
done
echo "$changed picture(s) updated"
