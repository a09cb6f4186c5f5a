#!/usr/bin/env bash
# Times the program from start to its "Done" line, with the stream console
# (no display, stdin closed) and, when Xvfb and xdotool are at hand, with the
# window on a virtual display. Prints one line per console:
#   console <TAB> median milliseconds <TAB> runs
# and writes the tick counts that the program printed for its seven passes,
# one line of seven numbers per stream run, to the third argument.
# Arguments: path of the hashbench binary (empty when not built), runs, file.
# The program runs unpinned: its console has a thread of its own.
set -uo pipefail
app=$1 runs=$2 printed=$3
: >"$printed"

if [ -z "$app" ] || [ ! -x "$app" ]; then
  echo "program run: hashbench is not built; skipped" >&2
  exit 0
fi

now_ns() { date +%s%N; }

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR) printf "%.1f\n", NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# Milliseconds from start until "Done" shows on standard output; the tick
# counts of the lines ending in "tix" (or "tix...") go to $printed.
stream_sample() {
  local start done_at="" ticks=()
  start=$(now_ns)
  while IFS= read -r line; do
    if [[ -z $done_at && $line == *Done* ]]; then done_at=$(now_ns); fi
    if [[ $line =~ \ in\ ([0-9,]+)\ tix ]]; then ticks+=("${BASH_REMATCH[1]//,/}"); fi
  done < <(env -u DISPLAY timeout 60 "$app" </dev/null 2>/dev/null)
  [ ${#ticks[@]} -eq 7 ] && (IFS=$'\t'; echo "${ticks[*]}") >>"$printed"
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
# The server picks a free display number and writes it to the descriptor.
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; rm -f "$display_file"' EXIT
for ((tries = 0; tries < 500; tries++)); do
  [ -s "$display_file" ] && break
  sleep 0.01
done
display=:$(head -1 "$display_file")
if [ "$display" = : ]; then
  echo "program run: Xvfb did not start; window run skipped" >&2
  exit 0
fi
samples=()
for ((i = 0; i < runs; i++)); do
  start=$(now_ns)
  # A run that never ends is stopped after a minute and not counted.
  DISPLAY=$display timeout 60 "$app" </dev/null >/dev/null 2>&1 &
  pid=$!
  # Polled every 10 ms rather than with search --sync, which waits longer.
  window=""
  for ((tries = 0; tries < 2000; tries++)); do
    window=$(DISPLAY=$display xdotool search --name '^Test$' 2>/dev/null | head -1)
    [ -n "$window" ] && break
    sleep 0.01
  done
  [ -n "$window" ] && DISPLAY=$display xdotool key --window "$window" space 2>/dev/null
  if wait "$pid"; then
    end=$(now_ns)
    samples+=("$(((end - start) / 1000))e-3")
  fi
done
if [ ${#samples[@]} -gt 0 ]; then
  printf 'window (Xvfb), start to exit\t%s\t%d\n' "$(printf '%s\n' "${samples[@]}" | awk '{ printf "%.1f\n", $1 }' | median)" "${#samples[@]}"
fi
