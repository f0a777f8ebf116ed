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
for tool in Xvfb xwininfo xprop import; do
  command -v "$tool" >/dev/null || { echo "$tool is missing; run scripts/install-deps.sh." >&2; exit 1; }
done

# A private X server of its own, on a display that Xvfb picks itself.
if [ -z "${ORVANE_SCREENSHOT_SERVER:-}" ]; then
  ORVANE_SCREENSHOT_SERVER=1 exec tests/desktop/with-xvfb.sh -- "$0" "$binary" "$output"
fi

app_pid=""
cleanup() {
  if [ -n "$app_pid" ]; then kill "$app_pid" 2>/dev/null || true; fi
  wait 2>/dev/null || true
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

QT_QPA_PLATFORM=xcb "$binary" &
app_pid=$!
window_viewable() { xwininfo -name Orvane | grep -q "Map State: IsViewable"; }
wait_for window_viewable || { echo "The Orvane window did not appear." >&2; exit 1; }
sleep 1  # let the first paint finish

window_id=$(xwininfo -name Orvane | awk '/Window id:/ { print $4 }')
mkdir -p "$(dirname "$output")"
import -window "$window_id" "$output"
echo "Saved $output ($(xwininfo -id "$window_id" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }'))"
