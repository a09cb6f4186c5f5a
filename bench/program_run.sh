#!/usr/bin/env bash
# Runs the program itself and reads the tick counts it prints for its seven
# passes, on four consoles, the runs interleaved:
#   pipe       the stream console into a pipe (no display, stdin closed)
#   file       the stream console into a file
#   window     the window on a virtual display (Xvfb), no window manager
#   window-wm  the same under a light window manager (openbox)
# In the window the tick counts are read by a tap on what the console draws
# (bench/draw_tap.cpp, preloaded), so the program itself is the one users run.
#
#   bash bench/program_run.sh PROGRAM DRAW-TAP RUNS OUT-FOLDER [CPU SUITE-SAMPLE...]
# writes OUT-FOLDER/program.tsv  console <TAB> milliseconds from start to "Done"
#        OUT-FOLDER/printed.tsv  console <TAB> the seven printed tick counts
#        OUT-FOLDER/paired.tsv   run <TAB> console or "suite" <TAB> the seven tick counts
# With CPU and a SUITE-SAMPLE command (the suite's row of ours with the
# program's RandomKey), each round first runs that sample on processor CPU,
# then the program on every console, and the program's thread that runs the
# passes is held on the same processor: on the stream console the whole
# program (it has one thread), in the window its main thread only (the tap
# does it), while the console thread and the X server run on the others. So
# both sides run on the same processor, at the same priority and within the
# same second. On a virtual machine whose processors share cores with other
# work, the speed of a processor can change from one second to the next;
# pairs taken this close together keep such changes out of the ratio.
# Without CPU the program runs unpinned. A console that cannot run here is
# skipped with a note.
set -uo pipefail
app=$1 tap=$2 runs=$3 out=$4
cpu=${5:-}
suite_sample=("${@:6}")
times=$out/program.tsv printed=$out/printed.tsv paired=$out/paired.tsv
: >"$times"
: >"$printed"
: >"$paired"

if [ -z "$app" ] || [ ! -x "$app" ]; then
  echo "program run: hashbench is not built; skipped" >&2
  exit 0
