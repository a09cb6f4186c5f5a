#!/usr/bin/env bash
# A Release build (-O3, as a user's default optimised build) with GCC, static
# libraries and Make, with every test (build/gcc-release). GCC warns at -O3
# where it does not at the -O2 of the other optimised builds.
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/deps.sh
hb_ensure_packages "${HB_BUILD_PACKAGES[@]}" "${HB_TEST_PACKAGES[@]}"
started=$(date +%s)
dir=build/gcc-release

cmake -S . -B "$dir" -G "Unix Makefiles" -DCMAKE_CXX_COMPILER=g++ -DCMAKE_BUILD_TYPE=Release \
  -DHASHBENCH_WERROR=ON >/dev/null
cmake --build "$dir" -j"$(nproc)"
ctest --test-dir "$dir" --output-on-failure -j"$(nproc)"

echo "hashbench: the GCC Release stage took $(($(date +%s) - started)) s"
