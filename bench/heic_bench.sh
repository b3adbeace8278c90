#!/usr/bin/env bash
# What reading HEIC photos costs in a run, against the way to the same outputs without it:
#   1. snapfolio-cli over the HEIC files (one libheif decoding per photo): with a worker per
#      core and one thread in each libheif decoding, then with one worker (--jobs 1) whose
#      libheif decodings use every core;
#   2. heif-convert of every HEIC to JPEG (quality 95), then snapfolio-cli over the JPEG files
#      (the run of a program that reads JPEG only);
#   3. vipsthumbnail of every HEIC to both widths (libvips reads HEIF through libheif too).
# The HEIC files are made by heif-enc (quality 80, x265's fastest preset: the encoding is not
# measured) from the sample photos of 13 to 20 MP, scaled to 4032 x 3024 as phones write them.
# Output images 150 and 640 pixels wide, correction and stamp off. Prints the wall time and
# the CPU time (user + system) of each way, the best of REPEATS runs; it judges nothing.
#
# usage: bench/heic_bench.sh [PHOTO_DIR] [SNAPFOLIO_CLI] [REPEATS]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
photos=${1:-${SNAPFOLIO_PHOTOS:-${HOME:-/root}/.cache/snapfolio/photos}}
cli=${2:-$here/build/default/src/snapfolio-cli}
repeats=${3:-3}
for tool in heif-enc heif-convert vipsthumbnail; do
  command -v "$tool" >/dev/null || { echo "$tool missing (scripts/setup-debian.sh)"; exit 1; }
done
[ -x "$cli" ] || { echo "snapfolio-cli not built at $cli"; exit 1; }

work=$(mktemp -d -t snapfolio-heic.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/heic"
for name in landscape-18mp.jpg landscape-20mp.jpg portrait-13mp.JPG; do
  convert "$photos/$name" -resize '4032x3024!' -quality 95 "$work/source.jpg"
  heif-enc -q 80 -p preset=ultrafast "$work/source.jpg" -o "$work/heic/${name%.*}.heic" >/dev/null
done
mapfile -t heics < <(find "$work/heic" -type f | sort)
count=${#heics[@]}

run_cli() {  # PHOTOS...
  rm -rf "$work/out" "$work/s.ini"
  mkdir -p "$work/out"
  "$cli" convert --settings "$work/s.ini" --out "$work/out" "${jobs[@]}" \
    --set Pict1Options/WIDTH1=150 --set Pict1Options/PRIFN1=t_ \
    --set Pict2Options/WIDTH2=640 --set Pict2Options/AFTFN2=_l "$@" 2>/dev/null >/dev/null
}
jobs=()
ours() { run_cli "${heics[@]}"; }
ours_one_worker() {
  jobs=(--jobs 1)
  run_cli "${heics[@]}"
  jobs=()
}
converted() {
  rm -rf "$work/jpeg"
  mkdir -p "$work/jpeg"
  for heic in "${heics[@]}"; do
    heif-convert -q 95 "$heic" "$work/jpeg/$(basename "${heic%.*}").jpg" >/dev/null
  done
  run_cli "$work"/jpeg/*.jpg
}
vips() {
  rm -rf "$work/vips"
  mkdir -p "$work/vips"
  for heic in "${heics[@]}"; do
    vipsthumbnail "$heic" --size 150x -o "$work/vips/t_%s.jpg[Q=90]"
    vipsthumbnail "$heic" --size 640x -o "$work/vips/%s_l.jpg[Q=90]"
  done
}

# Best wall and CPU seconds (children's user + system) of REPEATS runs of a function.
measure() {
  local best_wall="" best_cpu="" t0 t1 c0 c1 wall cpu me=$BASHPID
  for ((i = 0; i < repeats; i++)); do
    c0=$(awk '{print $16+$17}' /proc/$me/stat)
    t0=$(date +%s.%N)
    "$1"
    t1=$(date +%s.%N)
    c1=$(awk '{print $16+$17}' /proc/$me/stat)
    wall=$(echo "$t1 - $t0" | bc -l)
    cpu=$(echo "($c1 - $c0) / $(getconf CLK_TCK)" | bc -l)
    if [ -z "$best_wall" ] || (( $(echo "$wall < $best_wall" | bc -l) )); then best_wall=$wall; fi
    if [ -z "$best_cpu" ] || (( $(echo "$cpu < $best_cpu" | bc -l) )); then best_cpu=$cpu; fi
  done
  printf '%-44s %7.2f s wall %7.2f s CPU  (%.2f s wall a photo)\n' "$2" "$best_wall" "$best_cpu" \
    "$(echo "$best_wall / $count" | bc -l)"
}

echo "HEIC photos: $count of 4032 x 3024 (from $photos, heif-enc -q 80); $(nproc) cores; best of $repeats runs"
measure ours "snapfolio-cli over the HEIC files"
measure ours_one_worker "the same, one worker, libheif on every core"
measure converted "heif-convert to JPEG, then snapfolio-cli"
measure vips "vipsthumbnail, both widths"
