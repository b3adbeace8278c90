#!/usr/bin/env bash
# Long fuzzing campaigns, outside CI: builds the fuzz targets (preset `fuzz`: clang++,
# libFuzzer, ASan, UBSan) and runs them one after another for HOURS in all, each for its share,
# on its growing corpus build/fuzz/corpus/<name>/ plus the committed seeds fuzz/corpus/<name>/,
# with its dictionary fuzz/<name>.dict when there is one. A target that finds a crash, leak,
# sanitizer report or timeout stops (the input is kept in build/fuzz/artifacts/) and the others
# still run. Prints per target the executions, executions per second and corpus size.
#
# Usage: scripts/fuzz-long.sh HOURS [TARGET...]     (HOURS may be a fraction: 0.5)
#        scripts/fuzz-long.sh --minimize [TARGET...]
#   TARGET: jpeg_load_fuzz, html_analize_fuzz, ... (default: every fuzz/*_fuzz.cpp)
#   --minimize adds to the committed seeds fuzz/corpus/<name>/ the smallest set of inputs of
#   the grown corpus that reaches what the seeds do not (libFuzzer's -merge=1); review and
#   commit the result.
# Environment: SNAPFOLIO_FUZZ_JOBS=N parallel jobs per target (default 1; the build uses 2).
# Exit status: 0 all clean, 1 a target failed or the build failed, 2 usage, 77 no clang++.
set -euo pipefail
cd "$(dirname "$0")/.."

usage() {
  echo "usage: $0 HOURS [TARGET...] | $0 --minimize [TARGET...]" >&2
  exit 2
}

[ $# -ge 1 ] || usage
mode=run
if [ "$1" = "--minimize" ]; then
  mode=minimize
else
  hours="$1"
  [[ "$hours" =~ ^[0-9]+([.][0-9]+)?$ ]] || usage
fi
shift
if ! command -v clang++ >/dev/null 2>&1; then
  echo "fuzz-long: clang++ not found" >&2
  exit 77
fi

shopt -s nullglob
targets=("$@")
if [ "${#targets[@]}" -eq 0 ]; then
  for src in fuzz/*_fuzz.cpp; do targets+=("$(basename "$src" .cpp)"); done
fi
for name in "${targets[@]}"; do
  [ -f "fuzz/$name.cpp" ] || { echo "fuzz-long: no target fuzz/$name.cpp" >&2; exit 2; }
done

# One fuzzing script at a time per checkout (fuzz-smoke.sh takes the same lock).
mkdir -p build
exec 9>build/.fuzz-smoke.lock
flock 9

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --parallel 2

export ASAN_OPTIONS="abort_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

if [ "$mode" = minimize ]; then
  for name in "${targets[@]}"; do
    seeds="fuzz/corpus/$name"
    work="build/fuzz/corpus/$name"
    mkdir -p "$seeds" "$work"
    before=("$seeds"/*)
    dict=()
    [ -f "fuzz/$name.dict" ] && dict=(-dict="fuzz/$name.dict")
    # Copies into the seeds only those grown inputs that reach code the seeds do not, smallest
    # first; the seeds themselves (named regression inputs among them) stay.
    "build/fuzz/fuzz/$name" -merge=1 "${dict[@]}" -timeout=10 -rss_limit_mb=2048 \
      "$seeds" "$work" >"build/fuzz/$name-merge.log" 2>&1
    after=("$seeds"/*)
    echo "$name: ${#before[@]} seeds + $((${#after[@]} - ${#before[@]})) from $work"
  done
  exit 0
fi

# Whole seconds per target.
total=$(awk -v h="$hours" 'BEGIN { printf "%d", h * 3600 }')
share=$((total / ${#targets[@]}))
[ "$share" -ge 1 ] || usage

jobs="${SNAPFOLIO_FUZZ_JOBS:-1}"
mkdir -p build/fuzz/long build/fuzz/artifacts
failed=()
for name in "${targets[@]}"; do
  work="build/fuzz/corpus/$name"
  log="build/fuzz/long/$name.log"
  mkdir -p "$work"
  args=(-max_total_time="$share" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
        -artifact_prefix="build/fuzz/artifacts/$name-")
  [ -f "fuzz/$name.dict" ] && args+=(-dict="fuzz/$name.dict")
  [ "$jobs" -gt 1 ] && args+=(-fork="$jobs")
  corpora=("$work")
  [ -d "fuzz/corpus/$name" ] && corpora+=("fuzz/corpus/$name")

  echo "== $name: ${share}s from $(date '+%F %T'), log $log"
  start=$(date +%s)
  status=0
  "build/fuzz/fuzz/$name" "${args[@]}" "${corpora[@]}" >"$log" 2>&1 || status=$?
  elapsed=$(($(date +%s) - start))
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  if [ -z "$executions" ]; then
    # Fork mode and crashes print no final statistics: take the last status line.
    executions=$(grep -oE '^#[0-9]+' "$log" | tail -n 1 | tr -d '#')
  fi
  executions="${executions:-0}"
  files=("$work"/*)
  echo "$name: $executions executions in ${elapsed}s" \
    "($((executions / (elapsed > 0 ? elapsed : 1)))/s), corpus ${#files[@]} inputs"
  if [ "$status" -ne 0 ]; then
    tail -n 40 "$log" >&2
    echo "== $name FAILED (exit $status; input in build/fuzz/artifacts/$name-*)" >&2
    failed+=("$name")
  fi
done

if [ "${#failed[@]}" -gt 0 ]; then
  echo "fuzz-long: failed: ${failed[*]}" >&2
  exit 1
fi
echo "fuzz-long: ${#targets[@]} target(s) clean; scripts/fuzz-long.sh --minimize folds the" \
  "grown corpora into the committed seeds"
