#!/usr/bin/env bash
# The game in a real window: the built program on Xvfb with the jwm window manager, played
# with xdotool. The screen must show exactly what the game draws on the headless host,
# scaled by a whole factor and centred on black: the title menu in full screen, in the
# window Alt+Enter gives (which goes on showing frames while another window is active)
# and in full screen again; the ship at its start and after a held arrow moved it; the
# menu again after the ship met the orb; and Exit (Down, Down, A) ends the program with
# exit code 0.
#   run_real_window.sh PATH/TO/orvendal PATH/TO/orvendal_capture PATH/TO/screen_compare
set -euo pipefail
game="$1"
capture="$2"
compare="$3"
here="$(cd "$(dirname "$0")" && pwd)"

source "$here/../../support/x_desktop.sh"
require_tools Xvfb jwm xdotool xprop xwininfo xmessage import convert
before_cleanup() {
  if [[ -n "${KEEP_SCREENSHOTS:-}" ]]; then
    mkdir -p "$KEEP_SCREENSHOTS" && cp "$work"/*.png "$KEEP_SCREENSHOTS"/ 2>/dev/null || true
  fi
}

# Holds a key for $2 seconds: the game reads the keyboard once a frame.
hold() {
  xdotool keydown "$1"
  sleep "$2"
  xdotool keyup "$1"
}

# The headless frames, as raw RGB.
"$capture" --script "$here/headless.capture" --out "$work" >"$work/capture.log" 2>&1 ||
  fail "the capture tool failed"
for name in title play; do
  convert "$work/$name.png" -depth 8 "rgb:$work/$name.rgb"
done

start_desktop 1600x1200

# The host notes the time of every frame it shows.
ORV_PRESENT_TIMES="$work/frame-times" "$game" >"$work/game.log" 2>&1 &
game_pid=$!
pids+=("$game_pid")
window="$(timeout 10 xdotool search --sync --onlyvisible --name '^FullScreen Orvendal$' |
  head -n1)" || fail "no window titled 'FullScreen Orvendal'"

# Waits until the window's inside is $1x$2.
wait_size() {
  wait_for 5 sh -c "xwininfo -id '$window' | grep -q 'Width: $1\$' &&
                    xwininfo -id '$window' | grep -q 'Height: $2\$'" ||
    fail "the window did not become $1x$2"
}

# Compares the screen (or with "window", the window's inside) with a headless frame at
# the given scale and position.
expect_shown() {
  local name="$1" frame="$2" source="$3" width="$4" height="$5" scale="$6" x="$7" y="$8"
  local target=root
  [[ "$source" == window ]] && target="$window"
  import -window "$target" "$work/shot-$name.png"
  convert "$work/shot-$name.png" -depth 8 "rgb:$work/shot-$name.rgb"
  "$compare" same "$work/shot-$name.rgb" "$width" "$height" "$work/$frame.rgb" "$scale" "$x" "$y" \
    2>"$work/compare-$name.log" ||
    fail "$name: the screen does not show $frame.png at scale $scale, offset $x,$y"
}

# Prints where the screen shows the ship, in frame pixels.
ship_position() {
  import -window root "$work/shot-$1.png"
  convert "$work/shot-$1.png" -depth 8 "rgb:$work/shot-$1.rgb"
  "$compare" ship "$work/shot-$1.rgb" 1600 1200 "$work/play.rgb" "$work/title.rgb" 2 160 120 \
    2>"$work/compare-$1.log" || fail "$1: the ship is not on the screen"
}

# Full screen: 1600x1200 fits the frame twice, 1280x960 at 160,120.
wait_size 1600 1200
sleep 0.5
expect_shown menu title root 1600 1200 2 160 120

# Alt+Enter: a window twice the frame's size, and back.
xdotool key alt+Return
wait_size 1280 960
sleep 0.3
expect_shown windowed title window 1280 960 2 0 0

# Another window in the foreground: the game in a window is not minimised and runs on.
xmessage -geometry +0+0 "another window" >"$work/xmessage.log" 2>&1 &
other_pid=$!
pids+=("$other_pid")
wait_for 5 sh -c "xdotool getactivewindow getwindowname | grep -qx xmessage" ||
  fail "the other window did not take the foreground"
frames_before=$(wc -l <"$work/frame-times")
sleep 0.5
frames_after=$(wc -l <"$work/frame-times")
((frames_after - frames_before >= 15)) ||
  fail "only $((frames_after - frames_before)) frames in 0.5 s behind another window"
xwininfo -id "$window" | grep -q 'Map State: IsViewable' || fail "the window was hidden"
kill "$other_pid"
xdotool windowactivate --sync "$window"
xdotool key alt+Return
wait_size 1600 1200
sleep 0.3
expect_shown title-again title root 1600 1200 2 160 120

# Start: the ship at its starting cell.
hold a 0.3
sleep 0.2
expect_shown play play root 1600 1200 2 160 120

# A held arrow moves the ship two pixels a frame.
hold Right 1
sleep 0.1
read -r x y < <(ship_position moved)
((x > 130 && y == 100)) || fail "after a held Right the ship is at $x,$y"
echo "Right for 1 s moved the ship from 100,100 to $x,$y"

# Down to the orb's height (it spans y 300..357; the ship is 46 high), then right into it.
# The arrows are held in short pushes until the ship gets there, whatever the frame rate;
# the ship stands still while each screenshot is taken.
for ((tries = 0; tries < 60; tries++)); do
  hold Down 0.25
  sleep 0.1
  read -r x y < <(ship_position lowered)
  ((y > 264)) && break
done
((y > 254 && y < 358)) || fail "after a held Down the ship is at $x,$y, not beside the orb"
for ((tries = 0; tries < 60; tries++)); do
  hold Right 0.3
  sleep 0.2
  import -window root "$work/shot-contact.png"
  convert "$work/shot-contact.png" -depth 8 "rgb:$work/shot-contact.rgb"
  "$compare" same "$work/shot-contact.rgb" 1600 1200 "$work/title.rgb" 2 160 120 2>/dev/null &&
    break
done
expect_shown menu-again title root 1600 1200 2 160 120

# Exit: Down, Down, A. Each move waits 200 ms after the last.
hold Down 0.15
sleep 0.3
hold Down 0.15
sleep 0.3
hold a 0.15
wait_for 5 sh -c "! kill -0 $game_pid 2>/dev/null" || fail "Exit did not end the program"
wait "$game_pid" && status=0 || status=$?
[[ $status -eq 0 ]] || fail "the program ended with $status"

echo "PASS"
