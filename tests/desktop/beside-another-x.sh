#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs a command while an X server of its own runs on display 0 (on another
# display when 0 is taken), as on a machine with a desktop: every test that
# needs X must find its own server beside it, in the Debian 13 root too.
#   beside-another-x.sh COMMAND...
set -euo pipefail
[ $# -gt 0 ] || { echo "usage: beside-another-x.sh COMMAND..." >&2; exit 2; }
command -v Xvfb >/dev/null || { echo "Xvfb is missing; run scripts/install-deps.sh." >&2; exit 1; }

runtime=$(mktemp -d)
xvfb_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$runtime"
}
trap cleanup EXIT

# Display 0 is free when neither its lock file nor its abstract socket is there.
if [ ! -e /tmp/.X0-lock ] && ! grep -q '@/tmp/.X11-unix/X0$' /proc/net/unix 2>/dev/null; then
  Xvfb :0 -nolisten tcp -screen 0 800x600x24 2>"$runtime/xvfb.log" &
  display=0
else
  Xvfb -displayfd 3 -nolisten tcp -screen 0 800x600x24 3>"$runtime/display" 2>"$runtime/xvfb.log" &
  display=""
fi
xvfb_pid=$!
for _ in $(seq 100); do
  [ -n "$display" ] || display=$(head -n1 "$runtime/display" 2>/dev/null || true)
  [ -n "$display" ] && xdpyinfo -display ":$display" >/dev/null 2>&1 && break
  kill -0 "$xvfb_pid" 2>/dev/null || { cat "$runtime/xvfb.log" >&2; exit 1; }
  sleep 0.1
done
echo "(another X server runs on display :$display meanwhile)"
"$@"
