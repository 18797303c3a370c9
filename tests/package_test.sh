#!/usr/bin/env bash
# Makes the Debian package with CPack, checks that its dependencies came from the libraries
# the program links, unpacks it into a scratch root with `dpkg -x` and runs the unpacked
# program's --version without a display.
#   package_test.sh BUILD_DIR PICTURE
# Exits 77 (skipped) only when the Debian tools are not installed.
set -euo pipefail
build="$(cd "$1" && pwd)"
for tool in cpack dpkg-deb dpkg-shlibdeps; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIPPED: $tool is not installed (scripts/install-deps.sh installs it)"
    exit 77
  fi
done
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

(cd "$scratch" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/out" >/dev/null)
deb="$(ls "$scratch"/out/*.deb)"
echo "== $(basename "$deb")"
depends="$(dpkg-deb -f "$deb" Depends)"
echo "Depends: $depends"
# From the linked libraries, and the SVG and image format plugins named by hand.
for library in libqt6core6 libqt6gui6 libqt6widgets6 libjpeg62-turbo libc6 libqt6svg6 \
    qt6-image-formats-plugins "libopencv-core[0-9]+" "libopencv-imgproc[0-9]+"; do
  if ! grep -Eq "(^|, )$library( |,|$)" <<<"$depends"; then
    echo "FAILED: the package does not depend on $library"
    exit 1
  fi
done
dpkg -x "$deb" "$scratch/root"
dpkg-deb -c "$deb" | awk '{print $6}' | grep -E 'bin/|\.desktop$|\.svg$|\.xml$'
env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$scratch/root/usr/bin/quorinimage" --version
# The tracing module, which the program loads from beside itself the first time it traces.
module="$(dpkg-deb -c "$deb" | awk '{print $6}' | grep -E '^\./usr/lib/(.+/)?quorinimage/quorinimage-tracing\.so$')"
echo "$module"
env -u DISPLAY -u WAYLAND_DISPLAY "$scratch/root/usr/bin/quorinimage" \
  --convert "$2" "$scratch/traced.ilz" --trace
if [ "$(stat -c %s "$scratch/traced.ilz")" != 8192 ]; then
  echo "FAILED: the unpacked program did not trace $2"
  exit 1
fi
