#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Shows the built window on a private X server and saves a picture of it,
# the way it looks on a real 96-dpi desktop (not the offscreen test platform).
#   scripts/screenshot.sh [BINARY] [OUTPUT.png]
set -euo pipefail
cd "$(dirname "$0")/.."

binary=${1:-build/app/orvane}
output=${2:-docs/screenshot.png}
[ -x "$binary" ] || { echo "No program at $binary; build it first." >&2; exit 1; }
for tool in Xvfb xwininfo import; do
  command -v "$tool" >/dev/null || { echo "$tool is missing; run scripts/install-deps.sh." >&2; exit 1; }
done

# The first display number that no other X server holds.
display=99
while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do
  display=$((display + 1))
done
export DISPLAY=":${display}"

app_pid=""
# A private runtime directory keeps Qt from warning that none is set.
export XDG_RUNTIME_DIR
XDG_RUNTIME_DIR=$(mktemp -d)
# -noreset: the probe below disconnects, and a resetting server would turn
# the program away while it restarts.
Xvfb "$DISPLAY" -screen 0 640x480x24 -dpi 96 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb_pid=$!
cleanup() {
  if [ -n "$app_pid" ]; then kill "$app_pid" 2>/dev/null || true; fi
  kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$XDG_RUNTIME_DIR"
}
trap cleanup EXIT

# Polls COMMAND for up to ten seconds.
wait_for() {
  for _ in $(seq 100); do
    if "$@" >/dev/null 2>&1; then return 0; fi
    sleep 0.1
  done
  return 1
}

wait_for xwininfo -root || { echo "Xvfb did not start on $DISPLAY." >&2; exit 1; }

QT_QPA_PLATFORM=xcb "$binary" &
app_pid=$!
window_viewable() { xwininfo -name Orvane | grep -q "Map State: IsViewable"; }
wait_for window_viewable || { echo "The Orvane window did not appear." >&2; exit 1; }
sleep 1  # let the first paint finish

window_id=$(xwininfo -name Orvane | awk '/Window id:/ { print $4 }')
mkdir -p "$(dirname "$output")"
import -window "$window_id" "$output"
echo "Saved $output ($(xwininfo -id "$window_id" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }'))"
