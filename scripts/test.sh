#!/usr/bin/env bash
# Installs what the project needs, fetches the sample photos (cached outside the clone),
# builds and runs every test: the whole suite in the default build (with the fuzz smoke run
# and the end-to-end tests), then the suite again under AddressSanitizer and
# UndefinedBehaviorSanitizer (without the fuzz run, which has its own sanitizers, and without
# the tests that drive the real window).
# Then the run and pipeline tests under ThreadSanitizer (the run's worker threads), built alone.
#   scripts/test.sh            all three
#   scripts/test.sh --default  the default build only
#   scripts/test.sh --asan     the sanitizer build only
#   scripts/test.sh --tsan     the ThreadSanitizer build only
set -euo pipefail
cd "$(dirname "$0")/.."

what=${1:-all}

bash scripts/setup-debian.sh
photos="${SNAPFOLIO_PHOTOS:-${HOME:-/root}/.cache/snapfolio/photos}"
bash tests/fixtures/fetch-photos.sh "$photos"

if [ "$what" = all ] || [ "$what" = --default ]; then
  cmake --preset default -DSNAPFOLIO_PHOTO_DIR="$photos"
  cmake --build --preset default
  ctest --preset default
fi
if [ "$what" = all ] || [ "$what" = --asan ]; then
  cmake --preset asan -DSNAPFOLIO_PHOTO_DIR="$photos"
  cmake --build --preset asan
  ctest --preset asan -LE 'fuzz|window'
fi
if [ "$what" = all ] || [ "$what" = --tsan ]; then
  cmake --preset tsan -DSNAPFOLIO_PHOTO_DIR="$photos"
  cmake --build --preset tsan
  # The preset leaves out the tests that read the output images' EXIF with exiftool: a child
  # process forked from a test process whose runs have had threads leaves the race detector's
  # record of the locks inconsistent (die_after_fork=0), and it then reports races on data the
  # run only touches under its lock.
  ctest --preset tsan
fi
