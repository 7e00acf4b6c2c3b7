#!/usr/bin/env bash
# Builds the Debian package: a release build in build-deb/ (or $1), then CPack's DEB generator.
# The package lands in that folder as tesmar_<version>_<arch>.deb.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir="${1:-build-deb}"
./scripts/install-deps.sh
export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/ccache}"
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}" CCACHE_NOHASHDIR=1
# The distribution's hardening flags (fortified functions, stack protector, full RELRO with
# immediate binding), as a Debian build would pass them.
export DEB_BUILD_MAINT_OPTIONS="hardening=+all"
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags="$(dpkg-buildflags --get LDFLAGS)"
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DTESMAR_BENCH=OFF \
      -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" >/dev/null
cmake --build "$build_dir" -j "$(nproc)" --target tesmar tesmar-cli packaging_files
(cd "$build_dir" && cpack -G DEB)
ls "$build_dir"/*.deb
