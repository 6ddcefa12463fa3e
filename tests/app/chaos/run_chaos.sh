#!/usr/bin/env bash
# The game on a disturbed desktop: the built program on Xvfb with the jwm window manager,
# shaken with random arrow keys, minimise and restore, Alt+Enter into a window and back,
# and another window taking the foreground. After every disturbance the game, in front
# again, must show the title menu exactly as the headless host draws it (with the cursor
# on one of its three items; the frame-rate text left out). At the end Exit (Down to
# Exit, then A) must end the program with exit code 0.
#   run_chaos.sh PATH/TO/orvendal PATH/TO/orvendal_capture PATH/TO/screen_compare [COUNT] [SEED]
# COUNT disturbances (12 by default); the counts are printed at the end.
set -euo pipefail
game="$1"
capture="$2"
compare="$3"
count="${4:-12}"
RANDOM="${5:-20261210}"
here="$(cd "$(dirname "$0")" && pwd)"

source "$here/../../support/x_desktop.sh"
require_tools Xvfb jwm xdotool xprop xwininfo xmessage import convert

"$capture" --script "$here/title_menu.capture" --out "$work" >"$work/capture.log" 2>&1 ||
  fail "the capture tool failed"
for cursor in 0 1 2; do
  convert "$work/cursor$cursor.png" -depth 8 "rgb:$work/cursor$cursor.rgb"
done

start_desktop 1600x1200
"$game" >"$work/game.log" 2>&1 &
game_pid=$!
pids+=("$game_pid")
window="$(timeout 10 xdotool search --sync --onlyvisible --name '^FullScreen Orvendal$' |
  head -n1)" || fail "no window titled 'FullScreen Orvendal'"

windowed=0  # 1 after an odd number of Alt+Enter
shots=0
declare -A done_count=()

# Waits until the window's inside is $1x$2.
wait_size() {
  wait_for 5 sh -c "xwininfo -id '$window' | grep -q 'Width: $1\$' &&
                    xwininfo -id '$window' | grep -q 'Height: $2\$'"
}

# The game in front again: sets $cursor to the item the screen shows the cursor on, or
# fails. Full screen: 1600x1200, the frame twice its size at 160,120; in a window: its
# inside, 1280x960, at 0,0.
check_menu() {
  local name="$1" target=root width=1600 height=1200 x=160 y=120
  if ((windowed)); then
    target="$window" width=1280 height=960 x=0 y=0
  fi
  wait_size "$width" "$height" || fail "$name: the window did not become ${width}x${height}"
  sleep 0.4
  shots=$((shots + 1))
  import -window "$target" "$work/shot.png"
  convert "$work/shot.png" -depth 8 "rgb:$work/shot.rgb"
  for cursor in 0 1 2; do
    if "$compare" same "$work/shot.rgb" "$width" "$height" "$work/cursor$cursor.rgb" 2 "$x" "$y" \
      2>"$work/compare.log"; then
      return 0
    fi
  done
  cp "$work/shot.png" "$work/wrong-$name.png"
  fail "$name: the screen shows no title menu (last comparison: $(tail -n1 "$work/compare.log"))"
}

bring_back() {
  xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowactivate "$window"
}

hold() {
  xdotool keydown "$1"
  sleep "$2"
  xdotool keyup "$1"
}

check_menu start
keys=(Up Down Left Right)
for ((i = 1; i <= count; i++)); do
  case $((RANDOM % 5)) in
    0)
      what=keys
      for ((k = 0; k < 1 + RANDOM % 4; k++)); do
        hold "${keys[RANDOM % 4]}" "0.$((1 + RANDOM % 4))"
      done
      ;;
    1)
      what=minimise
      xdotool windowminimize "$window"
      sleep "0.$((2 + RANDOM % 8))"
      bring_back
      ;;
    2)
      what=alt-enter
      xdotool key alt+Return
      windowed=$((1 - windowed))
      ;;
    *)
      what=other-window
      xmessage -geometry +0+0 "another window" >"$work/xmessage.log" 2>&1 &
      other_pid=$!
      # The window manager gives a new window the focus; a click would do the same.
      other="$(timeout 10 xdotool search --sync --onlyvisible --name '^xmessage$' | head -n1)" ||
        fail "the other window did not open"
      wait_for 2 sh -c "xdotool getactivewindow getwindowname | grep -qx xmessage" ||
        xdotool windowactivate "$other" 2>/dev/null || true
      wait_for 5 sh -c "xdotool getactivewindow getwindowname | grep -qx xmessage" ||
        fail "the other window did not take the foreground"
      sleep "0.$((2 + RANDOM % 8))"
      kill "$other_pid"
      wait "$other_pid" 2>/dev/null || true
      bring_back
      ;;
  esac
  done_count[$what]=$((${done_count[$what]:-0} + 1))
  echo "$i: $what" >>"$work/disturbances.log"
  check_menu "$i-$what"
  kill -0 "$game_pid" 2>/dev/null || fail "the game ended during the run"
done

# Exit: Down until the cursor is on Exit (each move waits 200 ms after the last), then A.
for ((k = cursor; k < 2; k++)); do
  hold Down 0.15
  sleep 0.3
done
hold a 0.15
wait_for 10 sh -c "! kill -0 $game_pid 2>/dev/null" || fail "Exit did not end the program"
wait "$game_pid" && status=0 || status=$?
[[ $status -eq 0 ]] || fail "the program ended with $status"

summary=""
for what in keys minimise alt-enter other-window; do
  summary+=" $what ${done_count[$what]:-0},"
done
echo "$count disturbances:${summary%,}; $shots screenshots, each a correct title menu; exit 0"
echo "PASS"
