#!/usr/bin/env bash
# Times the program's seven passes on our containers and on their peers, and
# writes bench/results/latest.md (tables) and bench/results/latest.png (chart).
#
#   bash bench/run.sh            the full run: 4 sizes, 11 processes per cell
#   bash bench/run.sh --quick    a smoke run: 2 small sizes, 3 processes per cell,
#                                results under bench/results/raw/quick/ only
#
# Every sample is a fresh process pinned to one core (and, as root, at the
# highest nice priority); a cell is the median of its samples. Nothing here passes or fails on a timing.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh

mode=full
ascending_limit=10000   # ascending removal is quadratic: from 100,000 keys on it takes minutes
for arg in "$@"; do
  case $arg in
    --quick) mode=quick ;;
    --ascending-limit=*) ascending_limit=${arg#*=} ;;
    *) echo "usage: bash bench/run.sh [--quick] [--ascending-limit=N]" >&2; exit 2 ;;
  esac
done

if [ "$mode" = quick ]; then
  sizes=(1000 10000); runs=3; memory_size=100000; chart_sizes=(1000 10000)
  out=bench/results/raw/quick
else
  sizes=(1000 10000 100000 1000000); runs=11; memory_size=1000000; chart_sizes=(1000 100000)
  out=bench/results
fi
raw=bench/results/raw
mkdir -p "$raw" "$out"

hb_ensure_packages "${HB_BUILD_PACKAGES[@]}" libtsl-ordered-map-dev libboost-dev libabsl-dev gnuplot-nox

echo "== building the suite (build/bench)"
cmake -S bench -B build/bench >/dev/null
cmake --build build/bench -j"$(nproc)" --target hashbench-bench >/dev/null
source build/bench/bench-build.env
[ -z "$HB_BENCH_APP" ] || cmake --build build/bench -j"$(nproc)" --target hashbench >/dev/null
bench=build/bench/hashbench-bench
cpu=$(( $(nproc) - 1 ))   # the last core: pin every sample there
# As root the samples also run at the highest nice priority, so that other work
# on the machine takes less of their core.
priority=()
[ "$(id -u)" -eq 0 ] && priority=(nice -n -20)
pinned() { "${priority[@]}" taskset -c "$cpu" "$@"; }

"$bench" check
load_at_start=$(cut -d' ' -f1-3 /proc/loadavg)
mapfile -t containers < <("$bench" list | cut -f1)
[ "$HB_BENCH_OURS" = ON ] || echo "note: the library has no string bag and map yet; timing the peers only"

# --- the passes -------------------------------------------------------------
passes_tsv=$raw/passes-$mode.tsv
: >"$passes_tsv"
for ((run = 1; run <= runs; run++)); do
  for n in "${sizes[@]}"; do
    printf '\r== passes: sample %d of %d, n = %d        ' "$run" "$runs" "$n"
    for c in "${containers[@]}"; do
      pinned "$bench" passes "$c" "$n" "$ascending_limit" >>"$passes_tsv"
    done
  done
done
echo

# --- peak memory per key ------------------------------------------------------
memory_tsv=$raw/memory-$mode.tsv
: >"$memory_tsv"
echo "== peak memory per key at n = $memory_size"
for c in "${containers[@]}"; do
  for kind in bag map; do pinned "$bench" memory "$c" "$kind" "$memory_size" >>"$memory_tsv"; done
done

# --- the program's own run ----------------------------------------------------
program_tsv=$raw/program-$mode.tsv
printed_tsv=$raw/program-printed-$mode.tsv
: >"$program_tsv"
echo "== the program's own run"
bash bench/program_run.sh "${HB_BENCH_APP:-}" "$runs" "$printed_tsv" >"$program_tsv" || true

# --- report ---------------------------------------------------------------------
tsc_mhz=$("$bench" tsc-rate)
cpu_model=$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')
machine="$cpu_model, $(nproc) cores, TSC $tsc_mhz MHz (measured against the monotonic clock), Linux $(uname -r), $(g++ -dumpfullversion 2>/dev/null | sed 's/^/g++ /') -O3; load average $load_at_start at the start of the run and $(cut -d' ' -f1-3 /proc/loadavg) at its end"
bash bench/report.sh "$passes_tsv" "$memory_tsv" "$program_tsv" "$printed_tsv" "$out" "$machine" "$runs" "$ascending_limit" \
  "${sizes[*]}" "${containers[*]}" "${chart_sizes[*]}"
echo "== wrote $out/latest.md and $out/latest.png"
