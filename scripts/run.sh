#!/usr/bin/env bash
# Builds Tavrilo and starts it under Wine in code page 932. On a fresh Debian machine (as root) it first
# installs what is missing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build"

"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" >/dev/null
cmake --build "$build"

source "$root/scripts/wine-env.sh"
trap wine_env_stop EXIT
wine_env_start "$build"
wine "$build/Tavrilo.exe"
