#!/usr/bin/env bash
# The Windows program end to end under Wine: cross-builds it, runs it in a Wine virtual
# desktop on a private Xvfb display and plays it with XTEST keys. Checks:
# - the display's set-up lines on the debug channel, and that our platform writes the same;
# - the title menu, the first play frame and the menu with Exit selected against the frames
#   of our own platform (the capture tool on the headless host), pixel for pixel outside the
#   frame-rate text (its digits only, once both show it); every difference is listed
#   before the test fails;
# - a held arrow moves the ship, contact with the orb brings the menu back, and Exit ends
#   the program with exit code 0.
#   wine_e2e.sh SOURCE_DIR WORK_DIR CAPTURE_TOOL [--exe FILE] [--prefix DIR] [--menu-only]
# WORK_DIR keeps the Wine prefix between runs, and the screenshots of the last run.
#   --exe FILE    play FILE (the program from the Windows zip, say) instead of building
#                 build/windows/app/orvendal.exe
#   --prefix DIR  the Wine prefix to keep and reuse (default WORK_DIR/prefix)
#   --menu-only   the title menu and Exit only, without playing
set -uo pipefail
source_dir="$1"
work="$2"
capture_tool="$3"
shift 3
exe=""
prefix="$work/prefix"
menu_only=0
while (($#)); do
  case "$1" in
    --exe) exe="$2"; shift 2 ;;
    --prefix) prefix="$2"; shift 2 ;;
    --menu-only) menu_only=1; shift ;;
    *) echo "FAIL: unknown argument $1"; exit 2 ;;
  esac
done
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
started=$SECONDS

fail() {
  echo "FAIL: $*"
  if [[ -s "$work/run/stderr.txt" ]]; then
    echo "--- program stderr (last lines)"
    tail -n 20 "$work/run/stderr.txt"
  fi
  echo "--- screenshots and logs: $work/run"
  exit 1
}
step() { echo "[$((SECONDS - started))s] $*"; }

for tool in cmake wine wineserver x86_64-w64-mingw32-g++ Xvfb xdotool import convert compare flock; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/test installs it)"
done
[[ -x "$capture_tool" ]] || fail "capture tool not built: $capture_tool"

# shellcheck source=../../../scripts/wine-run
source "$source_dir/scripts/wine-run"
mkdir -p "$work"
rm -rf "$work/run"
mkdir -p "$work/run"
run="$work/run"
# One run at a time per prefix.
mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock -w 200 9 || fail "the Wine prefix $prefix stays locked by another run"
trap 'xdotool keyup --delay 0 a Up Down Left Right >/dev/null 2>&1; wine_teardown' EXIT
trap 'exit 124' TERM INT

if [[ -z "$exe" ]]; then
  step "building the Windows program"
  (cd "$source_dir" && cmake --preset windows >"$run/configure.log" 2>&1) ||
    { cat "$run/configure.log"; fail "configuring the Windows build failed"; }
  (cd "$source_dir" && cmake --build --preset windows -j2 >"$run/build.log" 2>&1) ||
    { tail -n 40 "$run/build.log"; fail "building the Windows program failed"; }
  exe="$source_dir/build/windows/app/orvendal.exe"
fi
[[ -f "$exe" ]] || fail "no program $exe"

step "reference frames from the capture tool"
mkdir -p "$run/reference"
references=(title play exit)
((menu_only)) && references=(title exit)
for name in "${references[@]}"; do
  timeout 60 "$capture_tool" --script "$here/$name.capture" --out "$run/reference" \
    >"$run/capture-$name.log" 2>&1 || { cat "$run/capture-$name.log"; fail "capture of $name failed"; }
  [[ -f "$run/reference/$name.png" ]] || fail "the capture tool wrote no $name.png"
done

step "Wine prefix"
wine_prepare_prefix "$prefix" 9>&- || fail "the Wine prefix could not be made"
wine_start_display "$run" 9>&- || fail "Xvfb did not start"
export DISPLAY="$WINE_RUN_DISPLAY"

step "starting the program on display $DISPLAY"
wine_start_program "$exe" 150 "$run/stdout.txt" "$run/stderr.txt" 9>&-

# --- screen helpers -------------------------------------------------------------------

# The frame-rate text in the top-left corner changes from frame to frame; once shown, its
# four digits do, while " FPS" after them stays.
fps_area="0,0 127,15"
fps_digits="0,0 31,15"
# The menu cursor's column, next to the three items.
cursor_area="260,300 276,388"

desktop=""
shot_count=0
# Takes a screenshot of the virtual desktop into $run/NAME.png.
shoot() {
  shot_count=$((shot_count + 1))
  timeout 20 import -window "$desktop" "$run/$1.png" 2>/dev/null
}

