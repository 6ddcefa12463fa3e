#!/usr/bin/env bash
# Times the game on the SDL host on a private Xvfb display (1600x1200, so the frame is
# shown at twice its size) with the jwm window manager, in one run: the first frame after
# process start against a minimal SDL program's, then for the title menu, play with the
# ship moving and the minimised window the game's and the X server's processor use,
# frames per second, frame intervals and bytes sent per frame; then what a bare 60 Hz
# loop costs on the machine.
#   bench/game_sdl/run_frame_timing.sh [BUILD_DIR] [-- options of game_sdl_frame_timing]
# BUILD_DIR defaults to build/default and must hold the targets orvendal,
# game_sdl_frame_timing, game_sdl_reference and game_sdl_frame_floor (cmake --build
# BUILD_DIR --target orvendal game_sdl_frame_timing game_sdl_reference
# game_sdl_frame_floor). "-- --present renderer" times the game presenting through SDL's
# renderer (OpenGL in software on Xvfb) instead; "-- --baseline GAME2" times another build
# of the game (an older commit's) in the same start-up rotation.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="$root/build/default"
if [[ $# -gt 0 && "$1" != "--" ]]; then
  build="$1"
  shift
fi
[[ "${1:-}" == "--" ]] && shift
game="$build/app/orvendal"
timing="$build/bench/game_sdl/game_sdl_frame_timing"
reference="$build/bench/game_sdl/game_sdl_reference"
floor="$build/bench/game_sdl/game_sdl_frame_floor"
for program in "$game" "$timing" "$reference" "$floor"; do
  [[ -x "$program" ]] ||
    { echo "missing $program: build orvendal, game_sdl_frame_timing, game_sdl_reference and game_sdl_frame_floor"; exit 2; }
done
for tool in Xvfb jwm xprop xdotool; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed"; exit 2; }
done

source "$root/tests/support/x_desktop.sh"
screen=1600x1200
start_desktop "$screen"
server="$desktop_server_pid"

echo "orvendal on Xvfb $screen with jwm ($(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg))"
timeout 180 "$timing" "$game" "$reference" --starts 5 --seconds 5 --server-pid "$server" \
  --screen "$screen" "$@"
"$floor" 5
echo "load afterwards $(cut -d' ' -f1-3 /proc/loadavg)"
