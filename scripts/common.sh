# Sourced by the other scripts.
# build_tavrilo             installs what is missing, configures and builds into $TAVRILO_BUILD.
# wine_env_start BUILD_DIR [PREFIX]
#                           a private Wine prefix (BUILD_DIR/wineprefix unless named) in code page 932, a virtual
#                           display (unless one is given), and one warm persistent wineserver, so that each Wine
#                           process starts in a fraction of a second.
# wine_env_stop             stops what wine_env_start started, each step whatever the others did, so that an exit
#                           trap may end with it: under set -e a trap ends at its first failing command.
# hold_desktop              keeps Wine's desktop open between tests that run one after another (see there).

TAVRILO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
TAVRILO_BUILD="$TAVRILO_ROOT/build"

build_tavrilo() {
  "$TAVRILO_ROOT/scripts/install-deps.sh"
  cmake -S "$TAVRILO_ROOT" -B "$TAVRILO_BUILD" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$TAVRILO_ROOT/cmake/mingw-w64.cmake" >/dev/null
  cmake --build "$TAVRILO_BUILD"
}

wine_env_start() {
  mkdir -p "$1"
  local build
  build=$(cd "$1" && pwd)
  export WINEPREFIX="$build/${2:-wineprefix}"
  WINE_ENV_PREFIX=$WINEPREFIX   # the one prefix whose server wine_env_stop ends, never one set before
  export WINEDEBUG=-all
  # No .NET or browser engine installers. A winmm or media control driver beside a program is preferred to Wine's
  # own, as Windows prefers any DLL there that is not on its known list (the app tests plant both).
  export WINEDLLOVERRIDES="mscoree,mshtml=;winmm,mciqtz32=n,b"
  export LC_ALL=ja_JP.UTF-8
  if [ -z "${DISPLAY:-}" ] || [ "${TAVRILO_OWN_DISPLAY:-0}" = 1 ]; then
    local n
    for n in $(seq 90 120); do
      [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
    done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset </dev/null >/dev/null 2>&1 &
    WINE_ENV_XVFB_PID=$!
    export DISPLAY=":$n"
    # Ready once it takes a property (kept: -noreset). A desktop session loads X resources; a bare virtual display has none, and
    # then Xlib reads the resource files again at every query: hundreds of failing file opens a second while a
    # window repaints.
    local i
    for i in $(seq 1 100); do
      xprop -root -f RESOURCE_MANAGER 8s -set RESOURCE_MANAGER "Tavrilo.display: virtual" </dev/null >/dev/null 2>&1 &&
        break
      sleep 0.1
    done
  fi
  mkdir -p "$WINEPREFIX"   # wineserver wants the prefix folder; the first wine run fills it (about 10 s)
  # A server of this prefix left from an earlier run would make ours refuse to start (exit code 2).
  stop_wineserver
  # Detached from our stdio: ctest would otherwise wait on pipes that Wine's service processes hold.
  wineserver -p </dev/null >/dev/null 2>&1
  wine cmd /c exit </dev/null >/dev/null 2>&1
  map_japanese_faces
  install_marlett
  if [ -n "${WINE_ENV_XVFB_PID:-}" ]; then
    # No window manager runs on our own display: without this Wine waits for one whenever a window with a
    # caption is shown or hidden (about 2 s each time).
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
  else
    wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f </dev/null >/dev/null 2>&1 || true
  fi
}

# Wine draws the caption buttons and the drop-down and scroll arrows with its own Marlett face (fonts-wine); this
# Wine looks for its faces in the prefix's Fonts folder only, not in its data folder, so Marlett is put there.
install_marlett() {
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  [ -e "$fonts/marlett.ttf" ] || cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
}

# The dialogs name Japanese system faces that Wine does not have; left alone, it draws them with a wider stand-in
# and their labels are cut off. Each is mapped to the IPA face designed with the same metrics. The registry file
# is UTF-16, so that the face names reach the registry intact whatever the locale.
map_japanese_faces() {
  local faces=(
    "ＭＳ Ｐゴシック" IPAPGothic  "MS PGothic" IPAPGothic  "MS UI Gothic" IPAPGothic
    "ＭＳ ゴシック" IPAGothic     "MS Gothic" IPAGothic
    "ＭＳ Ｐ明朝" IPAPMincho      "MS PMincho" IPAPMincho
    "ＭＳ 明朝" IPAMincho         "MS Mincho" IPAMincho
  )
  local file="$WINEPREFIX/japanese-faces.reg" i
  {
    printf 'Windows Registry Editor Version 5.00\r\n\r\n'
    printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]\r\n'
    for ((i = 0; i < ${#faces[@]}; i += 2)); do
      printf '"%s"="%s"\r\n' "${faces[i]}" "${faces[i + 1]}"
    done
  } | iconv -f UTF-8 -t UTF-16 > "$file"
  wine reg import "$file" </dev/null >/dev/null 2>&1
}

# Tests play sound files through the media control interface: with no sound card, ALSA's default output is
# pointed at the null device in a home folder of the tests' own.
use_silent_audio() {
  export HOME="$TAVRILO_BUILD/test-home"
  mkdir -p "$HOME"
  printf 'pcm.!default { type plug slave.pcm "nullout" }\npcm.nullout { type null }\n' > "$HOME/.asoundrc"
}

# Ends this prefix's wineserver and waits (at most 30 s) until it has gone, so that the next start finds no
# server still shutting down.
stop_wineserver() {
  wineserver -k </dev/null >/dev/null 2>&1 || true
  timeout 30 wineserver -w </dev/null >/dev/null 2>&1 || true
}

# Wine closes the desktop a second after the last program using it has ended; the next program then starts a new
# desktop process, which inherits that program's output, so that ctest waits out the desktop's second after every
# test that shows a window. A program that only waits (cmd running ping, one echo a second) keeps the desktop
# open until wine_env_stop ends the prefix's programs.
hold_desktop() {
  wine cmd /c ping -n 1000000 127.0.0.1 </dev/null >/dev/null 2>&1 &
}

# The test that sets the screen's DPI puts the prefix's value back; one that was interrupted may not have.
forget_test_dpi() {
  wine reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f </dev/null >/dev/null 2>&1 || true
}

wine_env_stop() {
  if [ -n "${WINE_ENV_PREFIX:-}" ]; then WINEPREFIX=$WINE_ENV_PREFIX stop_wineserver; fi
  if [ -n "${WINE_ENV_XVFB_PID:-}" ]; then
    kill "$WINE_ENV_XVFB_PID" 2>/dev/null || true
    wait "$WINE_ENV_XVFB_PID" 2>/dev/null || true
  fi
}
