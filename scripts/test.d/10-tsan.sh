#!/usr/bin/env bash
# ThreadSanitizer build of the console and its tests: the console thread and
# the main thread share the key slot, the drawing hand-over and the font table.
set -euo pipefail
cd "$(dirname "$0")/../.."
dir=build/tsan
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHASHBENCH_SANITIZE=thread -DHASHBENCH_WERROR=ON >/dev/null
cmake --build "$dir" -j"$(nproc)" --target console_tests stream_console_tests x11_console_tests console_driver
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1"
# Some kernels randomise mappings more than this ThreadSanitizer accepts;
# without address randomisation it runs everywhere.
norandom=()
if command -v setarch >/dev/null && setarch "$(uname -m)" -R true 2>/dev/null; then
  norandom=(setarch "$(uname -m)" -R)
fi
"${norandom[@]}" ctest --test-dir "$dir" --output-on-failure \
  -R '^(GridTest|Utf8Test|StreamConsoleTest|X11Console[A-Za-z]*Test)\.'
