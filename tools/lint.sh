#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The static review, the same way each time: clazy's levels 0 to 2 over a
# whole build (engine, window, program, tools, tests, and the benchmarks
# where Google Benchmark is installed), then clang-tidy's bugprone-* and
# performance-* checks (.clang-tidy) over every source of engine/, ui/,
# app/ and tools/. Every finding is printed once, sorted; the exit status is
# 1 if there is any. Usage: tools/lint.sh [build folder, default build-lint]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "${1:-$root/build-lint}")
jobs=${JOBS:-2}
quiet=(-Wno-dev --log-level=WARNING)
bench=OFF
pkg-config --exists benchmark 2>/dev/null && bench=ON
for tool in clazy run-clang-tidy; do
  command -v "$tool" >/dev/null || { echo "lint: $tool is missing (apt-get install clazy clang-tidy)" >&2; exit 2; }
done
mkdir -p "$out"

# clazy, as the compiler of a Debug build; Qt's headers and the generated
# moc, uic and rcc files are not the project's to mend. Everything is
# compiled anew, so that a warning of an unchanged file shows again.
CXX=clazy cmake -S "$root" -B "$out/clazy" "${quiet[@]}" -DCMAKE_BUILD_TYPE=Debug \
  -DBUILD_TESTING=ON -DORVANE_BUILD_BENCH="$bench"
CLAZY_CHECKS=level0,level1,level2 CLAZY_IGNORE_DIRS='(.*/qt6/.*|.*_autogen/.*)' \
  cmake --build "$out/clazy" -j "$jobs" --clean-first >"$out/clazy.log" 2>&1 \
  || { tail -n 30 "$out/clazy.log"; echo "lint: the clazy build failed" >&2; exit 2; }

# clang-tidy reads the compile commands of a normal build, whose generated
# files (moc, uic) are all it needs built; the compiler's own warning
# options that clang does not know are let pass.
cmake -S "$root" -B "$out/tidy" "${quiet[@]}" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON \
  -DORVANE_BUILD_BENCH="$bench" -DCMAKE_EXPORT_COMPILE_COMMANDS=ON
mapfile -t generated < <(cmake --build "$out/tidy" --target help | grep -o '[A-Za-z0-9_.-]*_autogen$' | sort -u)
[ ${#generated[@]} -eq 0 ] || cmake --build "$out/tidy" -j "$jobs" --target "${generated[@]}" >/dev/null
mapfile -t sources < <(cd "$root" && git ls-files 'engine/*.cpp' 'ui/*.cpp' 'app/*.cpp' 'tools/*.cpp' | sed "s|^|$root/|")
run-clang-tidy -p "$out/tidy" -j "$jobs" -quiet -extra-arg=-Wno-unknown-warning-option \
  -header-filter="^$root/(engine|ui|app|tools)/" "${sources[@]}" >"$out/tidy.log" 2>&1 || true

# One line per finding, paths from the top of the tree; clazy's notes that
# a fix-it could not be made repeat a warning already listed.
findings=$(sed 's/\x1b\[[0-9;]*m//g' "$out/clazy.log" "$out/tidy.log" \
  | grep -E '^/[^ ]+:[0-9]+:[0-9]+: (warning|error): ' | grep -v 'FixIt failed' \
  | sed "s|^$root/||" | sort -u || true)
if [ -n "$findings" ]; then
  echo "$findings"
  echo "lint: $(wc -l <<<"$findings") finding(s); logs in $out"
  exit 1
fi
echo "lint: no finding (clazy $(clazy --version | grep -o '[0-9][0-9.]*' | head -n 1), $(clang-tidy --version | grep -o 'version [0-9.]*'))"
