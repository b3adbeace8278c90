#!/usr/bin/env bash
# The main job: installs what the project needs, builds Snapfolio, fetches the sample photos
# (real camera photos from Debian packages, cached in ~/.cache/snapfolio/photos) and makes a web
# album of them with `snapfolio-cli album`: a 150-pixel thumbnail and a 1280-pixel image of every
# photo, upright and dated by when it was taken, and an album page from the shipped template.
# Prints where the album went.
#
# usage: scripts/demo.sh [OUTPUT_DIR]     (default: ./snapfolio-demo)
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-snapfolio-demo}")

bash scripts/setup-debian.sh
photos="${SNAPFOLIO_PHOTOS:-${HOME:-/root}/.cache/snapfolio/photos}"
bash tests/fixtures/fetch-photos.sh "$photos"

cmake --preset default -DSNAPFOLIO_PHOTO_DIR="$photos" >/dev/null
cmake --build --preset default --target snapfolio snapfolio-cli
cli=build/default/src/snapfolio-cli

"$cli" album "$photos" --out "$out" --title "Snapfolio サンプルアルバム"

echo
echo "The album is in $out"
echo "Open $out/index.html in a browser. Start the window with: build/default/src/snapfolio"
