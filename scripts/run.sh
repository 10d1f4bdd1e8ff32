#!/usr/bin/env bash
# Builds Tavrilo and starts it under Wine in code page 932. On a fresh Debian machine (as root) it first
# installs what is missing.
set -euo pipefail
source "$(dirname "$0")/common.sh"
build_tavrilo
trap wine_env_stop EXIT
wine_env_start "$TAVRILO_BUILD"
wine "$TAVRILO_BUILD/Tavrilo.exe"
