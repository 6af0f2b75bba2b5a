#!/usr/bin/env bash
# Starts the desktop program, or explains how when there is no display to show it on.
set -euo pipefail
program=$1
shift || true
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "No display found: run it under a virtual X server with: xvfb-run -a $program" >&2
    exit 1
fi
exec "$program" "$@"
