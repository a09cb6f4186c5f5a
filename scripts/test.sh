#!/usr/bin/env bash
# Builds and runs the whole test suite: an optimised build and a build with
# AddressSanitizer + UndefinedBehaviorSanitizer, each through ctest, then the
# checks that need their own build (see the stages below).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
hb_ensure_packages "${HB_BUILD_PACKAGES[@]}" "${HB_TEST_PACKAGES[@]}"
jobs=$(nproc)
mkdir -p build
log=build/test.log
: >"$log"

stage() { printf '\n=== %s ===\n' "$*"; }

build_and_test() {  # dir, extra cmake arguments...
  local dir=$1; shift
  cmake -S . -B "$dir" "$@" >/dev/null
  cmake --build "$dir" -j"$jobs"
  ctest --test-dir "$dir" --output-on-failure -j"$jobs"
}

exec > >(tee -a "$log") 2>&1

stage "optimised build"
build_and_test build/test-release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHASHBENCH_TABLE_CHECKS=ON

stage "AddressSanitizer + UndefinedBehaviorSanitizer build"
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
build_and_test build/test-asan -DCMAKE_BUILD_TYPE=Debug -DHASHBENCH_SANITIZE=address,undefined -DHASHBENCH_TABLE_CHECKS=ON

for extra in scripts/test.d/*.sh; do
  [ -e "$extra" ] || continue
  stage "$(basename "$extra" .sh)"
  bash "$extra"
done

# Every stage passed (set -e stops at the first failure): one closing line
# with the number of ctest cases run across the stages.
total=$(grep -Eo 'tests passed, 0 tests failed out of [0-9]+' "$log" | awk '{s += $NF} END {print s + 0}')
stages=$(ls scripts/test.d/*.sh 2>/dev/null | wc -l)
printf '\nctest cases across all builds plus %s extra stages:\n%s passed, 0 failed\n' "$stages" "$total"
