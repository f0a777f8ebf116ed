#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Starts the program on a private X server, waits until its window maps and
# checks that the window's class is the launcher's StartupWMClass.
#   scripts/check-window-class.sh BINARY DESKTOP_FILE
set -euo pipefail

binary=${1:?usage: check-window-class.sh BINARY DESKTOP_FILE}
desktop=${2:?usage: check-window-class.sh BINARY DESKTOP_FILE}
[ -x "$binary" ] || { echo "No program at $binary." >&2; exit 1; }
for tool in Xvfb xwininfo xprop; do
  command -v "$tool" >/dev/null || { echo "$tool is missing; run scripts/install-deps.sh test." >&2; exit 1; }
done

expected=$(sed -n 's/^StartupWMClass=//p' "$desktop")
[ -n "$expected" ] || { echo "$desktop has no StartupWMClass." >&2; exit 1; }

# A private X server of its own, on a display that Xvfb picks itself.
if [ -z "${ORVANE_CLASS_CHECK_SERVER:-}" ]; then
  ORVANE_CLASS_CHECK_SERVER=1 exec "$(dirname "$0")/../tests/desktop/with-xvfb.sh" -- "$0" "$binary" "$desktop"
fi

work=$(mktemp -d)
app_pid=""
cleanup() {
  if [ -n "$app_pid" ]; then kill "$app_pid" 2>/dev/null || true; fi
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Polls COMMAND for up to twenty seconds.
wait_for() {
  for _ in $(seq 200); do
    if "$@" >/dev/null 2>&1; then return 0; fi
    sleep 0.1
  done
  return 1
}

QT_QPA_PLATFORM=xcb "$binary" >"$work/app.log" 2>&1 &
app_pid=$!
window_viewable() { xwininfo -name Orvane | grep -q "Map State: IsViewable"; }
if ! wait_for window_viewable; then
  echo "The Orvane window did not map on $DISPLAY; the program said:" >&2
  cat "$work/app.log" >&2
  exit 1
fi

window_id=$(xwininfo -name Orvane | awk '/Window id:/ { print $4 }')
wm_class=$(xprop -id "$window_id" WM_CLASS)
# WM_CLASS(STRING) = "instance", "class"
class=$(sed -n 's/^WM_CLASS(STRING) = "[^"]*", "\([^"]*\)"$/\1/p' <<<"$wm_class")
if [ "$class" != "$expected" ]; then
  echo "The window's class is '${class}' ($wm_class), the launcher's StartupWMClass is '$expected'." >&2
  exit 1
fi
echo "Window mapped on $DISPLAY with class $class, as the launcher says."
