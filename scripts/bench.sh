#!/usr/bin/env bash
# Builds the benchmarks and runs them under Wine, on a virtual display of their own.
#   bash scripts/bench.sh [seconds] [--busy]  the clock (drift, cost of a tick) and the paint cycle in-process
#   bash scripts/bench.sh program [seconds] [--no-peer]
#       the real Tavrilo.exe's whole CPU cost over each period (default 10 s)
#       in seven configurations (among them 1.000 s, and running minimised): the program's process, the wineserver
#       and the X server as % of one core, and the paints per second. TAVRILO_BENCH_EXE=/path/to/Tavrilo.exe
#       measures that build instead of this one. Then the Qt peer stopwatch, Kronometer (installed if missing), at its
#       default size, running in view and hidden, the same way, and Tavrilo's 0.010 s figure against the peer's
#       (not with --no-peer).
#   bash scripts/bench.sh soak [minutes]      the real program for a long run (default 10 min) at 0.001 s with a lap
#       every 0.5 s up to the 1000-lap limit and the lap history window open, then stopped and its laps saved
#       through Save As: laps taken against lines saved, the stopwatch against the wall clock in ppm, its live GDI
#       objects, windows and memory (Linux VmRSS and RssAnon) at the start, after the laps and after the save, and
#       the CPU of the run. Kernel handles cannot be counted under Wine. Not a test: it prints figures.
# Each exits 0 once it has printed its figures, non-zero when it could not, and stops what it started whatever
# happens: the copy measured, the peer, the Wine environment. To run beside the tests, as the scripts' own test
# does: TAVRILO_BENCH_PREFIX=NAME uses the Wine prefix build/NAME instead of theirs (build/wineprefix) and
# TAVRILO_BENCH_NO_BUILD=1 measures the build as it stands.
set -euo pipefail
source "$(dirname "$0")/common.sh"

# resolution key, run, minimised (running) or idle, and an outer size unless the program's default
PROGRAM_CONFIGURATIONS=(
  "9 run"
  "9 run 1024 740"
  "11 run"
  "11 run 1024 740"
  "0 run"
  "9 minimised"
  "9 idle"
)

# The Windows helper's output goes through a file: a program it starts inherits its standard output, and a pipe
# would stay open as long as that program runs.
helper() {
  local out="$WINEPREFIX/program_bench.out"
  wine "$TAVRILO_BUILD/bench/program_bench.exe" "$@" </dev/null >"$out" && tr -d '\r' <"$out"
}

# Used CPU time (user and system) of a Linux process, in clock ticks.
cpu_ticks() {
  local stat fields
  stat=$(<"/proc/$1/stat")
  read -r -a fields <<<"${stat##*) }"   # the fields after the command name, from the state on
  echo $((fields[11] + fields[12]))
}

now_ns() { date +%s%N; }

