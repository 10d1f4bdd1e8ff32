#!/usr/bin/env bash
# Builds Tavrilo and starts it under Wine in code page 932. On a fresh Debian machine (as root) it first
# installs what is missing. With a display (DISPLAY set and reachable) the program opens there and the script
# ends when it is closed. Without one it runs on a private virtual display, starts a short measurement with a
# click, writes a screenshot and says where.
# TAVRILO_DPI=144 shows it on a screen of that DPI, in a Wine prefix of its own (the tests' stays at 96 DPI).
set -euo pipefail
source "$(dirname "$0")/common.sh"
build_tavrilo

prefix=wineprefix
shot="$TAVRILO_BUILD/screenshot.png"
if [ -n "${TAVRILO_DPI:-}" ]; then
  prefix="wineprefix-dpi$TAVRILO_DPI"
  shot="$TAVRILO_BUILD/screenshot-dpi$TAVRILO_DPI.png"
fi
start_env() {
  trap wine_env_stop EXIT
  wine_env_start "$TAVRILO_BUILD" "$prefix"
  if [ -n "${TAVRILO_DPI:-}" ]; then
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$TAVRILO_DPI" /f </dev/null >/dev/null 2>&1
  fi
}

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  start_env
  wine "$TAVRILO_BUILD/Tavrilo.exe"
  exit 0
fi

TAVRILO_OWN_DISPLAY=1
start_env
wine "$TAVRILO_BUILD/Tavrilo.exe" </dev/null >/dev/null 2>&1 &
window=""
for _ in $(seq 1 100); do
  window=$(xdotool search --name '^Tavrilo$' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "Tavrilo's window did not appear" >&2; exit 1; }
eval "$(xdotool getwindowgeometry --shell "$window")"
sleep 1
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1   # start
sleep 2.3
xdotool click 1                                                      # stop
sleep 0.5
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$shot"
echo "No display: Tavrilo ran on a virtual display; a screenshot after a short measurement is at $shot"
