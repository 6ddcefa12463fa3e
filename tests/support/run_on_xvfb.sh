#!/usr/bin/env bash
# Runs a test program on a private Xvfb display (no window manager), then stops the server.
#   run_on_xvfb.sh PROGRAM [ARGUMENTS...]
set -euo pipefail

for tool in Xvfb xdotool; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is not installed"
    exit 77
  fi
done

display_file="$(mktemp)"
# -noreset: with no window manager, the server would start over each time its last client
# leaves, and a program connecting meanwhile would find no display.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$display_file" >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; rm -f "$display_file"' EXIT

for _ in $(seq 100); do
  [[ -s "$display_file" ]] && break
  sleep 0.1
done
[[ -s "$display_file" ]] || { echo "FAIL: Xvfb did not start"; exit 1; }

DISPLAY=":$(head -n1 "$display_file")" "$@"
