#!/usr/bin/env bash
# The folders of src/ and which others each includes headers from: one line per edge, with the number of
# #include lines behind it.
#   bash scripts/folder_graph.sh           prints the edges
#   bash scripts/folder_graph.sh --check   also fails (exit 1) on any edge that points up the layers below
set -euo pipefail
cd "$(dirname "$0")/../src"

# The layers, bottom first: a folder may include from the folders before it only.
LAYERS=(helpers records resources settings timing display laps alarm app)

edges() {
  local file from to
  for file in */*; do
    from=${file%%/*}
    { grep -o '^#include "[a-z_]*/' "$file" || true; } | sed 's/#include "//; s/\///' | while read -r to; do
      if [ "$to" != "$from" ]; then echo "$from -> $to"; fi
    done
  done | sort | uniq -c
}

rank() {
  local i
  for i in "${!LAYERS[@]}"; do
    if [ "${LAYERS[$i]}" = "$1" ]; then echo "$i"; return; fi
  done
  echo "unknown folder src/$1: give it a place in LAYERS" >&2
  exit 1
}

graph=$(edges)
echo "$graph"
[ "${1:-}" = --check ] || exit 0
upward=0
while read -r _ from _ to; do
  if [ "$(rank "$to")" -ge "$(rank "$from")" ]; then
    echo "upward: $from includes $to" >&2
    upward=1
  fi
done <<<"$graph"
exit "$upward"
