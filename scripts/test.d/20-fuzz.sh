#!/usr/bin/env bash
# Fuzzes the four containers against their model for a bounded time:
# a clang build with libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer.
# HASHBENCH_FUZZ_SECONDS sets the time (default 60). A crash or a mismatch
# leaves its input in build/fuzz/ and fails the stage.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${HASHBENCH_FUZZ_SECONDS:-60}
dir=build/fuzz

cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DHASHBENCH_FUZZ=ON -DHASHBENCH_CONSOLE_X11=OFF -DHASHBENCH_WERROR=ON \
  "-DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all" >/dev/null
cmake --build "$dir" --target container_fuzz -j"$(nproc)"

mkdir -p "$dir/corpus"
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
"$dir/tests/containers/container_fuzz" -max_total_time="$seconds" -max_len=4096 \
  -len_control=0 -artifact_prefix="$dir/" -print_final_stats=1 "$dir/corpus"
