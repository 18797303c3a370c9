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

echo "== desktop-file-validate $id.desktop"
desktop-file-validate "$root/usr/share/applications/$id.desktop" && echo "no errors, no hints"
echo "== appstreamcli validate --no-net $id.metainfo.xml"
appstreamcli validate --no-net --pedantic "$root/usr/share/metainfo/$id.metainfo.xml"

# The file types as the desktop's database compiles them.
# (Its note that the scratch root is not on the data path is shown only if it fails.)
if ! out="$(update-mime-database "$root/usr/share/mime" 2>&1)"; then
  echo "$out"
  exit 1
fi
globs="$root/usr/share/mime/globs2"
for entry in 'application/x-quorinimage-contour:\*\.ilz' 'application/x-quorinimage-legacy:\*\.plz' \
    'application/x-ilda:\*\.ild'; do
  if ! grep -Eq "^[0-9]+:$entry$" "$globs"; then
    echo "FAILED: globs2 has no $entry"
    failed=1
  fi
done
magic="$root/usr/share/mime/magic"
if ! grep -aq '^\[50:application/x-ilda\]$' "$magic" || ! grep -aq 'ILDA' "$magic"; then
  echo "FAILED: no ILDA magic for application/x-ilda"
  failed=1
fi
# Every type the launcher opens is one the package names.
for type in $(sed -n 's/^MimeType=//p' "$root/usr/share/applications/$id.desktop" | tr ';' ' '); do
  grep -q "type=\"$type\"" "$root/usr/share/mime/packages/$id.xml" || {
    echo "FAILED: $type of the launcher is not in the MIME package"
    failed=1
  }
done
[ "$failed" -eq 0 ] || exit 1

echo "== installed program"
env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$root/usr/bin/quorinimage" --version
