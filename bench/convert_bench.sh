#!/usr/bin/env bash
# Converts the fixture photos to a 150-pixel and a 640-pixel wide JPEG (quality 90, correction
# and stamp off; every tool turning photos upright by their EXIF orientation, as snapfolio-cli
# does by default) with snapfolio-cli, with vipsthumbnail and with ImageMagick, in one run, and
# prints seconds per photo for each tool and the ratios. It prints figures and judges nothing.
#
# usage: bench/convert_bench.sh [PHOTO_DIR] [SNAPFOLIO_CLI] [REPEATS]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
photos=${1:-${SNAPFOLIO_PHOTOS:-${HOME:-/root}/.cache/snapfolio/photos}}
cli=${2:-$here/build/default/src/snapfolio-cli}
repeats=${3:-3}

command -v vipsthumbnail >/dev/null || { echo "vipsthumbnail missing (apt-get install libvips-tools)"; exit 1; }
command -v mogrify >/dev/null || { echo "mogrify missing (apt-get install imagemagick)"; exit 1; }
[ -x "$cli" ] || { echo "snapfolio-cli not built at $cli"; exit 1; }
[ -d "$photos" ] || { echo "no photos in $photos (tests/fixtures/fetch-photos.sh $photos)"; exit 1; }

mapfile -t files < <(find "$photos" -maxdepth 1 -type f \( -iname '*.jpg' -o -iname '*.jpeg' \) | sort)
count=${#files[@]}
[ "$count" -gt 0 ] || { echo "no photos in $photos"; exit 1; }

work=$(mktemp -d -t snapfolio-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT

snapfolio() {
  mkdir -p "$work/s"
  "$cli" convert --settings "$work/s.ini" --out "$work/s" \
    --set Pict1Options/GAZOU1=1 --set Pict1Options/WIDTH1=150 --set Pict1Options/PRIFN1=t_ \
    --set Pict1Options/ATADJ1=0 --set OutStyl/TIMSTMP1=0 \
    --set Pict2Options/GAZOU2=1 --set Pict2Options/WIDTH2=640 --set Pict2Options/AFTFN2=_l \
    --set Pict2Options/ATADJ2=0 --set OutStyl/TIMSTMP2=0 --set OutStyl/HTMLCK=0 \
    "${files[@]}" 2>/dev/null
}
vips() {
  mkdir -p "$work/v"
  vipsthumbnail -s 150x -o "$work/v/t_%s.jpg[Q=90]" "${files[@]}"
  vipsthumbnail -s 640x -o "$work/v/%s_l.jpg[Q=90]" "${files[@]}"
}
magick() {
  mkdir -p "$work/m1" "$work/m2"
  mogrify -path "$work/m1" -auto-orient -resize 150x -quality 90 "${files[@]}" 2>/dev/null
  mogrify -path "$work/m2" -auto-orient -resize 640x -quality 90 "${files[@]}" 2>/dev/null
}

# Best wall time of REPEATS runs, with the CPU time (user + sys) of that run.
measure() {
  local fn=$1 best="" bestcpu="" t0 t1 c0 c1 me=$BASHPID
  for ((i = 0; i < repeats; i++)); do
    rm -rf "$work"/s "$work"/v "$work"/m1 "$work"/m2 "$work/s.ini"
    c0=$(awk '{print $14+$15+$16+$17}' /proc/$me/stat)
    t0=$(date +%s.%N)
    "$fn" >/dev/null
    t1=$(date +%s.%N)
    c1=$(awk '{print $14+$15+$16+$17}' /proc/$me/stat)
    local wall cpu
    wall=$(echo "$t1 - $t0" | bc -l)
    cpu=$(echo "($c1 - $c0) / $(getconf CLK_TCK)" | bc -l)
    if [ -z "$best" ] || (( $(echo "$wall < $best" | bc -l) )); then best=$wall; bestcpu=$cpu; fi
  done
  echo "$best $bestcpu"
}

echo "photos: $count from $photos; best of $repeats runs; two outputs per photo (150 and 640 wide, quality 90)"
read -r s_wall s_cpu < <(measure snapfolio)
read -r v_wall v_cpu < <(measure vips)
read -r m_wall m_cpu < <(measure magick)
printf '%-14s %12s %12s\n' tool "s/photo" "cpu s/photo"
printf '%-14s %12.4f %12.4f\n' snapfolio-cli "$(echo "$s_wall / $count" | bc -l)" "$(echo "$s_cpu / $count" | bc -l)"
printf '%-14s %12.4f %12.4f\n' vipsthumbnail "$(echo "$v_wall / $count" | bc -l)" "$(echo "$v_cpu / $count" | bc -l)"
printf '%-14s %12.4f %12.4f\n' imagemagick "$(echo "$m_wall / $count" | bc -l)" "$(echo "$m_cpu / $count" | bc -l)"
printf 'ratio snapfolio/vipsthumbnail: wall %.2f  cpu %.2f\n' \
  "$(echo "$s_wall / $v_wall" | bc -l)" "$(echo "$s_cpu / $v_cpu" | bc -l)"
printf 'ratio snapfolio/imagemagick:   wall %.2f  cpu %.2f\n' \
  "$(echo "$s_wall / $m_wall" | bc -l)" "$(echo "$s_cpu / $m_cpu" | bc -l)"