# The one Linux process that pgrep's arguments find in our prefix: other prefixes run their own wineserver and
# may run copies in like-named folders.
own_process() {
  local pid found=()
  for pid in $(pgrep "$@"); do
    { tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && found+=("$pid")
  done
  if [ "${#found[@]}" -ne 1 ]; then
    echo "expected one process of this prefix for pgrep $*, found ${#found[@]}: ${found[*]}" >&2
    return 1
  fi
  echo "${found[0]}"
}

# The copy being measured (its Windows pid and folder), so that it is stopped however the script ends.
RUNNING_PID=""
RUNNING_FOLDER=""
stop_running() {
  [ -n "$RUNNING_PID" ] || return 0
  helper stop "$RUNNING_PID" "$RUNNING_FOLDER" || true
  RUNNING_PID=""
}

# The peer stopwatch being measured (its Linux pid and home), likewise.
PEER_PID=""
PEER_HOME=""
stop_peer() {
  [ -n "$PEER_PID" ] || return 0
  kill "$PEER_PID" 2>/dev/null || true
  wait "$PEER_PID" 2>/dev/null || true
  rm -rf "$PEER_HOME"
  PEER_PID=""
}

# The exit trap: each step runs whatever the one before did (a trap under set -e would end at its first failing
# command and leave the rest running), and the script's exit status stays the one it exited with.
stop_everything() {
  stop_running || true
  stop_peer || true
  wine_env_stop || true
}

# Starts a copy with the helper's start arguments; sets RUNNING_*, OUTER_SIZE and PROGRAM_PID (its Linux process).
start_copy() {
  local width height
  read -r RUNNING_PID width height RUNNING_FOLDER < <(helper start "$PROGRAM_EXE" "$@")
  [ -n "$RUNNING_FOLDER" ] || { echo "Tavrilo.exe did not start ($*)" >&2; return 1; }
  OUTER_SIZE=$(printf '%4d x %-4d' "$width" "$height")
  PROGRAM_PID=$(own_process -f "${RUNNING_FOLDER##*\\}\\\\Tavrilo.exe")
}

# The running copy's paint count and when it was read (ns); the helper's start-up falls outside the CPU period.
read_paints() {
  PAINTS_AT=$(now_ns)
  PAINTS=$(helper paints "$RUNNING_PID")
}

# Used CPU ticks of the program, the wineserver and the X server, after the time in ns.
cpu_sample() {
  local pid
  now_ns
  for pid in "$PROGRAM_PID" "$WINESERVER_PID" "$WINE_ENV_XVFB_PID"; do cpu_ticks "$pid"; done
}

# "CPU % of a core: program, wineserver, X, total" between two of cpu_sample's outputs.
cpu_percentages() {
  # shellcheck disable=SC2086  # the samples' words are awk's arguments
  awk -v tick="$(getconf CLK_TCK)" '
    function percent(i) { return 100 * (ARGV[i + 4] - ARGV[i]) / tick / ((ARGV[5] - ARGV[1]) / 1e9) }
    BEGIN {
      printf "CPU %% of a core: program %5.1f  wineserver %5.1f  X %5.1f  total %5.1f\n",
             percent(2), percent(3), percent(4), percent(2) + percent(3) + percent(4)
    }' $1 $2
}

# Prints one configuration's line: paints per second and CPU % of one core over SECONDS.
measure() {
  local seconds=$1 resolution=$2 state=$3 paints_before paints_at before after label rate
  start_copy "${@:2}"
  read_paints
  paints_before=$PAINTS paints_at=$PAINTS_AT
  before=$(cpu_sample)
  sleep "$seconds"
  after=$(cpu_sample)
  read_paints
  stop_running
  case $resolution in 0) label="1.000 s" ;; 11) label="0.001 s" ;; *) label="0.010 s" ;; esac
  [ "$state" = minimised ] && label="$label minimised"
  [ "$state" = idle ] && label="stopped"
  rate=$(awk -v painted="$paints_before" -v paints="$((PAINTS - paints_before))" \
             -v paints_ns="$((PAINTS_AT - paints_at))" '
    BEGIN { print (painted > 0 ? sprintf("%.1f", paints / (paints_ns / 1e9)) : "n/a") }')  # n/a: no paint count
  printf '  %s %-18s  paints/s %6s   %s\n' "$OUTER_SIZE" "$label:" "$rate" "$(cpu_percentages "$before" "$after")"
  LAST_TOTAL=$(cpu_percentages "$before" "$after" | awk '{ print $NF }')
}

# The peer stopwatch, started with a fresh home on the benchmark's display and started running with its Space key
# (hidden: unmapped, as a minimised window is); prints its line as measure does and sets LAST_TOTAL.
measure_peer() {
  local seconds=$1 state=$2 window before after
  PEER_HOME=$(mktemp -d)
  HOME=$PEER_HOME XDG_RUNTIME_DIR=$PEER_HOME QT_QPA_PLATFORM=xcb kronometer >/dev/null 2>&1 &
  PEER_PID=$!
  window=$(timeout 30 xdotool search --sync --onlyvisible --pid "$PEER_PID" | head -n 1)
  [ -n "$window" ] || { echo "Kronometer did not open a window" >&2; return 1; }
  xdotool windowfocus --sync "$window" key space
  [ "$state" = hidden ] && xdotool windowunmap --sync "$window"
  OUTER_SIZE=$(xdotool getwindowgeometry "$window" | awk '/Geometry/ { split($2, s, "x"); printf "%4d x %-4d", s[1], s[2] }')
  PROGRAM_PID=$PEER_PID
  sleep 1
  before=$(cpu_sample)
  sleep "$seconds"
  after=$(cpu_sample)
  stop_peer
  printf '  %s %-18s  %15s   %s\n' "$OUTER_SIZE" "Kronometer $state:" "" "$(cpu_percentages "$before" "$after")"
  LAST_TOTAL=$(cpu_percentages "$before" "$after" | awk '{ print $NF }')
}

run_peer_bench() {
  local seconds=$1 ours=$2
  if ! command -v kronometer >/dev/null; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends kronometer >/dev/null ||
      { echo "Kronometer could not be installed: no peer figures" >&2; return 0; }
  fi
  echo "The Qt peer stopwatch over $seconds s (its process, the wineserver idle, X):"
  measure_peer "$seconds" running
  awk -v ours="$ours" -v peer="$LAST_TOTAL" \
    'BEGIN { printf "  Tavrilo 240 x 240 at 0.010 s against Kronometer running: %.2f times\n", ours / peer }'
  measure_peer "$seconds" hidden
}

