#!/usr/bin/env bash
# Cross-compiles hashbench.exe for 64-bit Windows 10 and later with mingw-w64
# (build/windows/app/hashbench.exe, statically linked), together with the
# test programs that run under Wine. Extra arguments go to cmake.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
hb_ensure_packages "${HB_WINDOWS_BUILD_PACKAGES[@]}"
# Optimised with symbols, as the Linux test builds are; warnings are errors
# here, as in every test build.
cmake -S . -B build/windows --toolchain cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DHASHBENCH_WERROR=ON "$@" >/dev/null
cmake --build build/windows -j"$(nproc)"
echo "hashbench: built build/windows/app/hashbench.exe"
