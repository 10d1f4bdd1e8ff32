#!/usr/bin/env bash
# Installs what building and testing Tavrilo needs on Debian, skipping what is already there. Run as root.
set -euo pipefail

packages=(
  cmake ninja-build                                   # build
  mingw-w64 g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix  # cross compiler (posix threads), windres
  googletest                                          # GoogleTest sources, cross-built with the project
  wine wine64                                         # runs the program and the tests
  fonts-wine                                          # Wine's own faces, Marlett among them: the caption buttons'
                                                      # glyphs (only recommended by wine, so not installed with it)
  locales                                             # ja_JP.UTF-8, so that Wine runs in code page 932
  xvfb xdotool x11-apps x11-utils imagemagick         # a display for windows, and screenshots
  fonts-ipafont-gothic                                # Japanese glyphs; stands in for the Gothic faces dialogs name
  fonts-ipafont-mincho                                # stands in for the Mincho faces a chosen font may name
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good # media control interface playback: WAV and MP3 alarm files
  gstreamer1.0-plugins-bad timgm6mb-soundfont         # MIDI alarm files: parser and synthesizer, and the General
                                                      # MIDI sound font the synthesizer finds by itself
  gstreamer1.0-plugins-ugly gstreamer1.0-libav        # WMA alarm files: ASF demuxer and WMA decoder
  gstreamer1.0-tools                                  # gst-launch-1.0, which makes the tests' MP3 and WMA files
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# ja_JP.UTF-8 for code page 932, and en_US.UTF-8 for the app tests' second run in code page 1252.
for locale_name in ja_JP en_US; do
  if ! locale -a 2>/dev/null | grep -qi "^${locale_name}\.utf8$"; then
    localedef -i "$locale_name" -f UTF-8 "$locale_name.UTF-8"
  fi
done