# The program to measure: this build's, or TAVRILO_BENCH_EXE; PROGRAM_EXE as the Windows helper names it.
choose_program() {
  PROGRAM_LINUX_EXE=$TAVRILO_BUILD/Tavrilo.exe
  [ -n "${TAVRILO_BENCH_EXE:-}" ] && PROGRAM_LINUX_EXE=$(realpath "$TAVRILO_BENCH_EXE")
  [ -f "$PROGRAM_LINUX_EXE" ] || { echo "no program at $PROGRAM_LINUX_EXE" >&2; return 1; }
  PROGRAM_EXE="Z:${PROGRAM_LINUX_EXE//\//\\}"
  WINESERVER_PID=$(own_process -x 'wineserver(64)?')
}

run_program_bench() {
  local seconds=10 peer=1 configuration argument
  for argument in "$@"; do
    if [ "$argument" = --no-peer ]; then peer=0; else seconds=$argument; fi
  done
  choose_program
  echo "Whole CPU cost of $PROGRAM_LINUX_EXE over $seconds s per configuration:"
  # The first programs of a fresh prefix start its services, which keep the wineserver busy for a while: one
  # unmeasured run first.
  measure "$seconds" 9 run >/dev/null
  local ours=""
  for configuration in "${PROGRAM_CONFIGURATIONS[@]}"; do
    # shellcheck disable=SC2086  # the configuration's words are the helper's arguments
    measure "$seconds" $configuration
    [ -n "$ours" ] || ours=$LAST_TOTAL  # the first: 240 x 240 at 0.010 s
  done
  if ((peer)); then run_peer_bench "$seconds" "$ours"; fi
}

# Resident and private (anonymous) memory of a Linux process.
memory_of() { awk '/^(VmRSS|RssAnon):/ { printf "%s %s kB  ", $1, $2 }' "/proc/$1/status"; }

# The running copy's live GDI objects (n/a when its handle table cannot be read), windows and memory.
report_copy() {
  local gdi windows
  read -r gdi windows < <(helper objects "$RUNNING_PID")
  [ "$gdi" -ge 0 ] || gdi=n/a
  printf '  %-15s GDI objects %s, windows %s, %s\n' "$1:" "$gdi" "$windows" "$(memory_of "$PROGRAM_PID")"
}

# The copy's objects and memory are read at the start, after the laps and after the save, so that what the Save As
# dialog leaves loaded is told apart from what the laps cost.
run_soak_bench() {
  local minutes=${1:-10} before after run
  choose_program
  echo "Soak of $PROGRAM_LINUX_EXE for $minutes min: 0.001 s, a lap every 0.5 s up to 1000, lap history open:"
  read -r RUNNING_PID RUNNING_FOLDER < <(helper soak-open "$PROGRAM_EXE")
  [ -n "$RUNNING_FOLDER" ] || { echo "Tavrilo.exe did not start" >&2; return 1; }
  PROGRAM_PID=$(own_process -f "${RUNNING_FOLDER##*\\}\\\\Tavrilo.exe")
  report_copy "at the start"
  before=$(cpu_sample)
  run=$(helper soak-run "$RUNNING_PID" "$RUNNING_FOLDER" "$(awk -v m="$minutes" 'BEGIN { print m * 60 }')")
  after=$(cpu_sample)
  report_copy "after the laps"
  # shellcheck disable=SC2086  # the run's words are the save's arguments
  helper soak-save "$RUNNING_PID" "$RUNNING_FOLDER" $run | sed 's/^/  /'
  report_copy "after the save"
  echo "  over the run: $(cpu_percentages "$before" "$after")"
  stop_running
}

[ "${TAVRILO_BENCH_NO_BUILD:-0}" = 1 ] || build_tavrilo
TAVRILO_OWN_DISPLAY=1   # never on the user's screen; and the benchmarks' X server is theirs alone to measure
trap stop_everything EXIT
wine_env_start "$TAVRILO_BUILD" "${TAVRILO_BENCH_PREFIX:-wineprefix}"
if [ "${1:-}" = program ]; then
  run_program_bench "${@:2}"
elif [ "${1:-}" = soak ]; then
  run_soak_bench "${@:2}"
else
  wine "$TAVRILO_BUILD/bench/clock_bench.exe" "$@"
  wine "$TAVRILO_BUILD/bench/paint_bench.exe"
fi
