#!/usr/bin/env bash
# Packs the already built tree in $1 with CPack into a scratch folder and checks the package's
# contents and dependencies. Exit 77 (skipped) when the Debian tools are missing.
set -euo pipefail
build_dir="$1"
for tool in cpack dpkg-deb dpkg-shlibdeps lintian; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIPPED: $tool is missing (scripts/install-deps.sh installs it)"
        exit 77
    fi
done
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
(cd "$build_dir" && cpack -G DEB -B "$scratch" >"$scratch/cpack.log" 2>&1) || { cat "$scratch/cpack.log"; exit 1; }
deb="$(ls "$scratch"/*.deb | head -n 1)"
contents="$(dpkg-deb -c "$deb")"
status=0
for path in ./usr/bin/tesmar ./usr/bin/tesmar-cli ./usr/lib/udev/rules.d/60-tesmar.rules \
            ./usr/share/applications/tesmar.desktop ./usr/share/icons/hicolor/scalable/apps/tesmar.svg \
            ./usr/share/doc/tesmar/README.md ./usr/share/doc/tesmar/copyright ./usr/share/doc/tesmar/changelog.gz \
            ./usr/share/man/man1/tesmar.1.gz ./usr/share/man/man1/tesmar-cli.1.gz \
            ./usr/share/doc/tesmar/manual/index.html ./usr/share/tesmar/lang/ ./usr/share/tesmar/lang/English.ini; do
    if ! grep -q " $path\$" <<<"$contents"; then
        echo "missing from the package: $path"
        status=1
    fi
done
depends="$(dpkg-deb -f "$deb" Depends)"
# libzip is loaded at run time, so only the package names it.
for dependency in libusb-1.0 libqt6widgets6 libqcustomplot2.1-qt6 qt6-qpa-plugins xdg-utils libzip; do
    if ! grep -q "$dependency" <<<"$depends"; then
        echo "missing dependency: $dependency (Depends: $depends)"
        status=1
    fi
done
dpkg-deb -I "$deb" postinst >/dev/null || { echo "no postinst in the package"; status=1; }

# Debian's own judge: no error and no warning (information and pedantic notes are allowed).
lintian_out="$(lintian --no-tag-display-limit "$deb" 2>&1 || true)"
if grep -E '^(E|W): ' <<<"$lintian_out"; then
    echo "lintian reports errors or warnings"
    status=1
fi

# The installed programs run from an unpacked root: the command line on the virtual instrument,
# and the window program's help without any display.
root="$scratch/root"
dpkg-deb -x "$deb" "$root"
home="$scratch/home"
mkdir -p "$home"
if ! out="$(HOME="$home" "$root/usr/bin/tesmar-cli" --sim info 2>&1)"; then
    echo "installed tesmar-cli --sim info failed: $out"
    status=1
fi
# A sigrok session: the installed program finds libzip when it first needs it.
if ! out="$(HOME="$home" "$root/usr/bin/tesmar-cli" decode --list-lines "$(dirname "$0")/../examples/capture.sr" 2>&1)" ||
   ! grep -q "^A.0 " <<<"$out"; then
    echo "installed tesmar-cli does not read a sigrok session: $out"
    status=1
fi
if ! out="$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME="$home" "$root/usr/bin/tesmar" --help 2>&1)" ||
   ! grep -q "Usage: tesmar" <<<"$out"; then
    echo "installed tesmar --help without a display failed: $out"
    status=1
fi
if env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME="$home" "$root/usr/bin/tesmar" >"$scratch/nodisplay" 2>&1 ||
   ! grep -q "No display found" "$scratch/nodisplay"; then
    echo "installed tesmar without a display did not say so: $(cat "$scratch/nodisplay")"
    status=1
fi
[ $status -eq 0 ] && echo "package $(basename "$deb") checked"
exit $status
