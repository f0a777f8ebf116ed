#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# How long Orvane's window takes to appear, against a bare Qt window built in
# the same tree (empty, and with one line of text), each timed from its start
# to the X server's map event.
#   scripts/startup-bench.sh [BUILD_DIR] [ROUNDS]     default: build 40
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
rounds=${2:-40}
for binary in "$build/tools/bare-window/bare-window" "$build/tools/bare-window/bare-window-text" \
              "$build/app/orvane"; do
  [ -x "$binary" ] || { echo "No program at $binary; build first (make build)." >&2; exit 1; }
done
# A desktop session has its own D-Bus; without one, every program would start one of its own.
exec tests/desktop/with-xvfb.sh --dbus -- /usr/bin/python3 scripts/startup_watch.py "$rounds" \
  "bare=$build/tools/bare-window/bare-window" "bare+text=$build/tools/bare-window/bare-window-text" \
  "orvane=$build/app/orvane"
