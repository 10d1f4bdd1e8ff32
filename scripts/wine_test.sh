#!/usr/bin/env bash
# Runs a test executable under Wine for ctest, its output passed on as it comes.
# - When Wine cannot load the executable it hands it to start.exe, whose complaint is Shift-JIS text (code page 932)
#   that a UTF-8 log shows as nothing legible, as if the test printed nothing: such a start is said plainly, with
#   that complaint in UTF-8.
# - A test that prints nothing for TAVRILO_STALL_SECONDS (150 s; no test runs that long) is hanging: every thread
#   of every program of the prefix is written out once, so that the run that meets a hang also says where it hangs.
# - The test's output goes to a file that is passed on from there, never to a pipe: a test whose window is the first
#   on a desktop that Wine had closed for want of users starts the desktop's process (explorer.exe) anew and hands
#   it its standard error, and that process lives on for as long as any program uses the desktop. A pipe it held
#   would keep the reader, and so ctest, waiting on a test that had long finished.
set -uo pipefail
log=$(mktemp)
trap 'rm -f "$log"' EXIT

# Writes out every thread's stack once the log has not grown for the stall time.
watch_for_stall() {
  local limit=${TAVRILO_STALL_SECONDS:-150} quiet=0 size=-1 now
  while sleep 5 </dev/null >/dev/null 2>&1; do
    now=$(stat -c %s "$log" 2>/dev/null || echo 0)
    if [ "$now" != "$size" ]; then size=$now quiet=0; continue; fi
    quiet=$((quiet + 5))
    if [ "$quiet" -ge "$limit" ]; then
      echo
      echo "wine_test.sh: $1 has printed nothing for $limit s; the stacks of every thread in this Wine prefix:"
      winedbg --command "bt all" </dev/null 2>&1
      return
    fi
  done
}

watch_for_stall "$1" &
watchdog=$!
wine "$@" > "$log" 2>&1 &
test=$!
tail -s 0.1 -n +1 -f --pid="$test" "$log"
wait "$test"
status=$?
kill "$watchdog" 2>/dev/null
wait "$watchdog" 2>/dev/null
if [ "$status" != 0 ] && grep -q ShellExecuteEx "$log" && ! grep -q '^\[==========\]' "$log"; then
  echo
  echo "wine_test.sh: Wine could not start $1 (exit status $status), so no test ran. start.exe said:"
  iconv -f CP932 -t UTF-8 -c "$log"
fi
exit "$status"
