#!/usr/bin/env bash
# The SDL host on a real X server: Xvfb with the jwm window manager. Checks that the
# exclusive-mode frame is shown whole-number scaled and centred on black, exactly, after
# an animation presented change by change (and again after a restore), both on the
# window surface the host chooses here (Xvfb renders OpenGL in software) and through the
# renderer that ORV_SDL_PRESENT=renderer forces; that a held key reads as its
# DirectInput key code, that minimising and restoring reach the platform as focus
# events, that Alt+F4 asks the window to close, that a message box is shown over a
# window that left full screen for it, and that without a display the host says so.
#   run_window_test.sh PATH/TO/window_probe
set -euo pipefail
probe="$1"

source "$(dirname "$0")/../../support/x_desktop.sh"
require_tools Xvfb jwm xdotool xprop import convert

# Starts the probe presenting the given way (surface: as the host chooses on Xvfb, or
# renderer: forced); sets probe_pid and window.
start_probe() {
  local path="$1" choice=""
  [[ "$path" == renderer ]] && choice=renderer
  ORV_SDL_PRESENT="$choice" "$probe" show 25 >"$work/probe.log" 2>"$work/probe-stderr.log" &
  probe_pid=$!
  pids+=("$probe_pid")
  window="$(timeout 10 xdotool search --sync --onlyvisible --name '^FullScreen Orvendal$' |
    head -n1)" || fail "no window titled 'FullScreen Orvendal'"
  expect_log "present $path"
}

# Waits until the window covers the screen and the animation has settled for the given
# time, then compares a screenshot with the probe's test frame at the scale and position.
check_screen() {
  local width="$1" height="$2" scale="$3" x="$4" y="$5" name="$6" settled="$7"
  wait_for 5 sh -c "xdotool getwindowgeometry '$window' | grep -q 'Geometry: ${width}x${height}'" ||
    fail "window did not become full-screen ${width}x${height}"
  expect_log "settled $settled"
  sleep 0.3  # a few frames at the final size
  import -window root "$work/$name.png"
  convert "$work/$name.png" -depth 8 "rgb:$work/$name.rgb"
  "$probe" check "$work/$name.rgb" "$width" "$height" "$scale" "$x" "$y" ||
    fail "$name: the screen does not show the frame at scale $scale, offset $x,$y"
}

expect_log() {
  wait_for 5 grep -qx "$1" "$work/probe.log" || fail "expected '$1' from the host"
}

# Without a display the host sees none (SDL itself would quietly draw off-screen).
env -u DISPLAY -u WAYLAND_DISPLAY "$probe" show 1 >"$work/nodisplay.log" 2>&1 && status=0 ||
  status=$?
[[ $status -eq 2 ]] && grep -qx "display-available 0" "$work/nodisplay.log" ||
  fail "without DISPLAY the host reported a display (exit $status)"

# 1600x1200 fits the 640x480 frame twice: 1280x960 at 160,120.
start_desktop 1600x1200
for path in surface renderer; do
  start_probe "$path"
  grep -qx "display-available 1" "$work/probe.log" || fail "the host saw no display on Xvfb"
  check_screen 1600 1200 2 160 120 "scaled-$path" 1

  # Keys are held rather than tapped: the keyboard is read once per frame.
  xdotool keydown Escape
  sleep 0.2
  xdotool keyup Escape
  expect_log "key-down 1" # DIK_ESCAPE

  xdotool windowminimize "$window"
  expect_log "event focus-lost minimized=1"
  xdotool windowactivate "$window"
  expect_log "event focus-gained"
  check_screen 1600 1200 2 160 120 "restored-$path" 2

  xdotool key --clearmodifiers alt+F4
  wait_for 5 sh -c "! kill -0 $probe_pid 2>/dev/null" || fail "Alt+F4 did not end the probe"
  wait "$probe_pid" && status=0 || status=$?
  [[ $status -eq 0 ]] || fail "probe ended with $status"
  expect_log "event close-requested"
done

# The message box has the window's title but no class; it is found by its title and told
# apart from the window by its id.
"$probe" message >"$work/probe.log" 2>"$work/probe-stderr.log" &
probe_pid=$!
pids+=("$probe_pid")
window="$(timeout 10 xdotool search --sync --onlyvisible --name '^FullScreen Orvendal$' |
  head -n1)" || fail "no window for the message box"
own="$(printf '0x%x' "$window")"
find_box() {
  xwininfo -root -tree | grep '"FullScreen Orvendal"' | awk '{print $1}' | grep -vx "$own" |
    head -n1 | grep .
}
wait_for 10 find_box || fail "no message box"
box="$(find_box)"
wait_for 5 sh -c "xwininfo -id '$box' | grep -q 'Map State: IsViewable'" ||
  fail "the message box is not shown"
xdotool getwindowgeometry "$window" | grep -q 'Geometry: 640x480' ||
  fail "the window stayed full-screen over the message box"
xdotool key --window "$box" Return
wait_for 5 sh -c "! kill -0 $probe_pid 2>/dev/null" || fail "Return did not dismiss the box"
wait "$probe_pid" || fail "the probe failed after the message box"
expect_log "message-box-dismissed"
! grep -q "FAILED" "$work/probe-stderr.log" || fail "the message went to standard error"
stop_desktop

# 1366x768 is less than twice the frame's height: 1:1 at 363,144.
start_desktop 1366x768
for path in surface renderer; do
  start_probe "$path"
  check_screen 1366 768 1 363 144 "unscaled-$path" 1
  kill "$probe_pid"
  wait "$probe_pid" || true
done
stop_desktop

echo "PASS"
