#!/usr/bin/env bash
# Times the game on the SDL host on a private Xvfb display (1600x1200, so the frame is
# shown at twice its size) with the jwm window manager: first frame after process start,
# frame intervals and processor use over about 5 s of the title menu.
#   bench/game_sdl/run_frame_timing.sh [BUILD_DIR] [-- options of game_sdl_frame_timing]
# BUILD_DIR defaults to build/default and must hold the targets orvendal and
# game_sdl_frame_timing (cmake --build BUILD_DIR --target orvendal game_sdl_frame_timing).
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="${1:-$root/build/default}"
shift || true
[[ "${1:-}" == "--" ]] && shift
game="$build/app/orvendal"
timing="$build/bench/game_sdl/game_sdl_frame_timing"
for program in "$game" "$timing"; do
  [[ -x "$program" ]] || { echo "missing $program: build orvendal and game_sdl_frame_timing"; exit 2; }
done
for tool in Xvfb jwm xprop; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed"; exit 2; }
done

source "$root/tests/support/x_desktop.sh"
start_desktop 1600x1200
server="$desktop_server_pid"

echo "orvendal on Xvfb 1600x1200 with jwm ($(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg))"
timeout 120 "$timing" "$game" --starts 5 --seconds 5 --server-pid "$server" "$@"
