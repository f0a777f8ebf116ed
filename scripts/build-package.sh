#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian source package and the binary packages from a copy of
# this tree, with dpkg-buildpackage as a distribution would:
#   scripts/build-package.sh [--clone] OUTPUT-FOLDER [DPKG-BUILDPACKAGE-OPTION...]
# The copy is OUTPUT-FOLDER/orvane-<version>; the .dsc, .tar.xz, .deb,
# -dbgsym .ddeb, .buildinfo and .changes land in OUTPUT-FOLDER. Without
# --clone the copy holds the working tree's files as they are (tracked and
# not ignored); with it, a clean clone of the last commit. ORVANE_MAINTAINER
# and ORVANE_HOMEPAGE replace the placeholder addresses (set-addresses.sh);
# DEB_BUILD_OPTIONS (nocheck, noopt, nostrip, parallel=N) pass through.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)

clone=false
[ "${1:-}" = --clone ] && { clone=true; shift; }
out=${1:?usage: build-package.sh [--clone] OUTPUT-FOLDER [DPKG-BUILDPACKAGE-OPTION...]}
shift
version=$(dpkg-parsechangelog -l "$repo/debian/changelog" -S Version)
mkdir -p "$out"
out=$(cd "$out" && pwd)
src=$out/orvane-$version
rm -rf "$src"
rm -f "$out"/orvane_"$version"[._]*

if $clone; then
  git clone --quiet "$repo" "$src"
  rm -rf "$src/.git"
else
  mkdir -p "$src"
  (cd "$repo" && git ls-files -z --cached --others --exclude-standard \
     | while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done \
     | tar --null -T - -cf -) | tar -xf - -C "$src"
fi
"$repo/scripts/set-addresses.sh" "$src"

# Two builds at once would share nothing but the machine: keep to -j2 unless
# DEB_BUILD_OPTIONS says otherwise.
jobs=${JOBS:-$(nproc)}
[ "$jobs" -gt 2 ] && jobs=2
cd "$src"
if ! dpkg-buildpackage -us -uc -J"$jobs" "$@" >"$out/build.log" 2>&1; then
  tail -n 60 "$out/build.log" >&2
  echo "dpkg-buildpackage failed; the whole log is $out/build.log" >&2
  exit 1
fi
grep -E '^(dpkg-source|dpkg-deb): building|Test project|tests passed|tests failed' "$out/build.log" || true
