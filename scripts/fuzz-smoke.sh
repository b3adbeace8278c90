#!/usr/bin/env bash
# Builds the fuzz targets (preset `fuzz`: clang++, libFuzzer, ASan, UBSan) and runs each
# fuzz/<name>_fuzz.cpp target for a bounded time on its seed corpus fuzz/corpus/<name>/ (when
# present) and its dictionary fuzz/<name>.dict (when present). Fails on the first crash, leak,
# sanitizer report or timeout; the input that caused it is kept in build/fuzz/artifacts/.
# New inputs found go to build/fuzz/corpus/<name>/, never into the committed seeds.
#
# Usage: scripts/fuzz-smoke.sh [SECONDS]   (seconds per target, default 20)
# Exit status: 0 all clean, 1 a target failed or the build failed, 77 no clang++ (skipped).
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-20}"
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || [ "$seconds" -lt 1 ]; then
  echo "usage: $0 [SECONDS]" >&2
  exit 2
fi
if ! command -v clang++ >/dev/null 2>&1; then
  echo "fuzz-smoke: clang++ not found; skipped" >&2
  exit 77
fi

shopt -s nullglob
sources=(fuzz/*_fuzz.cpp)
if [ "${#sources[@]}" -eq 0 ]; then
  echo "fuzz-smoke: no fuzz/*_fuzz.cpp targets" >&2
  exit 0
fi

# One run at a time per checkout: the default and asan test trees share build/fuzz.
mkdir -p build
exec 9>build/.fuzz-smoke.lock
flock 9

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --parallel "${SNAPFOLIO_FUZZ_JOBS:-2}"

# Our own sanitizer settings, not those of the test tree that runs this script.
export ASAN_OPTIONS="abort_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

failed=()
for src in "${sources[@]}"; do
  name="$(basename "$src" .cpp)"
  binary="build/fuzz/fuzz/$name"
  work="build/fuzz/corpus/$name"
  artifacts="build/fuzz/artifacts"
  mkdir -p "$work" "$artifacts"
  args=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
        -artifact_prefix="$artifacts/$name-")
  [ -f "fuzz/$name.dict" ] && args+=(-dict="fuzz/$name.dict")
  corpora=("$work")
  [ -d "fuzz/corpus/$name" ] && corpora+=("fuzz/corpus/$name")

  echo "== $name: ${seconds}s"
  if "$binary" "${args[@]}" "${corpora[@]}" >"build/fuzz/$name.log" 2>&1; then
    grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|#[0-9]+ +DONE)' \
      "build/fuzz/$name.log" || true
  else
    tail -n 60 "build/fuzz/$name.log" >&2
    echo "== $name FAILED (full log: build/fuzz/$name.log)" >&2
    failed+=("$name")
  fi
done

if [ "${#failed[@]}" -gt 0 ]; then
  echo "fuzz-smoke: failed: ${failed[*]}" >&2
  exit 1
fi
echo "fuzz-smoke: ${#sources[@]} target(s) clean"
