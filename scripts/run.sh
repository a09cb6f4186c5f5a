#!/usr/bin/env bash
# Builds the program (optimised) and runs it.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
hb_ensure_packages "${HB_BUILD_PACKAGES[@]}"
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DHASHBENCH_TESTS=OFF >/dev/null
cmake --build build/release -j"$(nproc)" --target hashbench
exec build/release/app/hashbench
