#!/usr/bin/env bash
# The Windows program end to end under Wine, as a user would meet it:
#   - a window titled "Test" at the screen's top-left corner whose client area
#     is exactly 80 x 50 cells of its font, showing the same rows as the Linux
#     program's last 49 lines (tick counts masked) with "Done" among them;
#   - it stays open after the system close command and after Alt+F4, and Tab
#     and Alt+x do not end the key wait; a typed key ends it with exit code 0;
#   - on a refused platform the "Win98 No Support" message box, then 255.
# Arguments: wine, hashbench.exe, window_probe.exe, refusal_probe.exe and the
# Linux build's hashbench. DISPLAY and WINEPREFIX come from the caller; every
# Wine process runs under a deadline.
set -euo pipefail
wine=$1 program=$2 probe=$3 refusal=$4 linux=$5

work=$(mktemp -d)
running=()
cleanup() {
  for pid in "${running[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "hashbench end-to-end: $*" >&2
  exit 1
}

probe() { timeout 90 "$wine" "$probe" "$@" | tr -d '\r'; }

mask_ticks() { sed -E 's/ in [0-9]{1,3}(,[0-9]{3})* tix/ in {ticks} tix/'; }

# The X window Wine made for a top-level window titled $1.
x_window() {
  local id
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1) || true
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# Types keys (xdotool names) into the X window $1, the pointer over it.
type_into() {
  local window=$1; shift
  xdotool mousemove --window "$window" 20 20
  xdotool key --clearmodifiers "$@"
}

# Waits for the background job $1 (bounded by its own timeout) and checks
# its exit code against $2.
expect_exit() {
  local code=0
  wait "$1" || code=$?
  [ "$code" -eq "$2" ] || fail "$3 ended with exit code $code, not $2"
}

# What the Linux program shows at its end: its last 49 lines, then the empty
# row on which the cursor stands.
DISPLAY='' timeout 120 "$linux" </dev/null >"$work/linux.txt" || fail "the Linux program did not run through"
[ "$(wc -l <"$work/linux.txt")" -eq 75 ] || fail "the Linux program printed $(wc -l <"$work/linux.txt") lines, not 75"
{ tail -n 49 "$work/linux.txt"; echo; } | mask_ticks >"$work/expected.txt"

echo "running $program"
timeout 120 "$wine" "$program" </dev/null &
program_pid=$!
running+=("$program_pid")

probe console 60 >"$work/console.txt" || { cat "$work/console.txt" >&2; fail "the console window is not as it should be"; }
sed -n 's/^row://p' "$work/console.txt" | mask_ticks >"$work/shown.txt"
diff -u "$work/expected.txt" "$work/shown.txt" || fail "the window's rows differ from the Linux program's lines"
echo "window: 80 x 50 cells at 0,0; its rows are the Linux program's"

probe close || fail "the console window went away on the system close command"
frame=$(x_window Test) || fail "no X window titled Test"
type_into "$frame" alt+F4
sleep 1
probe shown || fail "the console window went away on Alt+F4"
type_into "$frame" Tab alt+x
sleep 1
kill -0 "$program_pid" 2>/dev/null || fail "the program ended before a key was typed"
echo "window: stays open after the close command and Alt+F4; Tab and Alt+x do not end the wait"
type_into "$frame" x
expect_exit "$program_pid" 0 "the program"
echo "program: a typed key ends it with exit code 0"

echo "running $refusal"
timeout 60 "$wine" "$refusal" </dev/null &
refusal_pid=$!
running+=("$refusal_pid")
probe message 30 >"$work/message.txt" || fail "no message box"
grep -qx 'text:Win98 No Support' "$work/message.txt" || fail "the message box says '$(cat "$work/message.txt")'"
box=$(x_window Error) || fail "no X window titled Error"
type_into "$box" Return
expect_exit "$refusal_pid" 255 "the refused start"
echo "refusal: \"Win98 No Support\", then exit code 255"
