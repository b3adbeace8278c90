#!/usr/bin/env bash
# A run of two output images (150 and 640 pixels wide, quality 90, no correction, stamp or page)
# over the fixture photos, measured in one go for:
#   - snapfolio-cli convert (the program's run, every core by default),
#   - vipsthumbnail at its best use (one process per size over all photos),
#   - the floor: bench/floor_convert, one DCT-scaled decode per photo, two box-filter reductions
#     and two encodes on one thread (work no converter can avoid).
# Prints wall time, CPU time and peak memory of each (best of REPEATS runs) and the ratios; the
# machine's limit for the set (the larger of the longest photo's floor time and the floor's CPU
# time over the cores: no run on this machine can be faster) and the run's wall time against
# it; the spread of snapfolio-cli's CPU time against the floor's over the runs; --jobs 2
# against --jobs 1.
# With --many N it also prints snapfolio-cli's peak memory for the photos and for N photos (the
# photos linked over and over). It prints figures and judges nothing.
#
# usage: bench/convert_bench.sh [--many N] [PHOTO_DIR] [BUILD_DIR] [REPEATS]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
many=0
if [ "${1:-}" = --many ]; then many=$2; shift 2; fi
photos=${1:-${SNAPFOLIO_PHOTOS:-${HOME:-/root}/.cache/snapfolio/photos}}
build=${2:-$here/build/default}
repeats=${3:-3}
cli=$build/src/snapfolio-cli
floor=$build/bench/floor_convert

command -v vipsthumbnail >/dev/null || { echo "vipsthumbnail missing (apt-get install libvips-tools)"; exit 1; }
[ -x /usr/bin/time ] || { echo "/usr/bin/time missing (apt-get install time)"; exit 1; }
[ -x "$cli" ] || { echo "snapfolio-cli not built at $cli"; exit 1; }
[ -x "$floor" ] || { echo "floor_convert not built at $floor"; exit 1; }
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
    "$@" >/dev/null 2>&1
}
vips() {
  mkdir -p "$work/v"
  vipsthumbnail --no-rotate -s 150x -o "$work/v/t_%s.jpg[Q=90]" "$@" 2>/dev/null &&
    vipsthumbnail --no-rotate -s 640x -o "$work/v/%s_l.jpg[Q=90]" "$@" 2>/dev/null
}
floor() {
  mkdir -p "$work/f"
  "$floor" "$work/f" 150 640 "$@"
}

# "wall cpu peak_kb" of one call, through GNU time (peak = the largest process of the call).
once() {
  local out=$work/time.txt
  /usr/bin/time -o "$out" -f '%e %U %S %M' bash -c "$(declare -f "$1"); $(declare -p work cli floor); $1 \"\$@\"" _ "${@:2}"
  awk '{printf "%s %.3f %s\n", $1, $2 + $3, $4}' "$out"
}
# Best wall time of REPEATS runs, with the CPU time and peak memory of that run; the CPU time
# of every run is appended to $work/cpu-$1.
measure() {
  local best="" line
  for ((i = 0; i < repeats; i++)); do
    rm -rf "$work"/s "$work"/v "$work"/f "$work/s.ini"
    line=$(once "$@")
    echo "$line" | cut -d' ' -f2 >>"$work/cpu-$1"
    if [ -z "$best" ] || (( $(echo "${line%% *} < ${best%% *}" | bc -l) )); then best=$line; fi
  done
  echo "$best"
}

