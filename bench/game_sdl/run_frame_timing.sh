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

work="$(mktemp -d)"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
server=$!
pids+=("$server")
for _ in $(seq 100); do grep -q . "$work/display" && break; sleep 0.1; done
grep -q . "$work/display" || { echo "Xvfb did not start"; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"
jwm >"$work/jwm.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done

echo "orvendal on Xvfb 1600x1200 with jwm ($(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg))"
timeout 120 "$timing" "$game" --starts 5 --seconds 5 --server-pid "$server" "$@"
