#!/usr/bin/env bash
# The Debian package, made by CPack from this build tree as scripts/package makes it:
# - its control fields (name, version, architecture, games, dependencies computed by
#   dpkg-shlibdeps) and its exact list of files;
# - lintian finds no error; the desktop entry and the manual page are valid;
# - apt would install it here (simulated);
# - installed with dpkg into a throwaway root, the program started by the desktop entry's
#   command from there shows the title menu on Xvfb and Exit ends it with exit code 0;
# - removed again, it leaves nothing behind.
#   debian_package.sh BUILD_DIR VERSION CAPTURE_TOOL SCREEN_COMPARE
set -euo pipefail
build="$1"
version="$2"
capture="$3"
compare="$4"
here="$(cd "$(dirname "$0")" && pwd)"

source "$here/../../support/x_desktop.sh"
require_tools cpack dpkg dpkg-deb dpkg-shlibdeps file lintian desktop-file-validate apt-get \
  man Xvfb jwm xdotool xprop xwininfo import convert

failures=0
problem() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
step() { echo "== $*"; }

step "making the package"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/cpack" >"$work/cpack.log" 2>&1 ||
  fail "cpack failed"
# amd64 on the machines the packages are made on.
architecture="$(dpkg --print-architecture)"
deb="$work/cpack/orvendal_${version}_${architecture}.deb"
[[ -f "$deb" ]] || fail "cpack made no $(basename "$deb"): $(ls "$work/cpack")"

step "control fields"
field() { dpkg-deb --field "$deb" "$1"; }
for expected in "Package=orvendal" "Version=$version" "Architecture=$architecture" "Section=games" \
  "Priority=optional"; do
  name="${expected%%=*}"
  [[ "$(field "$name")" == "${expected#*=}" ]] || problem "$name is '$(field "$name")', not '${expected#*=}'"
done
[[ -n "$(field Maintainer)" ]] || problem "no Maintainer"
[[ "$(field Description | head -n1)" == "small arcade game: steer a ship over a star field" ]] ||
  problem "Description begins '$(field Description | head -n1)'"
# The dependencies are what dpkg-shlibdeps finds for the program, SDL among them.
depends="$(field Depends)"
mkdir -p "$work/extracted"
dpkg-deb -x "$deb" "$work/extracted"
mkdir -p "$work/shlibdeps/debian"
: >"$work/shlibdeps/debian/control"
computed="$(cd "$work/shlibdeps" && dpkg-shlibdeps -O "$work/extracted/usr/games/orvendal" 2>/dev/null |
  sed -n 's/^shlibs:Depends=//p')"
[[ -n "$computed" && "$depends" == "$computed" ]] ||
  problem "Depends is '$depends'; dpkg-shlibdeps computes '$computed'"
[[ "$depends" == *"libsdl2-2.0-0 (>= "* && "$depends" == *"libc6 (>= "* ]] ||
  problem "Depends lacks SDL or the C library: $depends"

step "contents"
expected_files="./usr/games/orvendal
./usr/share/applications/orvendal.desktop
./usr/share/doc/orvendal/README.md
./usr/share/doc/orvendal/changelog.gz
./usr/share/doc/orvendal/copyright
./usr/share/icons/hicolor/128x128/apps/orvendal.png
./usr/share/icons/hicolor/16x16/apps/orvendal.png
./usr/share/icons/hicolor/256x256/apps/orvendal.png
./usr/share/icons/hicolor/32x32/apps/orvendal.png
./usr/share/icons/hicolor/48x48/apps/orvendal.png
./usr/share/icons/hicolor/64x64/apps/orvendal.png
./usr/share/man/man6/orvendal.6.gz"
files="$(dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ {print $6}' | sort)"
[[ "$files" == "$expected_files" ]] ||
  problem "the package's files differ:$(diff <(echo "$expected_files") <(echo "$files") | sed 's/^/\n  /')"
program_entry="$(dpkg-deb --contents "$deb" | awk '$6 == "./usr/games/orvendal" {print $1, $2}')"
[[ "$program_entry" == "-rwxr-xr-x root/root" ]] || problem "the program is '$program_entry'"
for size in 16 32 48 64 128 256; do
  got="$(identify -format '%wx%h' "$work/extracted/usr/share/icons/hicolor/${size}x${size}/apps/orvendal.png" 2>&1)"
  [[ "$got" == "${size}x${size}" ]] || problem "the ${size}x${size} icon is $got"
done
"$work/extracted/usr/games/orvendal" --version >"$work/version.txt" 2>&1 || true
[[ "$(cat "$work/version.txt")" == "orvendal $version" ]] ||
  problem "the packaged program's --version says '$(cat "$work/version.txt")'"

