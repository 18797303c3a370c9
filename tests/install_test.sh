#!/usr/bin/env bash
# Installs the build into a scratch root as `cmake --install` does for a user, and checks what
# a desktop reads there: the launcher and the software-centre file pass their validators, the
# file types are named by extension (and ILDA files by their magic), and the program runs.
#   install_test.sh BUILD_DIR
# Exits 77 (skipped) only when a validator is not installed.
set -euo pipefail
build="$1"
id=org.example.quorinimage
for tool in desktop-file-validate appstreamcli update-mime-database; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIPPED: $tool is not installed (scripts/install-deps.sh installs it)"
    exit 77
  fi
done
root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT

cmake --install "$build" --prefix "$root/usr" >/dev/null
failed=0
for file in bin/quorinimage share/applications/$id.desktop \
    share/icons/hicolor/scalable/apps/$id.svg share/mime/packages/$id.xml \
    share/metainfo/$id.metainfo.xml; do
  if [ ! -f "$root/usr/$file" ]; then
    echo "FAILED: $file is not installed"
    failed=1
  fi
done
[ "$failed" -eq 0 ] || exit 1

# A validator's status is checked here rather than by `set -e`, which does not see a command
# before && or in a condition; what it prints is shown either way.
validate() {
  echo "== $*"
  local status=0
  "$@" || status=$?
  if [ "$status" -ne 0 ]; then
    echo "FAILED: $1 exited with $status"
    exit 1
  fi
}
validate desktop-file-validate "$root/usr/share/applications/$id.desktop"
validate appstreamcli validate --no-net --pedantic "$root/usr/share/metainfo/$id.metainfo.xml"

# The file types as the desktop's database compiles them. update-mime-database exits 0 even
# when it cannot read a package, so anything it prints fails the test; with the scratch root
# on the data path it has no note to print about it.
echo "== update-mime-database"
status=0
out="$(XDG_DATA_DIRS="$root/usr/share" update-mime-database "$root/usr/share/mime" 2>&1)" \
  || status=$?
if [ "$status" -ne 0 ] || [ -n "$out" ]; then
  echo "$out"
  echo "FAILED: update-mime-database exited with $status and did not take the package quietly"
  exit 1
fi

# Every kind of file the program opens, by its extension: the launcher lists its type, and the
# database maps the extension to it. Our own types are in the package, so the scratch root's
# database must know them; the standard ones come from the system's shared-mime-info.
system_mime=/usr/share/mime
launcher_types="$(sed -n 's/^MimeType=//p' "$root/usr/share/applications/$id.desktop" \
  | tr ';' '\n')"
for entry in "$root/usr/share/mime application/x-quorinimage-contour *.ilz" \
    "$root/usr/share/mime application/x-quorinimage-legacy *.plz" \
    "$root/usr/share/mime application/x-ilda *.ild" \
    "$system_mime image/svg+xml *.svg" "$system_mime image/bmp *.bmp" \
    "$system_mime image/jpeg *.jpg" "$system_mime image/jpeg *.jpeg" \
    "$system_mime image/vnd.microsoft.icon *.ico" "$system_mime image/wmf *.wmf" \
    "$system_mime image/emf *.emf" "$system_mime image/png *.png" \
    "$system_mime image/gif *.gif" "$system_mime image/webp *.webp" \
    "$system_mime image/tiff *.tif" "$system_mime image/tiff *.tiff"; do
  read -r database type glob <<<"$entry"
  if ! grep -qxF "$type" <<<"$launcher_types"; then
    echo "FAILED: the launcher does not list $type ($glob)"
    failed=1
  fi
  if ! awk -F: -v type="$type" -v glob="$glob" '$2 == type && $3 == glob { found = 1 }
                                               END { exit !found }' "$database/globs2"; then
    echo "FAILED: $database/globs2 does not give $glob the type $type"
    failed=1
  fi
done
magic="$root/usr/share/mime/magic"
if ! grep -aq '^\[50:application/x-ilda\]$' "$magic" || ! grep -aq 'ILDA' "$magic"; then
  echo "FAILED: no ILDA magic for application/x-ilda"
  failed=1
fi
# Every type the launcher opens is one the package defines or a standard one that the system
# database knows, as a type or as an alias (image/x-wmf of image/wmf); the package does not
# define a standard type again.
for type in $launcher_types; do
  grep -qF "type=\"$type\"" "$root/usr/share/mime/packages/$id.xml" \
    || grep -qxF "$type" "$system_mime/types" \
    || awk -v type="$type" '$1 == type { found = 1 } END { exit !found }' "$system_mime/aliases" \
    || grep -qF "type=\"$type\"" "$system_mime/packages/freedesktop.org.xml" || {
    echo "FAILED: $type of the launcher is neither in the MIME package nor a system type"
    failed=1
  }
done
package_types="$(sed -n 's/.*<mime-type type="\([^"]*\)".*/\1/p' \
  "$root/usr/share/mime/packages/$id.xml")"
for type in $package_types; do
  if grep -qF "type=\"$type\"" "$system_mime/packages/freedesktop.org.xml"; then
    echo "FAILED: the MIME package defines $type, a standard type, again"
    failed=1
  fi
done
[ "$failed" -eq 0 ] || exit 1

echo "== installed program"
env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$root/usr/bin/quorinimage" --version
