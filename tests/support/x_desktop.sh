# A private X desktop for the real-window tests and measurements: Xvfb on a free display
# with the jwm window manager. Source this file; it makes a temporary folder $work, removed
# on exit together with every process listed in $pids. A script may define
# before_cleanup() to keep something from $work first.
#   require_tools TOOL...        exits 77 (skipped) when one is missing
#   start_desktop WIDTHxHEIGHT   sets DISPLAY and desktop_server_pid
#   stop_desktop                 ends every process started so far
#   wait_for SECONDS COMMAND...  waits for the command to succeed
#   fail MESSAGE                 prints the logs in $work and exits 1

require_tools() {
  local tool
  for tool in "$@"; do
    if ! command -v "$tool" >/dev/null; then
      echo "SKIP: $tool is not installed"
      exit 77
    fi
  done
}

work="$(mktemp -d)"
pids=()

stop_desktop() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  pids=()
}

x_desktop_cleanup() {
  stop_desktop
  if [[ "$(type -t before_cleanup)" == function ]]; then before_cleanup; fi
  rm -rf "$work"
}
trap x_desktop_cleanup EXIT

fail() {
  echo "FAIL: $*"
  local log
  for log in "$work"/*.log; do
    [[ -e "$log" ]] && { echo "--- $log"; cat "$log"; }
  done
  exit 1
}

wait_for() {
  local seconds="$1"
  shift
  local tries=$((seconds * 10))
  until "$@" >/dev/null 2>&1; do
    tries=$((tries - 1))
    ((tries > 0)) || return 1
    sleep 0.1
  done
}

start_desktop() {
  local size="$1"
  : >"$work/display"
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$work/display" \
    >"$work/xvfb.log" 2>&1 &
  desktop_server_pid=$!
  pids+=("$desktop_server_pid")
  wait_for 10 grep -q . "$work/display" || fail "Xvfb did not start"
  export DISPLAY=":$(head -n1 "$work/display")"
  jwm >"$work/jwm.log" 2>&1 &
  pids+=($!)
  wait_for 15 sh -c "xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'" ||
    fail "jwm did not take the screen"
}