changelog_top="$(zcat "$work/extracted/usr/share/doc/orvendal/changelog.gz" | head -n1)"
[[ "$changelog_top" == "orvendal ($version) "* ]] ||
  problem "the changelog's latest entry is '$changelog_top', not for $version"

step "lintian, desktop entry, manual page"
lintian --fail-on error --display-level ">=warning" "$deb" >"$work/lintian.log" 2>&1 ||
  problem "lintian: $(grep -v 'root privileges' "$work/lintian.log")"
grep -v 'root privileges' "$work/lintian.log" || true
desktop-file-validate "$work/extracted/usr/share/applications/orvendal.desktop" >"$work/desktop.log" 2>&1 ||
  problem "desktop-file-validate: $(cat "$work/desktop.log")"
man_warnings="$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z \
  "$work/extracted/usr/share/man/man6/orvendal.6.gz" 2>&1 >/dev/null)"
[[ -z "$man_warnings" ]] || problem "the manual page: $man_warnings"

step "apt would install it"
apt-get -s -q -o Debug::NoLocking=1 install "$deb" >"$work/apt.log" 2>&1 ||
  problem "apt-get -s install: $(tail -n 5 "$work/apt.log")"
grep -q "^Inst orvendal " "$work/apt.log" || problem "apt would not install orvendal: $(tail -n 5 "$work/apt.log")"

step "installed into a throwaway root"
root="$work/root"
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/var/lib/dpkg/triggers"
: >"$root/var/lib/dpkg/status"
: >"$root/var/lib/dpkg/available"
# The root's package database is empty: its dependencies are this machine's.
dpkg_root() { dpkg --root="$root" --force-not-root --log=/dev/null "$@"; }
dpkg_root --force-depends -i "$deb" >"$work/dpkg-install.log" 2>&1 || fail "dpkg -i into $root failed"
installed="$(cd "$root" && find . -path ./var -prune -o -type f -print | sort)"
[[ "$installed" == "$expected_files" ]] ||
  problem "installed files differ:$(diff <(echo "$expected_files") <(echo "$installed") | sed 's/^/\n  /')"

# The desktop entry's command, found on a PATH with the root's games folder, as a
# desktop finds it in /usr/games.
command="$(sed -n 's/^Exec=//p' "$root/usr/share/applications/orvendal.desktop")"
[[ "$command" == "orvendal" ]] || problem "the desktop entry runs '$command'"
resolved="$(PATH="$root/usr/games:/usr/bin:/bin" command -v "$command")"
[[ "$resolved" == "$root/usr/games/orvendal" ]] || fail "'$command' is not found in the root: $resolved"

"$capture" --script "$here/title.capture" --out "$work" >"$work/capture.log" 2>&1 ||
  fail "the capture tool failed"
convert "$work/title.png" -depth 8 "rgb:$work/title.rgb"
start_desktop 1280x960
env -u ORVENDAL_VERBOSE PATH="$root/usr/games:/usr/bin:/bin" "$command" >"$work/game.log" 2>&1 &
game_pid=$!
pids+=("$game_pid")
window="$(timeout 10 xdotool search --sync --onlyvisible --name '^FullScreen Orvendal$' | head -n1)" ||
  fail "the installed program opened no window"
# Full screen on 1280x960: the frame twice its size at 0,0, the title menu on it.
shown=0
for attempt in $(seq 1 30); do
  import -window root "$work/screen.png"
  convert "$work/screen.png" -depth 8 "rgb:$work/screen.rgb"
  if "$compare" same "$work/screen.rgb" 1280 960 "$work/title.rgb" 2 0 0 2>"$work/compare.log"; then
    shown=1
    break
  fi
  sleep 0.2
done
((shown)) || problem "the installed program does not show the title menu (screen.png)"
# Exit: Down, Down, A, each press shorter than the menu's 200 ms repeat delay.
for key in Down Down a; do
  xdotool keydown "$key"
  sleep 0.08
  xdotool keyup "$key"
  sleep 0.4
done
wait_for 5 sh -c "! kill -0 $game_pid 2>/dev/null" || fail "Exit did not end the installed program"
status=0
wait "$game_pid" || status=$?
[[ "$status" == 0 ]] || problem "the installed program ended with exit code $status"
stop_desktop

step "removed"
dpkg_root --purge orvendal >"$work/dpkg-remove.log" 2>&1 || fail "dpkg --purge failed"
left="$(cd "$root" && find . -mindepth 1 -path ./var -prune -o -print)"
[[ -z "$left" ]] || problem "left behind after removal:$(echo "$left" | sed 's/^/\n  /')"
dpkg_root -s orvendal >/dev/null 2>&1 && problem "the package is still known after --purge"

((failures == 0)) || fail "$failures problem(s)"
echo "PASS"
