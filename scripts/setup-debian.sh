#!/usr/bin/env bash
# Installs every Debian 12 package that building, running and testing Snapfolio needs.
# Run as root, or as a user who may use sudo (asked for only when a package is missing).
# Safe to run again.
set -euo pipefail

packages=(
  # build
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-qpa-plugins
  # Qt's own dialogs (file choosers, colours, message box buttons) in Japanese
  qt6-translations-l10n
  # the English interface: lupdate and lrelease, and their CMake functions
  qt6-tools-dev qt6-l10n-tools
  libjpeg62-turbo-dev
  # photo metadata (EXIF) and colour profiles (ICC)
  libexiv2-dev liblcms2-dev
  # the kept album's catalogue
  libsqlite3-dev sqlite3
  # photos in other formats: HEIF/HEIC (with its HEVC decoder), WebP in and out, camera raw,
  # PNG and TIFF through Qt's readers
  libheif-dev libheif1 libde265-0 libwebp-dev libraw-dev qt6-image-formats-plugins libtiff-dev
  libpng-dev
  # tests, fuzzing, benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev
  # tests of photo metadata and colour: EXIF read back and written, lossless rotations, an
  # independent colour-managed conversion
  libimage-exiftool-perl libjpeg-turbo-progs python3-pil
  # test photos in other formats made from the sample photos
  libheif-examples webp
  # fonts for the Japanese interface and the stamps
  fonts-ipafont-gothic
  # running the window without a display, driving it, screenshots (tests/e2e/window_*,
  # scripts/make-screenshots.sh)
  xvfb xauth xdotool x11-utils
  # end-to-end tests: the album page in a headless browser, driven from Python
  chromium python3
  # checking the installed desktop entry and manual pages; the Debian package (cpack -G DEB
  # reads its dependencies with dpkg-shlibdeps)
  desktop-file-utils man-db dpkg-dev
  # peers of the benchmark and fetching the sample photos
  imagemagick libvips-tools bc time apt-utils ca-certificates
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  echo "setup-debian: all packages present"
  exit 0
fi
SUDO=
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null; then
    echo "setup-debian: missing packages: ${missing[*]}" >&2
    echo "setup-debian: run this as root (sudo is not installed) to install them" >&2
    exit 1
  fi
  SUDO=sudo
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
