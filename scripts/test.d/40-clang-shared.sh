#!/usr/bin/env bash
# The build flavours the other stages do not take, in one build with every
# test: clang instead of GCC, shared libraries, Ninja instead of Make and
# C++23 instead of C++20 (build/clang-shared).
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/deps.sh
hb_ensure_packages "${HB_BUILD_PACKAGES[@]}" "${HB_TEST_PACKAGES[@]}" "${HB_CLANG_SHARED_PACKAGES[@]}"
started=$(date +%s)
dir=build/clang-shared

cmake -S . -B "$dir" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DBUILD_SHARED_LIBS=ON -DCMAKE_CXX_STANDARD=23 -DHASHBENCH_WERROR=ON >/dev/null
cmake --build "$dir" -j"$(nproc)"
ctest --test-dir "$dir" --output-on-failure -j"$(nproc)"

echo "hashbench: the clang shared-library stage took $(($(date +%s) - started)) s"
