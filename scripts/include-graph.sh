#!/usr/bin/env bash
# Draws the house from the code's own includes: which top-level folder (room)
# includes which, counted over the #include lines of the C++ sources, and
# checks every arrow against the plan below (ARCHITECTURE.md describes it): a
# room includes only rooms on lower floors, or the rooms its plan names beside
# it; app/ is alone on the top floor; the harnesses (bench/, fuzz/, tests/)
# stand outside the house and may include any room, tools/ none.
#
#   bash scripts/include-graph.sh          the arrows, "room -> room (includes)", checked
#   bash scripts/include-graph.sh --dot    the same as a Graphviz graph, a floor a rank
#
# Exits 1 when an arrow is not in the plan or a room with sources has no place
# in it.
set -euo pipefail
cd "$(dirname "$0")/.."

# room      floor   the rooms it may include ("*": any; "-" as floor: outside the house)
plan='
platform    0
text        0
progress    1       platform text
universe    2       platform text progress
capture     3       platform text progress universe
analysis    3       platform text progress universe
report      4       platform text progress universe capture analysis
history     5       platform text progress universe report
atlas       6       platform text progress universe report history
app         7       *
bench       -       *
fuzz        -       *
tests       -       *
tools       -
'

declare -A floor allowed
while read -r room level rooms; do
  [ -n "$room" ] || continue
  floor[$room]=$level
  allowed[$room]=" $rooms "
done <<<"$plan"

# The C++ sources the repository keeps (outside a checkout: every one but the
# build folders').
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  sources=$(git ls-files --cached --others --exclude-standard '*.cpp' '*.h')
else
  sources=$(find . -path './build*' -prune -o -path '*/node_modules' -prune -o \
    \( -name '*.cpp' -o -name '*.h' \) -print | sed 's|^\./||')
fi

# "from to" for every include of another room, then counted.
edges=$(for file in $sources; do
  from=${file%%/*}
  [ "$from" != "$file" ] || continue
  sed -n 's|^#include "\([a-z_]*\)/.*|\1|p' "$file" | while read -r to; do
    if [ "$to" != "$from" ] && [ -d "$to" ]; then echo "$from $to"; fi
  done
done | sort | uniq -c | awk '{ print $2, $3, $1 }')

status=0
for room in $(printf '%s\n' $sources | grep / | cut -d/ -f1 | sort -u); do
  if [ -z "${floor[$room]+set}" ]; then
    echo "include-graph: $room/ has no place in the plan (scripts/include-graph.sh, ARCHITECTURE.md)" >&2
    status=1
  fi
done

if [ "${1:-}" = --dot ]; then
  echo 'digraph house {'
  echo '  rankdir=BT; node [shape=box];'
  for level in 0 1 2 3 4 5 6 7 -; do
    rooms=$(for room in "${!floor[@]}"; do
      if [ "${floor[$room]}" = "$level" ]; then echo "\"$room\""; fi
    done | sort | tr '\n' ' ')
    [ -n "$rooms" ] || continue
    if [ "$level" = - ]; then
      echo "  subgraph cluster_outside { label=\"outside the house\"; style=dashed; $rooms}"
    else
      echo "  { rank=same; $rooms}"
    fi
  done
  while read -r from to count; do
    [ -n "$from" ] && echo "  \"$from\" -> \"$to\" [label=$count];"
  done <<<"$edges"
  echo '}'
fi

while read -r from to count; do
  [ -n "$from" ] || continue
  verdict=
  rule=${allowed[$from]-}
  if [[ $rule != *" * "* && $rule != *" $to "* ]]; then
    verdict="  <- not in the plan"
    status=1
  fi
  if [ -n "$verdict" ]; then
    echo "$from -> $to ($count)$verdict" >&2
  elif [ "${1:-}" != --dot ]; then
    echo "$from -> $to ($count)"
  fi
done <<<"$edges"
exit $status
