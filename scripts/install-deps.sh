#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need; does nothing when all are present.
set -euo pipefail

packages=(
  g++ cmake ninja-build ccache pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-multimedia-dev
  libqcustomplot-dev libqcustomplot2.1-qt6
  libusb-1.0-0-dev libzip-dev sigrok-cli
  googletest libgtest-dev libgmock-dev libbenchmark-dev libfftw3-dev
  fonts-dejavu-core xvfb xauth
  dpkg-dev lintian help2man desktop-file-utils
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then sudo_cmd=(sudo); else
    echo "Packages missing and neither root nor sudo available: ${missing[*]}" >&2; exit 1
  fi
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
