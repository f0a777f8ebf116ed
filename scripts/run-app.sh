#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Starts the window. Without a desktop session the toolkit would fail with a
# message about platform plugins; say what is really missing instead.
set -euo pipefail

binary=${1:?usage: run-app.sh BINARY}

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: neither DISPLAY nor WAYLAND_DISPLAY is set; the window needs a desktop session. Tests run offscreen with \`make test\`." >&2
  exit 1
fi
if [ ! -x "$binary" ]; then
  echo "No program at $binary; build it first with \`make build\`." >&2
  exit 1
fi
exec "$binary"
