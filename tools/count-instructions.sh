#!/bin/sh
# SPDX-License-Identifier: MIT
# Instructions per Calculate call of the typical expressions, engine against
# the literal evaluation: callgrind's dumps of bench/CountInstructions.cpp.
set -eu
program=${1:-build/bench/orvane_instructions}
out=$(mktemp -d)
valgrind --tool=callgrind --callgrind-out-file="$out/ci" "$program" >/dev/null 2>&1
for dump in $(cd "$out" && ls ci.* | sort -t. -k2 -n); do
  dump="$out/$dump"
  what=$(sed -n 's/^desc: Trigger: Client Request: //p' "$dump")
  count=$(sed -n 's/^summary: //p' "$dump")
  printf '%-40s %s\n' "$what" "$count"
done
rm -rf "$out"