fi
priority=()
[ "$(id -u)" -eq 0 ] && priority=(nice -n -20)
held=()   # the stream console's program on the suite's processor
[ -n "$cpu" ] && held=(taskset -c "$cpu")
run=0     # the round, for the pairs
work=$(mktemp -d)
servers=()
cleanup() {
  for pid in "${servers[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

now_ns() { date +%s%N; }

# The seven tick counts of a run's lines ("... in 12,345 tix" or "tix...").
record_ticks() {
  local console=$1 file=$2 ticks=()
  while IFS= read -r line; do
    if [[ $line =~ \ in\ ([0-9,]+)\ tix ]]; then ticks+=("${BASH_REMATCH[1]//,/}"); fi
  done <"$file"
  if [ ${#ticks[@]} -eq 7 ]; then
    (IFS=$'\t'; echo "$console	${ticks[*]}") >>"$printed"
    (IFS=$'\t'; echo "$run	$console	${ticks[*]}") >>"$paired"
  else
    echo "program run: $console printed ${#ticks[@]} tick counts, not 7" >&2
  fi
}

record_time() { echo "$1	$(( ($3 - $2) / 1000 ))e-3" >>"$times"; }

# Into a pipe: a reader stamps the moment "Done" arrives.
run_pipe() {
  local start done_at="" lines=$work/pipe.txt
  : >"$lines"
  start=$(now_ns)
  while IFS= read -r line; do
    if [[ -z $done_at && $line == Done* ]]; then done_at=$(now_ns); fi
    echo "$line" >>"$lines"
  done < <(env -u DISPLAY "${priority[@]}" "${held[@]}" timeout 60 "$app" </dev/null 2>/dev/null)
  [ -n "$done_at" ] && record_time pipe "$start" "$done_at"
  record_ticks pipe "$lines"
}

# Into a file: the program ends right after "Done" (no key to wait for).
run_file() {
  local start end file=$work/file.txt
  start=$(now_ns)
  if env -u DISPLAY "${priority[@]}" "${held[@]}" timeout 60 "$app" </dev/null >"$file" 2>/dev/null; then
    end=$(now_ns)
    grep -q '^Done' "$file" && record_time file "$start" "$end"
  fi
  record_ticks file "$file"
}

# In a window on `display`: a key is typed as soon as the window exists; it
# waits in the key slot until the program asks for it after "Done".
run_window() {
  local console=$1 display=$2 start end pid window="" drawn=$work/$1.txt
  rm -f "$drawn"
  start=$(now_ns)
  DISPLAY=$display LD_PRELOAD=$tap HB_DRAW_TAP_FILE=$drawn HB_DRAW_TAP_MAIN_CPU=$cpu "${priority[@]}" timeout 60 "$app" \
    </dev/null >/dev/null 2>&1 &
  pid=$!
  for ((tries = 0; tries < 2000; tries++)); do   # polled every 10 ms: search --sync waits longer
    window=$(DISPLAY=$display xdotool search --name '^Test$' 2>/dev/null | head -1)
    [ -n "$window" ] && break
    kill -0 "$pid" 2>/dev/null || break   # ended without a window
    sleep 0.01
  done
  [ -n "$window" ] && DISPLAY=$display xdotool key --window "$window" space 2>/dev/null
  if wait "$pid"; then
    end=$(now_ns)
    record_time "$console" "$start" "$end"   # start to exit: Done, then the key taken
  fi
  if [ -s "$drawn" ]; then record_ticks "$console" "$drawn"; else echo "program run: $console drew no Done" >&2; fi
}

# Starts Xvfb and sets `display` to its display name (empty if it did not
# start); the server picks a free number.
start_xvfb() {
  local number_file=$work/display-$1
  display=""
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
  servers+=($!)
  for ((tries = 0; tries < 500; tries++)); do
    [ -s "$number_file" ] && break
    sleep 0.01
  done
  [ -s "$number_file" ] && display=:$(head -1 "$number_file")
}

consoles=(pipe file)
bare="" managed=""
if [ -z "$tap" ] || ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null; then
  echo "program run: no draw tap, Xvfb or xdotool; window runs skipped" >&2
else
  start_xvfb bare
  bare=$display
  [ -n "$bare" ] && consoles+=(window)
  if command -v openbox >/dev/null && command -v xprop >/dev/null; then
    start_xvfb managed
    managed=$display
    if [ -n "$managed" ]; then
      DISPLAY=$managed openbox >/dev/null 2>&1 &
      servers+=($!)
      for ((tries = 0; tries < 500; tries++)); do   # ready once it has claimed the root window
        DISPLAY=$managed xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
        sleep 0.01
      done
      consoles+=(window-wm)
    fi
  else
    echo "program run: openbox or xprop missing; window manager runs skipped" >&2
  fi
fi

# The suite's sample of the round, on the same processor as the program.
run_suite_sample() {
  local line fields
  [ -n "$cpu" ] && [ ${#suite_sample[@]} -gt 0 ] || return 0
  line=$("${priority[@]}" taskset -c "$cpu" "${suite_sample[@]}") || return 0
  IFS=$'\t' read -r -a fields <<<"$line"   # name, n, then the seven passes
  [ ${#fields[@]} -eq 9 ] && (IFS=$'\t'; echo "$run	suite	${fields[*]:2}") >>"$paired"
}

for ((run = 1; run <= runs; run++)); do
  printf '\r== the program: run %d of %d (%s)   ' "$run" "$runs" "${consoles[*]}" >&2
  run_suite_sample
  for console in "${consoles[@]}"; do
    case $console in
      pipe) run_pipe ;;
      file) run_file ;;
      window) run_window window "$bare" ;;
      window-wm) run_window window-wm "$managed" ;;
    esac
  done
done
echo >&2
