#!/usr/bin/env bash
# Builds the benchmarks and runs them under Wine: the clock (arguments: seconds, --busy) and the paint cycle.
set -euo pipefail
source "$(dirname "$0")/common.sh"
build_tavrilo
trap wine_env_stop EXIT
wine_env_start "$TAVRILO_BUILD"
wine "$TAVRILO_BUILD/bench/clock_bench.exe" "$@"
wine "$TAVRILO_BUILD/bench/paint_bench.exe"
