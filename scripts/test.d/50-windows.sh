#!/usr/bin/env bash
# The Windows build under Wine, on a private Xvfb: the runtime, container,
# console and start-up suites, and the program end to end against the Linux
# program's lines (tests/windows/end_to_end.sh). Wine keeps its prefix in
# build/wine-prefix and makes it afresh when it is missing, half made or from
# another Wine; every Wine step runs under a deadline.
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/deps.sh
hb_ensure_packages "${HB_WINDOWS_BUILD_PACKAGES[@]}" "${HB_WINDOWS_TEST_PACKAGES[@]}"
started=$(date +%s)

# The Linux program whose lines the Windows program has to show: the
# optimised test build's when there is one.
if [ -f build/test-release/CMakeCache.txt ]; then
  reference=build/test-release
else
  reference=build/windows-reference
  cmake -S . -B "$reference" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHASHBENCH_TESTS=OFF -DHASHBENCH_WERROR=ON >/dev/null
fi
cmake --build "$reference" -j"$(nproc)" --target hashbench
bash scripts/build-windows.sh -DHASHBENCH_LINUX_PROGRAM="$PWD/$reference/app/hashbench"

wine=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver64)
export WINEPREFIX=$PWD/build/wine-prefix
export WINEDEBUG=-all
# No Mono and no Gecko: nothing here uses them, and their installers would
# ask for a download.
export WINEDLLOVERRIDES="mscoree,mshtml="
wine_version=$("$wine" --version)

xvfb_pid=
cleanup() {
  timeout 30 "$wineserver" -k 2>/dev/null || true
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
}
trap cleanup EXIT

prepare_prefix() {
  rm -rf "$WINEPREFIX"
  DISPLAY='' timeout 180 "$wine" wineboot --init >/dev/null 2>&1 &&
    timeout 60 "$wineserver" -w &&
    echo "$wine_version" >"$WINEPREFIX/.hashbench-ready"
}
# A Wine server left over from an earlier run would serve the tests with its
# old state, or not at all.
timeout 30 "$wineserver" -k 2>/dev/null || true
prefix_ready() {
  [ "$(cat "$WINEPREFIX/.hashbench-ready" 2>/dev/null)" = "$wine_version" ] &&
    [ -f "$WINEPREFIX/system.reg" ] && [ -d "$WINEPREFIX/drive_c/windows/system32" ]
}
if ! prefix_ready; then
  echo "hashbench: making the Wine prefix $WINEPREFIX"
  prepare_prefix || prepare_prefix || {
    echo "hashbench: Wine could not make its prefix in $WINEPREFIX" >&2
    exit 1
  }
fi

# A private X server on a display number of its own choosing.
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$display_file" ] && break
  sleep 0.1
done
display=$(tr -d '\n' <"$display_file")
rm -f "$display_file"
if [ -z "$display" ]; then
  echo "hashbench: Xvfb did not start" >&2
  exit 1
fi
export DISPLAY=":$display"

# One Wine server for all the tests, gone with the cleanup. The services and
# the desktop process that Wine starts with the first program live as long as
# the server: started here, they hold /dev/null open rather than the output
# of a test, which ctest would wait on for ever.
timeout 30 "$wineserver" -p || true
timeout 120 "$wine" wineboot </dev/null >/dev/null 2>&1 || true
timeout 60 "$wine" build/windows/tests/windows/window_probe.exe shown </dev/null >/dev/null 2>&1 || true
ctest --test-dir build/windows --output-on-failure

echo "hashbench: the Windows stage took $(($(date +%s) - started)) s"
