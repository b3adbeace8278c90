#!/usr/bin/env bash
# The kept album (snapfolio-cli album SOURCE --out SITE) measured in one go:
#   - first build of the fixture photos, against a one-shot album run of the same photos the
#     way the album command made it before it kept its site (convert: 150- and 1280-pixel images
#     and the shipped template's page);
#   - a site of N photos (the fixture photos hard-linked under N names in a few folders): its
#     first build (wall time, peak memory against the fixture photos' build), a rerun with
#     nothing changed (best of REPEATS), and a rerun after one photo was added, against a build
#     of that one photo alone.
# Prints figures and ratios; it judges nothing.
#
# usage: bench/kept_album_bench.sh [--many N] [PHOTO_DIR] [BUILD_DIR] [REPEATS]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
many=1000
if [ "${1:-}" = --many ]; then many=$2; shift 2; fi
photos=${1:-${SNAPFOLIO_PHOTOS:-${HOME:-/root}/.cache/snapfolio/photos}}
build=${2:-$here/build/default}
repeats=${3:-5}
cli=$build/src/snapfolio-cli

[ -x /usr/bin/time ] || { echo "/usr/bin/time missing (apt-get install time)"; exit 1; }
[ -x "$cli" ] || { echo "snapfolio-cli not built at $cli"; exit 1; }
mapfile -t files < <(find "$photos" -maxdepth 1 -type f \( -iname '*.jpg' -o -iname '*.jpeg' \) | sort)
count=${#files[@]}
[ "$count" -gt 0 ] || { echo "no photos in $photos (tests/fixtures/fetch-photos.sh $photos)"; exit 1; }

work=$(mktemp -d -t snapfolio-kept.XXXXXX)
trap 'rm -rf "$work"' EXIT

# "wall peak_kb cpu" of one command.
timed() {
  /usr/bin/time -o "$work/time.txt" -f '%e %M %U %S' "$@" >/dev/null 2>"$work/err.txt" ||
    { cat "$work/err.txt" >&2; exit 1; }
  awk '{printf "%s %s %.2f\n", $1, $2, $3 + $4}' "$work/time.txt"
}
# Best wall time of REPEATS runs of a command that changes nothing.
best() {
  local b="" w
  for ((i = 0; i < repeats; i++)); do
    read -r w _ < <(timed "$@")
    if [ -z "$b" ] || (( $(echo "$w < $b" | bc -l) )); then b=$w; fi
  done
  echo "$b"
}
ratio() { echo "scale=2; $1 / $2" | bc -l; }

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"

# The fixture photos: the one-shot album of before, then the kept album's first build.
mkdir -p "$work/oneshot" "$work/src15"
for f in "${files[@]}"; do ln "$f" "$work/src15/" 2>/dev/null || cp "$f" "$work/src15/"; done
read -r old_wall old_mem old_cpu < <(timed "$cli" convert --settings "$work/none.ini" --out "$work/oneshot" \
  --set Pict1Options/GAZOU1=1 --set Pict1Options/WIDTH1=150 --set Pict1Options/PRIFN1=t_ \
  --set Pict2Options/GAZOU2=1 --set Pict2Options/WIDTH2=1280 --set Pict2Options/AFTFN2=_l \
  --set OutStyl/HTMLCK=1 --set OutStyl/HTMLFIL=index.html --set PhotoOptions/DATESOURCE=1 \
  "${files[@]}")
read -r new_wall new_mem new_cpu < <(timed "$cli" album "$work/src15" --out "$work/site15")
printf 'first build, %d photos: one-shot album %.2f s (cpu %.2f s), kept album %.2f s (cpu %.2f s; 3 sizes up to 2560 px): %sx wall, %sx cpu\n' \
  "$count" "$old_wall" "$old_cpu" "$new_wall" "$new_cpu" "$(ratio "$new_wall" "$old_wall")" \
  "$(ratio "$new_cpu" "$old_cpu")"

# N photos in folders of 200.
src=$work/src
for ((i = 0; i < many; i++)); do
  dir=$src/folder-$((i / 200))
  [ -d "$dir" ] || mkdir -p "$dir"
  f=${files[$((i % count))]}
  name=$(printf 'IMG_%04d.%s' "$i" "${f##*.}")
  ln "$f" "$dir/$name" 2>/dev/null || cp "$f" "$dir/$name"
done
read -r big_wall big_mem _ < <(timed "$cli" album "$src" --out "$work/site")
printf 'first build, %d photos: %.1f s; peak memory %.1f MB against %.1f MB for %d photos: %sx\n' \
  "$many" "$big_wall" "$(echo "$big_mem / 1024" | bc -l)" "$(echo "$new_mem / 1024" | bc -l)" \
  "$count" "$(ratio "$big_mem" "$new_mem")"

noop=$(best "$cli" album "$src" --out "$work/site")
printf 'rerun, nothing changed, %d photos: %.3f s (best of %d; target under 0.25 s)\n' \
  "$many" "$noop" "$repeats"

# One photo more: the rerun against a build of that photo alone.
extra=${files[0]}
mkdir -p "$work/one"
cp "$extra" "$work/one/added.${extra##*.}"
read -r alone _ < <(timed "$cli" album "$work/one" --out "$work/site-one")
cp "$extra" "$src/folder-0/added.${extra##*.}"
read -r added _ < <(timed "$cli" album "$src" --out "$work/site")
printf 'one photo added to %d: %.3f s; that photo alone: %.3f s; difference %.3f s (target under 0.3 s)\n' \
  "$many" "$added" "$alone" "$(echo "$added - $alone" | bc -l)"
