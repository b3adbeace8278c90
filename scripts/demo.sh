#!/usr/bin/env bash
# The main job: installs what the project needs, builds Snapfolio, fetches the sample photos
# (real camera photos from Debian packages, cached in ~/.cache/snapfolio/photos), sorts them by
# kind into three folders (OUTPUT_DIR/photos/...) and makes a kept web album of them with
# `snapfolio-cli album` (OUTPUT_DIR/album): one page per folder, cards for the folders on the
# top page, grid thumbnails and viewer images of every photo, upright and dated by when it was
# taken. Then runs the album again, which finds nothing to convert and says so.
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

# The sample photos by kind, as hard links (copies across file systems).
declare -A kinds=(
  [landscape-18mp.jpg]=風景 [landscape-20mp.jpg]=風景 [panorama.jpg]=風景 [dark.jpg]=風景
  [portrait-13mp.JPG]=人物とスナップ [portrait-exif6.jpg]=人物とスナップ [phone-420.jpg]=人物とスナップ
  [dslr-420.jpeg]=人物とスナップ)
for f in "$photos"/*; do
  name=$(basename "$f")
  kind=${kinds[$name]:-テスト画像}
  mkdir -p "$out/photos/$kind"
  [ -e "$out/photos/$kind/$name" ] || ln "$f" "$out/photos/$kind/$name" 2>/dev/null ||
    cp -p "$f" "$out/photos/$kind/$name"
done

"$cli" album "$out/photos" --out "$out/album" --title "Snapfolio サンプルアルバム"
echo "Running the album again:"
"$cli" album "$out/photos" --out "$out/album"

echo
echo "The album is in $out/album"
echo "Open $out/album/index.html in a browser. Start the window with: build/default/src/snapfolio"
