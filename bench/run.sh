#!/usr/bin/env bash
# Times the program's seven passes on our containers and on their peers, and
# the program itself, and writes bench/results/latest.md (tables),
# bench/results/latest.png (chart) and the README's table.
#
#   bash bench/run.sh            the full run: 4 sizes, 11 processes per cell
#   bash bench/run.sh --quick    a smoke run: 2 small sizes, 3 processes per cell,
#                                results under bench/results/raw/quick/ only
#
# Every sample is a fresh process pinned to one core (and, as root, at the
# highest nice priority); a cell is the median of its samples. Nothing here
# passes or fails on a timing.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
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
  sizes=(1000 10000); runs=3; memory_size=100000; out=bench/results/raw/quick
else
  sizes=(1000 10000 100000 1000000); runs=11; memory_size=1000000; out=bench/results
fi
raw=bench/results/raw/$mode
mkdir -p "$raw" "$out"

hb_ensure_packages "${HB_BUILD_PACKAGES[@]}" libtsl-ordered-map-dev libboost-dev libabsl-dev gnuplot-nox \
  cargo librust-indexmap-dev xvfb xdotool x11-utils openbox

echo "== building the suite (build/bench, build/bench-rust)"
cmake -S bench -B build/bench >/dev/null
cmake --build build/bench -j"$(nproc)" --target hashbench-bench hashbench-bench-report hashbench >/dev/null
cmake --build build/bench -j"$(nproc)" --target hashbench-bench-draw-tap >/dev/null 2>&1 || true
source build/bench/bench-build.env
# Debian's cargo and rustc, offline, with crates-io replaced by Debian's
# crate directory (bench/.cargo/config.toml, read from bench/ downwards).
(cd bench/rust && RUSTC=/usr/bin/rustc /usr/bin/cargo build --offline --release --quiet \
  --target-dir "$root/build/bench-rust")
binaries=(build/bench/hashbench-bench build/bench-rust/release/hashbench-bench-rust)
cpu=$(( $(nproc) - 1 ))   # the last core: pin every sample there
# As root the samples also run at the highest nice priority, so that other work
# on the machine takes less of their core.
priority=()
[ "$(id -u)" -eq 0 ] && priority=(nice -n -20)
pinned() { "${priority[@]}" taskset -c "$cpu" "$@"; }

declare -A binary_of
: >"$raw/containers.tsv"
for binary in "${binaries[@]}"; do
  "$binary" check
  while IFS=$'\t' read -r name peer form label; do
    binary_of[$name]=$binary
    printf '%s\t%s\t%s\t%s\n' "$name" "$peer" "$form" "$label" >>"$raw/containers.tsv"
  done < <("$binary" list)
done
mapfile -t containers < <(cut -f1 "$raw/containers.tsv")
# Both forms of a peer store the same: memory is measured once per container.
mapfile -t stored < <(awk -F'\t' '$3 == "ours" || $3 == "copies" { print $1 }' "$raw/containers.tsv")
load_at_start=$(cut -d' ' -f1-3 /proc/loadavg)

# --- the passes -------------------------------------------------------------
: >"$raw/passes.tsv"
for ((run = 1; run <= runs; run++)); do
  for n in "${sizes[@]}"; do
    printf '\r== passes: sample %d of %d, n = %d        ' "$run" "$runs" "$n"
    for c in "${containers[@]}"; do
      pinned "${binary_of[$c]}" passes "$c" "$n" "$ascending_limit" >>"$raw/passes.tsv"
    done
  done
done
echo

# --- peak memory per key ------------------------------------------------------
: >"$raw/memory.tsv"
echo "== peak memory per key at n = $memory_size"
for c in "${stored[@]}"; do
  for kind in bag map; do pinned "${binary_of[$c]}" memory "$c" "$kind" "$memory_size" >>"$raw/memory.tsv"; done
done

# --- the program's own run ----------------------------------------------------
echo "== the program's own runs"
# Each round pairs the program's runs with a sample of the suite's row of ours
# with the program's RandomKey, on the same processor.
bash bench/program_run.sh "${HB_BENCH_APP:-}" "${HB_BENCH_DRAW_TAP:-}" "$runs" "$raw" "$cpu" \
  build/bench/hashbench-bench passes hashbench-randomkey 1000 "$ascending_limit" || true

# --- report ---------------------------------------------------------------------
tsc_mhz=$(build/bench/hashbench-bench tsc-rate)
cpu_model=$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')
{
  printf 'machine\t%s, %s cores, TSC %s MHz (measured against the monotonic clock), Linux %s, %s -O3, %s; load average %s at the start of the run and %s at its end\n' \
    "$cpu_model" "$(nproc)" "$tsc_mhz" "$(uname -r)" "$(g++ -dumpfullversion 2>/dev/null | sed 's/^/g++ /')" \
    "$(/usr/bin/rustc --version | cut -d' ' -f1-2)" "$load_at_start" "$(cut -d' ' -f1-3 /proc/loadavg)"
  printf 'date\t%s\n' "$(date -u '+%Y-%m-%d %H:%M UTC')"
  printf 'runs\t%s\n' "$runs"
  printf 'ascending-limit\t%s\n' "$ascending_limit"
} >"$raw/run.tsv"
files=$(build/bench/hashbench-bench-report "$raw" "$out")
gnuplot -e "outfile='$out/latest.png'; ratios='$raw/chart-ratios.dat'; files='$files'" bench/chart.gp

# The README's performance section shows the table of a full run.
if [ "$mode" = full ]; then
  awk -v table="$out/readme-table.md" '
    /<!-- \/perf-table -->/ { while ((getline line < table) > 0) print line; skipping = 0 }
    !skipping { print }
    /<!-- perf-table -->/ { skipping = 1 }' README.md >"$raw/README.md"
  mv "$raw/README.md" README.md
  rm -f "$out/readme-table.md"
fi
echo "== wrote $out/latest.md and $out/latest.png"