# Number of pixels that differ between two images, outside the given rectangles.
differing_pixels() {
  local a="$1" b="$2" rect
  shift 2
  local mask=(-fill black)
  for rect in "$@"; do mask+=(-draw "rectangle $rect"); done
  convert "$a" -alpha off "${mask[@]}" "$run/mask-a.png" &&
    convert "$b" -alpha off "${mask[@]}" "$run/mask-b.png" &&
    { compare -metric AE "$run/mask-a.png" "$run/mask-b.png" null: 2>&1 || true; }
}

# Bounding box WxH+X+Y of the pixels that differ between two images outside the given
# rectangles ("0x0+0+0" when none do).
difference_box() {
  local a="$1" b="$2" rect
  shift 2
  local mask=(-fill black)
  for rect in "$@"; do mask+=(-draw "rectangle $rect"); done
  convert "$a" "$b" -alpha off -compose difference -composite "${mask[@]}" \
    -separate -evaluate-sequence max -threshold 0 -format '%@' info:
}

# Takes screenshots into NAME.png until two in a row agree outside the rectangles, for at
# most SECONDS: the picture has settled.
await_settled() {
  local name="$1" seconds="$2"
  shift 2
  local deadline=$((SECONDS + seconds))
  shoot "$name" || true
  while ((SECONDS < deadline)); do
    kill -0 "$WINE_RUN_PID" 2>/dev/null || fail "the program ended while waiting for $name"
    sleep 0.2
    cp "$run/$name.png" "$run/$name-before.png" 2>/dev/null || true
    shoot "$name" || continue
    [[ "$(differing_pixels "$run/$name.png" "$run/$name-before.png" "$@")" == "0" ]] && return 0
  done
  return 1
}

# Takes screenshots into NAME.png until one matches REFERENCE outside the rectangles, for
# at most SECONDS. Leaves the last count of differing pixels in $last_difference.
last_difference=""
await_screen() {
  local name="$1" reference="$2" seconds="$3"
  shift 3
  local deadline=$((SECONDS + seconds))
  while ((SECONDS < deadline)); do
    kill -0 "$WINE_RUN_PID" 2>/dev/null || fail "the program ended while waiting for $name"
    if shoot "$name"; then
      last_difference="$(differing_pixels "$run/$name.png" "$reference" "$@")"
      [[ "$last_difference" == "0" ]] && return 0
    fi
    sleep 0.2
  done
  return 1
}

# Differences between Wine and our platform are all collected, and the run goes on.
mismatches=()
mismatch() {
  mismatches+=("$1")
  echo "MISMATCH: $1"
}

# Compares the screenshot NAME.png with the capture tool's frame of the same name outside
# the given part of the frame-rate text. On a difference, says where and which colours,
# most frequent first.
compare_with_reference() {
  local name="$1" masked="$2" count
  count="$(differing_pixels "$run/$name.png" "$run/reference/$name.png" "$masked")"
  [[ "$count" == "0" ]] && return 0
  local box colours
  box="$(difference_box "$run/$name.png" "$run/reference/$name.png" "$masked")"
  colours="$(paste -d' ' <(convert "$run/mask-a.png" -crop "$box" -depth 8 txt:- | awk 'NR > 1 {print $3}') \
    <(convert "$run/mask-b.png" -crop "$box" -depth 8 txt:- | awk 'NR > 1 {print $3}') |
    awk '$1 != $2 {print "Wine " $1 " where ours has " $2}' | sort | uniq -c | sort -rn | head -n 5)"
  mismatch "$name.png differs from reference/$name.png in $count pixels within $box:
$colours"
}

# Holds the keys for the given seconds (a tap shorter than a frame would be missed by
# DirectInput's state polling).
hold() {
  local seconds="$1"
  shift
  xdotool keydown --delay 0 "$@" && sleep "$seconds" && xdotool keyup --delay 0 "$@"
}

# --- the run --------------------------------------------------------------------------

deadline=$((SECONDS + 60))
until desktop="$(xdotool search --name 'Wine desktop$' 2>/dev/null | head -n1)" && [[ -n "$desktop" ]]; do
  ((SECONDS < deadline)) || fail "no Wine desktop window within 60 s"
  kill -0 "$WINE_RUN_PID" 2>/dev/null || fail "the program ended before its desktop appeared"
  sleep 0.2
done

step "title menu"
# The set-up is done once its last line is out; the menu then stays put.
deadline=$((SECONDS + 30))
until grep -q '"DDLoadBitmap Character OK' "$run/stderr.txt"; do
  ((SECONDS < deadline)) || fail "the display set-up did not finish within 30 s"
  kill -0 "$WINE_RUN_PID" 2>/dev/null || fail "the program ended during the display set-up"
  sleep 0.2
