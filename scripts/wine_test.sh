#!/usr/bin/env bash
# Runs a test executable under Wine for ctest, its output passed on as it comes. When Wine cannot load the
# executable it hands it to start.exe, whose complaint is Shift-JIS text (code page 932) that a UTF-8 log shows as
# nothing legible, as if the test printed nothing: such a start is said plainly, with that complaint in UTF-8.
set -uo pipefail
log=$(mktemp)
trap 'rm -f "$log"' EXIT
wine "$@" 2>&1 | tee "$log"
status=${PIPESTATUS[0]}
if [ "$status" != 0 ] && grep -q ShellExecuteEx "$log" && ! grep -q '^\[==========\]' "$log"; then
  echo
  echo "wine_test.sh: Wine could not start $1 (exit status $status), so no test ran. start.exe said:"
  iconv -f CP932 -t UTF-8 -c "$log"
fi
exit "$status"
