#!/usr/bin/env bash
# Times the program from start to its "Done" line, with the stream console
# (no display, stdin closed) and, when Xvfb and xdotool are at hand, with the
# window on a virtual display. Prints one line per console:
#   console <TAB> median milliseconds <TAB> runs
# Arguments: path of the hashbench binary (empty when not built), runs.
# The program runs unpinned: its console has a thread of its own.
set -uo pipefail
app=$1 runs=$2

if [ -z "$app" ] || [ ! -x "$app" ]; then
  echo "program run: hashbench is not built; skipped" >&2
  exit 0
fi

now_ns() { date +%s%N; }

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR) printf "%.1f\n", NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# Milliseconds from start until "Done" shows on standard output.
stream_sample() {
  local start done_at=""
  start=$(now_ns)
  while IFS= read -r line; do
    if [[ -z $done_at && $line == *Done* ]]; then done_at=$(now_ns); fi
  done < <(env -u DISPLAY "$app" </dev/null 2>/dev/null)
  [ -n "$done_at" ] && echo $(((done_at - start) / 1000))e-3
}

samples=()
for ((i = 0; i < runs; i++)); do
  s=$(stream_sample) && [ -n "$s" ] && samples+=("$s")
done
if [ ${#samples[@]} -gt 0 ]; then
  printf 'stream (no display)\t%s\t%d\n' "$(printf '%s\n' "${samples[@]}" | awk '{ printf "%.1f\n", $1 }' | median)" "${#samples[@]}"
else
  echo "program run: the stream console printed no Done line" >&2
fi

# The window: the program is started on a virtual display and a key is typed
# as soon as its window exists; the key waits in the console's key slot until
# the program asks for it after "Done", so the run ends right after Done.
if ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null; then
  echo "program run: Xvfb or xdotool missing; window run skipped" >&2
  exit 0
fi
display=:$((90 + RANDOM % 9))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null' EXIT
sleep 1
samples=()
for ((i = 0; i < runs; i++)); do
  start=$(now_ns)
  DISPLAY=$display "$app" </dev/null >/dev/null 2>&1 &
  pid=$!
  window=$(DISPLAY=$display timeout 20 xdotool search --sync --name '^Test$' 2>/dev/null | head -1)
  [ -n "$window" ] && DISPLAY=$display xdotool key --window "$window" space 2>/dev/null
  if timeout 60 tail --pid="$pid" -f /dev/null; then
    end=$(now_ns)
    wait "$pid" && samples+=("$(((end - start) / 1000))e-3")
  else
    kill "$pid" 2>/dev/null
  fi
done
if [ ${#samples[@]} -gt 0 ]; then
  printf 'window (Xvfb), start to exit\t%s\t%d\n' "$(printf '%s\n' "${samples[@]}" | awk '{ printf "%.1f\n", $1 }' | median)" "${#samples[@]}"
fi
