#!/usr/bin/env bash
# Counts the instructions of the seven passes with callgrind, and for the
# passes named lists the functions that execute them. Run bench/run.sh (or its
# build step) first.
#
#   bash bench/profile.sh [--misses] [CONTAINER [N [PASS...]]]
#     --misses   also simulate the caches (first level 32 KiB, last level
#                32 MiB, 8- and 16-way, 64-byte lines) and give the misses
#                per key at each level next to the instructions. The
#                simulator does not prefetch: a sequential stream that a
#                processor would fetch ahead counts in full. Gives only this
#                table, no function lists.
#     CONTAINER  as hashbench-bench list shows it (default: hashbench)
#     N          keys per build (default: 1000, the program's own)
#     PASS       BuildPass, LookupPass, ReverseRemovalPass, AscendingRemovalPass,
#                MapBuildPass, MapLookupPass (default: BuildPass LookupPass)
set -euo pipefail
cd "$(dirname "$0")/.."
misses=0
if [ "${1:-}" = --misses ]; then misses=1; shift; fi
container=${1:-hashbench}
n=${2:-1000}
shift $(( $# > 2 ? 2 : $# ))
passes=("$@")
[ ${#passes[@]} -gt 0 ] || passes=(BuildPass LookupPass)
bench=build/bench/hashbench-bench
[ -x "$bench" ] || { echo "build the suite first: bash bench/run.sh --quick" >&2; exit 1; }
command -v valgrind >/dev/null || { echo "valgrind is not installed" >&2; exit 1; }
out=bench/results/raw/profile
mkdir -p "$out"

whole=$out/$container-$n.callgrind
if [ "$misses" = 1 ]; then
  whole=$out/$container-$n-misses.callgrind
  valgrind --tool=callgrind --cache-sim=yes --I1=32768,8,64 --D1=32768,8,64 --LL=33554432,16,64 \
    --callgrind-out-file="$whole" "$bench" passes "$container" "$n" "$n" >/dev/null 2>&1
  echo "per key, $container, n = $n (in the order the passes run): instructions, first- and last-level misses"
  # Columns Ir D1mr D1mw DLmr DLmw; "." is a zero, the shares in parentheses go.
  callgrind_annotate --inclusive=yes --threshold=100 --show=Ir,D1mr,D1mw,DLmr,DLmw "$whole" 2>/dev/null |
    awk '/=> .*Pass</ { match($0, /hb::bench::[A-Za-z]+Pass/); name = substr($0, RSTART + 11, RLENGTH - 11)
                        line = substr($0, 1, index($0, "=>") - 1); gsub(/\([^)]*\)/, "", line); gsub(/,/, "", line)
                        split(line, v, " "); for (k = 1; k <= 5; k++) if (v[k] == ".") v[k] = 0
                        printf "  %-22s %9.1f  D1 %7.2f  LL %6.2f (reads %.2f, writes %.2f)\n", name, v[1] / n,
                               (v[2] + v[3]) / n, (v[4] + v[5]) / n, v[4] / n, v[5] / n }' n="$n"
  exit 0
fi
valgrind --tool=callgrind --callgrind-out-file="$whole" "$bench" passes "$container" "$n" "$n" >/dev/null 2>&1
echo "instructions per pass, $container, n = $n (in the order the passes run):"
callgrind_annotate --inclusive=yes --threshold=100 "$whole" 2>/dev/null |
  awk '/=> .*Pass</ { gsub(/,/, "", $1); match($0, /hb::bench::[A-Za-z]+Pass/);
                      name = substr($0, RSTART + 11, RLENGTH - 11); printf "  %-22s %12d  %8.1f per key\n", name, $1, $1 / n }' n="$n"

for pass in "${passes[@]}"; do
  file=$out/$container-$n-$pass.callgrind
  valgrind --tool=callgrind --callgrind-out-file="$file" --toggle-collect="*bench::$pass<*" \
    "$bench" passes "$container" "$n" "$n" >/dev/null 2>&1
  echo
  echo "$pass: functions by their own instructions"
  callgrind_annotate --threshold=98 "$file" 2>/dev/null | sed -n '/^Ir/,$p' | sed -n '3,22p' |
    sed -E 's@/[^ ]*/(include|wt-[a-z]+|work)/@@; s/\[[^]]*\]$//' | cut -c1-150
done
