#!/usr/bin/env bash
# Installs the Debian packages the editor needs to build, run and test, if any is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config libxcb1-dev
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6svg6 qt6-qpa-plugins
  # The English translation: lupdate and lrelease, CMake's LinguistTools (qt6-tools-dev), and
  # Qt's own texts (buttons, file dialogs, the system's messages) in Russian and English.
  qt6-l10n-tools qt6-tools-dev qt6-translations-l10n
  # WebP and TIFF underlays (Qt's image format plugins).
  qt6-image-formats-plugins
  libgl-dev libxkbcommon-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libjpeg62-turbo-dev libopencv-imgproc-dev
  libhersheyfont-dev hershey-fonts-data
  clang-format
  fonts-dejavu-core fonts-liberation2
  xvfb xauth
  clang libclang-rt-14-dev
  xdotool imagemagick python3
  # The end-to-end tests read the English window's texts off the screen.
  tesseract-ocr tesseract-ocr-eng
  # The live output's tests: tshark decodes the IDN they capture; node (with its npm) runs a
  # third-party Ether Dream sender against the test DAC.
  tshark nodejs
  desktop-file-utils appstream shared-mime-info dpkg-dev file
  # Files nobody here wrote, read by the tests: ILDA shows and SVG clip art.
  laserboy-indep openclipart-svg
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  $SUDO apt-get update -qq
  # tshark asks whether others may capture; the default (no) is taken without asking.
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Debian's nodejs comes without npm (NodeSource's brings its own, and conflicts with Debian's).
if ! command -v npm >/dev/null; then
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends npm
fi

# The npm Ether Dream sender, at the version its lock file names, beside the script that uses it.
checks="$(dirname "$0")/../tests/ether_dream"
if [ ! -d "$checks/node_modules/@laser-dac/ether-dream" ]; then
  (cd "$checks" && npm ci --no-audit --no-fund)
fi
