#!/usr/bin/env bash
# What turning photos upright and converting colour profiles cost in a run: snapfolio-cli
# converts copies of the fixture photos (150 and 640 pixels wide, correction and stamp off) as
# they are, and copies stored turned by a quarter (jpegtran -rotate 270) with EXIF orientation
# 6 (exiftool), which come out the same size once turned upright. The difference is the cost of
# turning. The photos are also converted with every photo option off (the plain pipeline).
# Prints CPU seconds per photo and the shares; it judges nothing. Needs jpegtran and exiftool.
#
# usage: bench/orientation_bench.sh [PHOTO_DIR] [SNAPFOLIO_CLI] [REPEATS]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
photos=${1:-${SNAPFOLIO_PHOTOS:-${HOME:-/root}/.cache/snapfolio/photos}}
cli=${2:-$here/build/default/src/snapfolio-cli}
repeats=${3:-3}

command -v exiftool >/dev/null || { echo "exiftool missing (apt-get install libimage-exiftool-perl)"; exit 1; }
command -v jpegtran >/dev/null || { echo "jpegtran missing (apt-get install libjpeg-turbo-progs)"; exit 1; }
[ -x "$cli" ] || { echo "snapfolio-cli not built at $cli"; exit 1; }
mapfile -t originals < <(find "$photos" -maxdepth 1 -type f \( -iname '*.jpg' -o -iname '*.jpeg' \) | sort)
count=${#originals[@]}
[ "$count" -gt 0 ] || { echo "no photos in $photos (tests/fixtures/fetch-photos.sh $photos)"; exit 1; }

work=$(mktemp -d -t snapfolio-orientation.XXXXXX)
trap 'rm -rf "$work"' EXIT
# Both sets pass through jpegtran, so that both are coded alike (jpegtran writes sequential
# files); the second is turned and tagged. Photos with chroma halved in one direction only
# (4:2:2) are left out: turned, they become 4:4:0, which decodes at another speed.
mkdir -p "$work/stored" "$work/tagged"
symmetric=()
for photo in "${originals[@]}"; do
  read -r h v < <(exiftool -s3 -n -YCbCrSubSampling "$photo" 2>/dev/null; echo)
  [ "${h:-1}" = "${v:-1}" ] && symmetric+=("$photo")
done
originals=("${symmetric[@]}")
count=${#originals[@]}
# Each photo four times, so that a run takes long enough to measure in CPU clock ticks.
for photo in "${originals[@]}"; do
  for copy in 1 2 3 4; do
    jpegtran -copy all -outfile "$work/stored/$copy-$(basename "$photo")" "$photo"
    jpegtran -rotate 270 -trim -copy all -outfile "$work/tagged/$copy-$(basename "$photo")" "$photo"
  done
done
count=$((count * 4))
exiftool -q -q -overwrite_original -n -Orientation=6 "$work/tagged" >/dev/null 2>&1 || true
mapfile -t stored < <(find "$work/stored" -type f | sort)
mapfile -t tagged < <(find "$work/tagged" -type f | sort)

# convert OPTIONS... -- PHOTOS...
convert() {
  local options=()
  while [ "$1" != "--" ]; do options+=("$1"); shift; done
  shift
  rm -rf "$work/out" "$work/s.ini"
  mkdir -p "$work/out"
  "$cli" convert --settings "$work/s.ini" --out "$work/out" \
    --set Pict1Options/WIDTH1=150 --set Pict1Options/PRIFN1=t_ \
    --set Pict2Options/WIDTH2=640 --set Pict2Options/AFTFN2=_l "${options[@]}" "$@" 2>/dev/null
}

# Least CPU time (user + system, of snapfolio-cli) of REPEATS runs: steadier than the wall
# time on a machine shared with other work.
measure() {
  local best="" c0 c1 cpu me=$BASHPID
  for ((i = 0; i < repeats; i++)); do
    c0=$(awk '{print $16+$17}' /proc/$me/stat)
    convert "$@" >/dev/null
    c1=$(awk '{print $16+$17}' /proc/$me/stat)
    cpu=$(echo "($c1 - $c0) / $(getconf CLK_TCK)" | bc -l)
    if [ -z "$best" ] || (( $(echo "$cpu < $best" | bc -l) )); then best=$cpu; fi
  done
  echo "$best"
}

plain=(--set PhotoOptions/ORIENTATION=0 --set PhotoOptions/COLORPROFILE=0)
echo "photos: $count from $photos; least CPU time of $repeats runs; two outputs per photo (150 and 640 wide)"
base=$(measure "${plain[@]}" -- "${stored[@]}")
defaults=$(measure -- "${stored[@]}")
turned=$(measure -- "${tagged[@]}")
printf '%-48s %8.4f CPU s/photo\n' "as stored, every photo option off" "$(echo "$base / $count" | bc -l)"
printf '%-48s %8.4f CPU s/photo\n' "as stored, photo options on (the defaults)" "$(echo "$defaults / $count" | bc -l)"
printf '%-48s %8.4f CPU s/photo\n' "stored turned (orientation 6), turned upright" "$(echo "$turned / $count" | bc -l)"
printf 'turning every photo upright: %+.1f %% of the run\n' "$(echo "($turned - $defaults) * 100 / $defaults" | bc -l)"
printf 'photo options on against off: %+.1f %% of the run\n' "$(echo "($defaults - $base) * 100 / $base" | bc -l)"