done
await_settled title 20 "$fps_area" || fail "the title menu does not settle (title.png)"
compare_with_reference title "$fps_area"

step "the display's set-up lines"
debug_lines() {
  sed -n 's/.*:debugstr:OutputDebugStringA "\(.*\)\\n"$/\1/p' "$run/stderr.txt"
}
expected_lines="$(printf '%s\n' "DirectDrawCreateEx OK" "SetCooperativeLevel OK" "SetDisplayMode OK" \
  "CreateSurface OK" "GetAttachedSurface OK" "DDLoadPalette OK" "SetPalette OK" \
  "DDLoadBitmap BackImage OK" "DDLoadBitmap Strings OK" "DDLoadBitmap Menu OK" \
  "DDLoadBitmap Character OK")"
[[ "$(debug_lines)" == "$expected_lines" ]] ||
  fail "debug lines differ:$(diff <(echo "$expected_lines") <(debug_lines) | sed 's/^/\n  /')"
# Our platform's run of the same program writes the same lines.
ours="$(grep -v '\.png (' "$run/capture-title.log")"
[[ "$ours" == "$expected_lines" ]] ||
  mismatch "our platform's debug lines differ from Wine's:$(diff <(echo "$expected_lines") <(echo "$ours") | sed 's/^/\n  /')"

if ((!menu_only)); then
  step "Start: the first play frame"
  hold 0.3 a
  await_settled play 20 "$fps_area" || fail "the play field does not settle (play.png)"
  [[ "$(differing_pixels "$run/play.png" "$run/title.png" "$fps_area")" != "0" ]] ||
    fail "A on Start left the title menu on screen"
  compare_with_reference play "$fps_area"

  step "a held arrow moves the ship"
  hold 0.15 Up
  sleep 0.3
  shoot moved || fail "no screenshot"
  box="$(difference_box "$run/play.png" "$run/moved.png" "$fps_area")"
  # The ship leaves (100,100) upwards: old and new places lie in its column x 100..147,
  # and the new one above the old (its drawn rows are 14 to 29 of its 46); the orb stays.
  if [[ ! "$box" =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] ||
    ((BASH_REMATCH[1] == 0 || BASH_REMATCH[3] < 100 || BASH_REMATCH[3] + BASH_REMATCH[1] > 148 ||
      BASH_REMATCH[4] >= 114 || BASH_REMATCH[4] + BASH_REMATCH[2] > 146)); then
    fail "after Up the screen differs from the first play frame in $box, not where the ship moves up"
  fi

  step "contact with the orb brings the menu back"
  # From its column at y <= 100, Right and Down together reach the orb, which is found
  # as soon as the cells touch. Down held in the menu moves the cursor: its column is left
  # out until the keys are up.
  xdotool keydown --delay 0 Right Down
  contact=0
  await_screen contact "$run/title.png" 30 "$fps_area" "$cursor_area" && contact=1
  xdotool keyup --delay 0 Right Down
  ((contact)) || fail "no title menu within 30 s of holding Right and Down ($last_difference pixels differ)"
  # Back to Start with single Down presses, at least 200 ms apart (the menu's repeat delay).
  for attempt in 1 2 3 4 5 6; do
    sleep 0.3
    shoot menu || fail "no screenshot"
    [[ "$(differing_pixels "$run/menu.png" "$run/title.png" "$fps_area")" == "0" ]] && break
    ((attempt < 6)) || fail "the menu after contact differs from the title menu (menu.png)"
    hold 0.1 Down
  done
fi

step "Exit"
sleep 0.3
hold 0.1 Down
sleep 0.3
hold 0.1 Down
sleep 0.3
shoot exit || fail "no screenshot"
# Both frames show the frame-rate text by now (the capture after 1.3 s): its font is compared.
compare_with_reference exit "$fps_digits"
xdotool keydown a
status=""
deadline=$((SECONDS + 20))
while ((SECONDS < deadline)); do
  if ! kill -0 "$WINE_RUN_PID" 2>/dev/null; then
    wait "$WINE_RUN_PID"
    status=$?
    break
  fi
  sleep 0.2
done
xdotool keyup a
[[ -n "$status" ]] || { shoot exit; fail "the program did not end within 20 s of Exit (exit.png)"; }
[[ "$status" == "0" ]] || fail "exit code $status, not 0"
[[ "$(debug_lines)" == "$expected_lines" ]] || fail "debug lines after the set-up:$(debug_lines | tail -n +12)"

if ((${#mismatches[@]})); then
  echo "FAIL: ${#mismatches[@]} difference(s) between Wine and our platform (screenshots in $run):"
  printf '  %s\n' "${mismatches[@]}"
  exit 1
fi
step "passed ($shot_count screenshots)"