echo "machine: $(nproc) cores, $(awk '/MemTotal/ {printf "%.0f GiB", $2/1048576}' /proc/meminfo), $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
echo "photos: $count from $photos; best of $repeats runs; two outputs per photo (150 and 640 wide, quality 90)"
read -r s_wall s_cpu s_mem < <(measure snapfolio "${files[@]}")
read -r v_wall v_cpu v_mem < <(measure vips "${files[@]}")
read -r f_wall f_cpu f_mem < <(measure floor "${files[@]}")
printf '%-16s %8s %8s %10s\n' tool "wall s" "cpu s" "peak MB"
printf '%-16s %8.2f %8.2f %10.1f\n' snapfolio-cli "$s_wall" "$s_cpu" "$(echo "$s_mem / 1024" | bc -l)"
printf '%-16s %8.2f %8.2f %10.1f\n' vipsthumbnail "$v_wall" "$v_cpu" "$(echo "$v_mem / 1024" | bc -l)"
printf '%-16s %8.2f %8.2f %10.1f\n' floor "$f_wall" "$f_cpu" "$(echo "$f_mem / 1024" | bc -l)"
printf 'speed-up over vipsthumbnail (wall):   %.2f x   (goal: at least 3)\n' "$(echo "$v_wall / $s_wall" | bc -l)"
printf 'CPU time against the floor:           %.2f x   (goal: at most 1.2)\n' "$(echo "$s_cpu / $f_cpu" | bc -l)"
printf 'wall time against the floor:          %.2f x\n' "$(echo "$s_wall / $f_wall" | bc -l)"
printf 'peak memory against vipsthumbnail:    %.2f x   (goal: below 1)\n' "$(echo "$s_mem / $v_mem" | bc -l)"

# The machine's limit: the longest photo's floor time, or the floor's CPU time spread over the
# cores, whichever is larger.
longest=0 longest_name=""
for f in "${files[@]}"; do
  read -r w _ _ < <(measure floor "$f")
  if (( $(echo "$w > $longest" | bc -l) )); then longest=$w longest_name=$(basename "$f"); fi
done
cores=$(nproc)
limit=$(echo "l = $f_cpu / $cores; if ($longest > l) l = $longest; l" | bc -l)
printf 'longest photo (floor): %.2f s (%s); floor CPU over %d cores: %.2f s\n' "$longest" \
  "$longest_name" "$cores" "$(echo "$f_cpu / $cores" | bc -l)"
printf "machine's limit for the set:          %.2f s\n" "$limit"
printf "wall time against the machine's limit: %.2f x   (goal: at most 1.15)\n" \
  "$(echo "$s_wall / $limit" | bc -l)"
# The floor's CPU time is steady; the run's varies with the machine's other work.
read -r c_min c_max < <(sort -n "$work/cpu-snapfolio" | awk 'NR == 1 {a = $1} {b = $1} END {print a, b}')
printf 'CPU time against the floor over %d runs: %.2f to %.2f x\n' "$repeats" \
  "$(echo "$c_min / $f_cpu" | bc -l)" "$(echo "$c_max / $f_cpu" | bc -l)"
read -r j1_wall _ _ < <(measure snapfolio --jobs 1 "${files[@]}")
read -r j2_wall _ _ < <(measure snapfolio --jobs 2 "${files[@]}")
printf -- '--jobs 2 against --jobs 1 (wall):    %.2f x   (goal: at least 1.7)\n' \
  "$(echo "$j1_wall / $j2_wall" | bc -l)"

if [ "$many" -gt 0 ]; then
  mkdir -p "$work/many"
  for ((i = 0; i < many; i++)); do
    f=${files[i % count]}
    ln -s "$f" "$work/many/$(printf 'p%05d_' "$i")$(basename "$f")"
  done
  mapfile -t manyfiles < <(find "$work/many" -maxdepth 1 | sort | tail -n +2)
  read -r _ _ m_mem < <(repeats=1 measure snapfolio "${manyfiles[@]}")
  printf 'snapfolio-cli peak memory: %.1f MB at %d photos, %.1f MB at %d photos (%.2f x)\n' \
    "$(echo "$s_mem / 1024" | bc -l)" "$count" "$(echo "$m_mem / 1024" | bc -l)" "$many" \
    "$(echo "$m_mem / $s_mem" | bc -l)"
fi
