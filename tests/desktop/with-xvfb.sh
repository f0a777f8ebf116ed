#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs a command against a private X server of its own, and optionally a
# private D-Bus session (for the accessibility bus), then stops both.
#   with-xvfb.sh [--dpi N] [--dbus] -- COMMAND...
# --dpi N tells programs the screen has N dots per inch (Xft.dpi), as a
# desktop's display settings do.
set -euo pipefail

dpi=""
dbus=false
while [ $# -gt 0 ]; do
  case "$1" in
    --dpi) dpi=$2; shift 2 ;;
    --dbus) dbus=true; shift ;;
    --) shift; break ;;
    *) break ;;
  esac
done
[ $# -gt 0 ] || { echo "usage: with-xvfb.sh [--dpi N] [--dbus] -- COMMAND..." >&2; exit 2; }
command -v Xvfb >/dev/null || { echo "Xvfb is missing; run scripts/install-deps.sh." >&2; exit 1; }

# Xvfb picks a free display number itself and writes it to a file, so that
# tests running side by side never share a server.
xvfb_pid=""
runtime=$(mktemp -d)
cleanup() {
  [ -n "${DBUS_SESSION_BUS_PID:-}" ] && kill "$DBUS_SESSION_BUS_PID" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$runtime"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$runtime/display" 2>"$runtime/xvfb.log" &
xvfb_pid=$!
display=""
for _ in $(seq 200); do
  display=$(head -n1 "$runtime/display" 2>/dev/null || true)
  [ -n "$display" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || break
  sleep 0.05
done
[ -n "$display" ] || { echo "No X server could be started:" >&2; cat "$runtime/xvfb.log" >&2; exit 1; }
export DISPLAY=":$display"
export XDG_RUNTIME_DIR="$runtime"
unset WAYLAND_DISPLAY

if [ -n "$dpi" ]; then
  xprop -root -f RESOURCE_MANAGER 8s -set RESOURCE_MANAGER "Xft.dpi:	$dpi"
fi

if $dbus; then
  command -v dbus-launch >/dev/null || { echo "dbus-launch is missing (dbus-x11)." >&2; exit 1; }
  eval "$(dbus-launch --sh-syntax)"
  export DBUS_SESSION_BUS_ADDRESS DBUS_SESSION_BUS_PID
fi

"$@"
