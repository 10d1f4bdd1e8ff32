#!/usr/bin/env bash
# Builds the benchmarks and runs them under Wine. Arguments go to clock_bench (seconds, --busy).
set -euo pipefail
source "$(dirname "$0")/common.sh"
build_tavrilo
trap wine_env_stop EXIT
wine_env_start "$TAVRILO_BUILD"
wine "$TAVRILO_BUILD/bench/clock_bench.exe" "$@"
