#!/usr/bin/env bash
# Takes the pictures of the README (docs/screenshots/*.png) from the real program: the main
# window after a preview (in Japanese, and in English as an English locale shows it), the two
# time-stamp dialogs, the correction dialog and the photo options (each opened with its button),
# and an album page made by the window, rendered by headless Chromium; then a nested page of a
# kept album and its viewer (scripts/make_kept_screenshots.py).
# The window runs under Xvfb on the X11 platform and is driven with xdotool
# (scripts/make_screenshots.py); nothing needs a display.
#
# usage: scripts/make-screenshots.sh [OUTPUT_DIR]     (default: docs/screenshots)
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-docs/screenshots}"

bash scripts/setup-debian.sh
photos="${SNAPFOLIO_PHOTOS:-${HOME:-/root}/.cache/snapfolio/photos}"
bash tests/fixtures/fetch-photos.sh "$photos"

cmake --preset default -DSNAPFOLIO_PHOTO_DIR="$photos" >/dev/null
cmake --build --preset default --target snapfolio snapfolio-cli
python3 scripts/make_screenshots.py --app build/default/src/snapfolio \
  --cli build/default/src/snapfolio-cli --photos "$photos" --out "$out"
python3 scripts/make_kept_screenshots.py --cli build/default/src/snapfolio-cli \
  --photos "$photos" --out "$out"
