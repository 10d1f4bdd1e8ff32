#!/usr/bin/env bash
# The benchmark script's exits: a short soak exits 0 with its last figures, one sent SIGTERM while the program runs
# exits non-zero, and neither leaves a process of its own running (its virtual display, its prefix's wineserver
# and services, the program). It runs beside the suite: a Wine prefix and a display of its own, the build as it is.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
name=wineprefix-script-test
prefix="$root/build/$name"
log=$(mktemp)

# Every process started with this prefix in its environment: the script exports it before it starts anything.
own_processes() {
  local pid
  for pid in /proc/[0-9]*; do
    { tr '\0' '\n' <"$pid/environ" | grep -qxF "WINEPREFIX=$prefix"; } 2>/dev/null &&
      echo "${pid#/proc/} $(tr '\0' ' ' <"$pid/cmdline" 2>/dev/null | cut -c 1-80)"
  done
}
# Whatever a failed check left is ended, by pid.
clean_up() {
  WINEPREFIX=$prefix timeout 30 wineserver -k </dev/null >/dev/null 2>&1
  own_processes | while read -r pid _; do kill "$pid" 2>/dev/null; done
  rm -f "$log"
}
trap clean_up EXIT
# The suite's prefix is not handed on, so that nothing can end its server; a signal to timeout goes to the script.
bench=(env -u WINEPREFIX TAVRILO_BENCH_PREFIX=$name TAVRILO_BENCH_NO_BUILD=1
       timeout --foreground 90 bash "$root/scripts/bench.sh")
fail() { echo "FAILED: $*"; cat "$log"; echo "left running:"; own_processes; exit 1; }

"${bench[@]}" soak 0.05 >"$log" 2>&1
status=$?
[ "$status" = 0 ] && grep -q "over the run: CPU" "$log" || fail "a short soak exited with $status"
[ -z "$(own_processes)" ] || fail "a short soak left processes running"

"${bench[@]}" soak 1 >"$log" 2>&1 &
runner=$!   # timeout's: env becomes it
for _ in $(seq 600); do grep -q "at the start:" "$log" && break; kill -0 "$runner" 2>/dev/null || break; sleep 0.1; done
grep -q "at the start:" "$log" || fail "the soak did not start the program"
kill -TERM "$runner"
wait "$runner"
status=$?
[ "$status" != 0 ] || fail "a soak sent SIGTERM exited with 0"
[ -z "$(own_processes)" ] || fail "a soak sent SIGTERM left processes running"
echo "exits 0 after a short soak and $status after SIGTERM; nothing of either left running"
