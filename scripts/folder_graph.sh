#!/usr/bin/env bash
# The folders of src/ and which others each includes headers from: one line per edge, with the number of
# #include lines behind it.
#   bash scripts/folder_graph.sh           prints the edges
#   bash scripts/folder_graph.sh --check   also fails (exit 1) on any edge that points up the layers below, on
#                                          any cycle between the modules of a folder (a module is a .cpp and its .h),
#                                          or on a name that a header offers "For the tests only" used by another
#                                          module of the program
#   bash scripts/folder_graph.sh --modules prints the edges between the modules of each folder instead
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

# Within each folder: "folder/module -> folder/module" for every include of another module of the same folder.
module_edges() {
  local file from to
  for file in */*; do
    from=${file%.*}
    { grep -o "^#include \"${file%%/*}/[a-z_]*\." "$file" || true; } | sed 's/#include "//; s/\.$//' |
      while read -r to; do
        if [ "$to" != "$from" ]; then echo "$from -> $to"; fi
      done
  done | sort -u
}

# "header name" for every name declared at the top level of a header below its "For the tests only" line: the
# function, type, alias or variable each declaration names.
test_only_names() {
  local header
  for header in */*.h; do
    sed -n '/For the tests only/,$p' "$header" | grep -v '^\s\|^//\|^}\|^#\|^$' |
      sed -E 's/^using ([A-Za-z_0-9]+) =.*/\1/; s/^(struct|class|enum class) ([A-Za-z_0-9]+).*/\2/;
              s/.*\(WINAPI\* ?([A-Za-z_0-9]+)\)\(.*/\1/; s/^([^(]*[^A-Za-z_0-9(])?([A-Za-z_0-9]+)\(.*/\2/;
              s/.*[^A-Za-z_0-9]([A-Za-z_0-9]+)( = .*)?;$/\1/' |
      while read -r name; do echo "$header $name"; done
  done
}

# Each use of a test-only name outside its own module, as "file: name (from header)".
test_only_uses() {
  local header name file
  while read -r header name; do
    for file in $(grep -rlw --include='*.cpp' --include='*.h' -e "$name" . | sed 's|^\./||'); do
      [ "${file%.*}" = "${header%.h}" ] || echo "$file: $name (for the tests only in $header)"
    done
  done < <(test_only_names)
}

if [ "${1:-}" = --modules ]; then
  module_edges
  exit 0
fi
graph=$(edges)
echo "$graph"
[ "${1:-}" = --check ] || exit 0
failed=0
while read -r _ from _ to; do
  if [ "$(rank "$to")" -ge "$(rank "$from")" ]; then
    echo "upward: $from includes $to" >&2
    failed=1
  fi
done <<<"$graph"
# tsort names every module on a cycle of the graph it is given.
if ! cycles=$(module_edges | sed 's/ -> / /' | tsort 2>&1 >/dev/null); then
  sed 's/^tsort: -: input contains a loop:$/module cycle:/; s/^tsort: /  /' <<<"$cycles" >&2
  failed=1
fi
if uses=$(test_only_uses) && [ -n "$uses" ]; then
  sed 's/^/test-only name used: /' <<<"$uses" >&2
  failed=1
fi
exit "$failed"
