#!/usr/bin/env bash
# Counts the instructions of the seven passes with callgrind, and for the
# passes named lists the functions that execute them. Run bench/run.sh (or its
# build step) first.
#
#   bash bench/profile.sh [CONTAINER [N [PASS...]]]
#     CONTAINER  as hashbench-bench list shows it (default: hashbench)
#     N          keys per build (default: 1000, the program's own)
#     PASS       BuildPass, LookupPass, ReverseRemovalPass, AscendingRemovalPass,
#                MapBuildPass, MapLookupPass (default: BuildPass LookupPass)
set -euo pipefail
cd "$(dirname "$0")/.."
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
