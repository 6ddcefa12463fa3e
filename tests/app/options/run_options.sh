#!/usr/bin/env bash
# The portable program's options and its word when there is no display, run as a player
# runs them:
# - command lines that end at once: their exit code, standard output and standard error,
#   all without a display;
# - no display: one line on why, then the game's own message, exit code 1, nothing else;
# - command lines that start the game, on Xvfb with jwm: the size of the window's inside
#   at the start and after Alt+Enter, and Exit (Down, Down, A) ending it with exit code 0.
#   run_options.sh PATH/TO/orvendal VERSION
set -euo pipefail
game="$1"
version="$2"
here="$(cd "$(dirname "$0")" && pwd)"

source "$here/../../support/x_desktop.sh"
require_tools Xvfb jwm xdotool xprop xwininfo

failures=0
problem() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# Runs the game without any display: run_bare ARGUMENTS... leaves the exit code in $code,
# the outputs in $work/out and $work/err.
run_bare() {
  code=0
  env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER -u ORVENDAL_VERBOSE \
    timeout 10 "$game" "$@" >"$work/out" 2>"$work/err" || code=$?
}

usage_line="Usage: orvendal [OPTION]..."
see_help=" (see orvendal --help)"
no_display="Orvendal cannot open a display: neither DISPLAY nor WAYLAND_DISPLAY is set"
game_message="FullScreen Orvendal: DirectDrawCreateEx FAILED"
# command line | exit code | first line of standard output | standard error, lines joined by ";"
ending=(
  "--help|0|$usage_line|"
  "--version|0|orvendal $version|"
  "--window --version|0|orvendal $version|"
  "--scale 0|2||orvendal: --scale takes a whole number from 1 to 16, not '0'$see_help"
  "--scale x|2||orvendal: --scale takes a whole number from 1 to 16, not 'x'$see_help"
  "--scale|2||orvendal: --scale needs a whole number from 1 to 16$see_help"
  "--fullscreen|2||orvendal: unknown option '--fullscreen'$see_help"
  "--window --fast|2||orvendal: unknown option '--fast'$see_help"
  # No display: why, then the game's own message box as a line.
  "|1||$no_display;$game_message"
  "--window --scale 3|1||$no_display;$game_message"
)
for row in "${ending[@]}"; do
  IFS='|' read -r line want_code want_out want_err <<<"$row"
  read -r -a arguments <<<"$line"
  run_bare "${arguments[@]}"
  err="$(paste -sd';' "$work/err")"
  out="$(head -n1 "$work/out")"
  [[ "$code" == "$want_code" ]] || problem "orvendal $line: exit code $code, not $want_code"
  [[ "$out" == "$want_out" ]] || problem "orvendal $line: standard output begins '$out', not '$want_out'"
  [[ "$err" == "$want_err" ]] || problem "orvendal $line: standard error is '$err', not '$want_err'"
  if [[ -z "$want_out" && -s "$work/out" ]]; then
    problem "orvendal $line: wrote to standard output: $(head -c 200 "$work/out")"
  fi
done

# Another reason: an X display that does not answer. With ORVENDAL_VERBOSE=1 the libraries'
# own lines come through as well; without it they do not.
code=0
env -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER -u ORVENDAL_VERBOSE DISPLAY=:65432 \
  timeout 10 "$game" >"$work/out" 2>"$work/err" || code=$?
[[ "$code" == 1 && "$(paste -sd';' "$work/err")" == \
  "Orvendal cannot open a display: the X display ':65432' (DISPLAY) did not open;$game_message" ]] ||
  problem "an X display that does not answer: exit code $code, standard error '$(paste -sd';' "$work/err")'"
code=0
env -u DISPLAY -u SDL_VIDEODRIVER -u XDG_RUNTIME_DIR WAYLAND_DISPLAY=wayland-65432 ORVENDAL_VERBOSE=1 \
  timeout 10 "$game" >"$work/out" 2>"$work/err" || code=$?
library_line="error: XDG_RUNTIME_DIR is invalid or not set in the environment."
[[ "$code" == 1 && "$(head -n1 "$work/err")" == "$library_line" &&
  "$(grep -c -F "$library_line" "$work/err")" == 2 && "$(tail -n1 "$work/err")" == "$game_message" ]] ||
  problem "ORVENDAL_VERBOSE=1: exit code $code, standard error '$(paste -sd';' "$work/err")'"

start_desktop 2560x1600
# command line | the window's inside at the start | after Alt+Enter
windows=(
  "|2560x1600|1280x960"
  "--window|1280x960|2560x1600"
  "--window --scale 1|640x480|2560x1600"
  "--window --scale 3|1920x1440|2560x1600"
  "--scale 3|2560x1600|1920x1440"
)

inside() {
  xwininfo -id "$1" | awk '/Width:/ {w = $2} /Height:/ {h = $2} END {print w "x" h}'
}
# Waits up to 5 s for the window's inside to be $2; leaves the last size in $size.
await_size() {
  local deadline=$((SECONDS + 5))
  until size="$(inside "$1")" && [[ "$size" == "$2" ]]; do
    ((SECONDS < deadline)) || return 1
    sleep 0.1
  done
}
hold() {
  xdotool keydown "$1"
  sleep "$2"
  xdotool keyup "$1"
}

for row in "${windows[@]}"; do
  IFS='|' read -r line at_start toggled <<<"$row"
  read -r -a arguments <<<"$line"
  "$game" "${arguments[@]}" >"$work/game.log" 2>&1 &
  game_pid=$!
  pids+=("$game_pid")
  if ! window="$(timeout 10 xdotool search --sync --onlyvisible --name '^FullScreen Orvendal$' |
    head -n1)"; then
    problem "orvendal $line: no window"
    kill "$game_pid" 2>/dev/null || true
    wait "$game_pid" 2>/dev/null || true
    continue
  fi
  await_size "$window" "$at_start" || problem "orvendal $line: the window is $size at the start, not $at_start"
  sleep 0.3
  xdotool key alt+Return
  await_size "$window" "$toggled" || problem "orvendal $line: the window is $size after Alt+Enter, not $toggled"
  # Exit: Down, Down, A. Each press is shorter than the menu's 200 ms repeat delay and
  # comes well after it.
  sleep 0.3
  hold Down 0.08
  sleep 0.4
  hold Down 0.08
  sleep 0.4
  hold a 0.08
  code=""
  if wait_for 5 sh -c "! kill -0 $game_pid 2>/dev/null"; then
    code=0
    wait "$game_pid" || code=$?
  else
    kill "$game_pid" 2>/dev/null || true
    wait "$game_pid" 2>/dev/null || true
  fi
  [[ "$code" == 0 ]] || problem "orvendal $line: Exit ended it with '${code:-no exit within 5 s}'"
  echo "orvendal $line: $at_start, after Alt+Enter $toggled, exit code $code"
done

((failures == 0)) || fail "$failures problem(s)"
echo "PASS"
