#!/usr/bin/env bash
# Builds Tavrilo and runs every test under Wine. On a fresh Debian machine (as root) it first installs what is
# missing. Exits non-zero when anything fails.
set -euo pipefail
source "$(dirname "$0")/common.sh"
build_tavrilo
use_silent_audio
TAVRILO_OWN_DISPLAY=1   # tests never draw on the user's screen
trap wine_env_stop EXIT
wine_env_start "$TAVRILO_BUILD"
forget_test_dpi
ctest --test-dir "$TAVRILO_BUILD" --output-on-failure --timeout 300 -j "$(nproc)"
