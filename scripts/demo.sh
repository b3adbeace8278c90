#!/usr/bin/env bash
# The main job: installs what the project needs, builds Snapfolio, fetches the sample photos
# (real camera photos from Debian packages, cached in ~/.cache/snapfolio/photos) and converts
# them into a web album with snapfolio-cli: a 150-pixel thumbnail and a 640-pixel image of
# every photo, upright and stamped with the date taken, and an album page from the shipped
# template. Prints where the album went.
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

mkdir -p "$out"
"$cli" convert --settings "$out/Snapfolio.ini" --out "$out" \
  --set Pict1Options/GAZOU1=1 --set Pict1Options/WIDTH1=150 --set Pict1Options/PRIFN1=t_ \
  --set Pict2Options/GAZOU2=1 --set Pict2Options/WIDTH2=640 --set Pict2Options/AFTFN2=_l \
  --set Pict2Options/ATADJ2=1 --set ColorAdjust/Aump_Adjust=20 --set ColorAdjust/Cntlr_Adjust=25 \
  --set OutStyl/TIMSTMP2=1 --set OutStyl/TIMSTYLE1="yyyy/mm/dd hh:nn" \
  --set PhotoOptions/DATESOURCE=1 \
  --set OutStyl/HTMLCK=1 --set OutStyl/HTMLFIL=index.html \
  --set OutStyl/ALBMTITL="Snapfolio サンプルアルバム" \
  --set OutStyl/HTMLTMP="$("$cli" default-template)" \
  "$photos"/*.[jJ][pP]*[gG]

echo
echo "The album is in $out"
echo "Open $out/index.html in a browser. Start the window with: build/default/src/snapfolio"
