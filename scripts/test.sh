#!/usr/bin/env bash
# Installs what the project needs, fetches the sample photos (cached outside the clone),
# builds and runs every test. Usage: scripts/test.sh [--asan]
set -euo pipefail
cd "$(dirname "$0")/.."

preset=default
[ "${1:-}" = "--asan" ] && preset=asan

bash scripts/setup-debian.sh
photos="${SNAPFOLIO_PHOTOS:-$HOME/.cache/snapfolio/photos}"
bash tests/fixtures/fetch-photos.sh "$photos"

cmake --preset "$preset" -DSNAPFOLIO_PHOTO_DIR="$photos"
cmake --build --preset "$preset"
ctest --preset "$preset"
