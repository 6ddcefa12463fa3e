#!/usr/bin/env bash
# The Windows zip, made by CPack from the cross build as scripts/package makes it: exactly
# the static program, the README and the licence in one folder; the program carries the
# icon (every size of assets/icons/orvendal.ico) and the project's version as resources;
# and, unpacked, it runs under Wine to the title menu and ends on Exit with exit code 0
# (the Wine test's own run, title menu and Exit only).
#   windows_zip.sh SOURCE_DIR WORK_DIR CAPTURE_TOOL VERSION WINE_PREFIX
set -uo pipefail
source_dir="$1"
work="$2"
capture_tool="$3"
version="$4"
prefix="$5"
here="$(cd "$(dirname "$0")" && pwd)"

fail() {
  echo "FAIL: $*"
  exit 1
}
for tool in cmake cpack x86_64-w64-mingw32-g++ x86_64-w64-mingw32-objdump strings python3; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/test installs it)"
done
rm -rf "$work/cpack" "$work/unpacked"
mkdir -p "$work"

echo "== building the Windows program and its zip"
(cd "$source_dir" && cmake --preset windows >"$work/configure.log" 2>&1) ||
  { cat "$work/configure.log"; fail "configuring the Windows build failed"; }
(cd "$source_dir" && cmake --build --preset windows -j2 >"$work/build.log" 2>&1) ||
  { tail -n 40 "$work/build.log"; fail "building the Windows program failed"; }
cpack --config "$source_dir/build/windows/CPackConfig.cmake" -G ZIP -B "$work/cpack" \
  >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack failed"; }
folder="orvendal-$version-windows-x86_64"
zip="$work/cpack/$folder.zip"
[[ -f "$zip" ]] || fail "cpack made no $folder.zip: $(ls "$work/cpack")"

echo "== contents"
listed="$(cmake -E tar tf "$zip" | grep -v '/$' | sort)"
expected="$(printf '%s\n' "$folder/LICENSE.txt" "$folder/README.md" "$folder/orvendal.exe")"
[[ "$listed" == "$expected" ]] ||
  fail "the zip holds:$(diff <(echo "$expected") <(echo "$listed") | sed 's/^/\n  /')"
mkdir -p "$work/unpacked"
(cd "$work/unpacked" && cmake -E tar xf "$zip") || fail "the zip does not unpack"
exe="$work/unpacked/$folder/orvendal.exe"
cmp -s "$work/unpacked/$folder/LICENSE.txt" "$source_dir/LICENSE" || fail "LICENSE.txt is not the licence"
cmp -s "$work/unpacked/$folder/README.md" "$source_dir/README.md" || fail "README.md is not the README"
# Static: nothing but Windows' own libraries.
imports="$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\tDLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)"
for dll in $imports; do
  case "$dll" in
    kernel32.dll | user32.dll | gdi32.dll | ddraw.dll | dinput.dll | msvcrt.dll | advapi32.dll | \
      api-ms-win-*) ;;
    *) fail "the program needs $dll" ;;
  esac
done

echo "== icon and version resources"
# The sizes of the program's RT_ICON images (type 3), in the order of their ids, against
# the images of the icon file.
x86_64-w64-mingw32-objdump -p "$exe" >"$work/resources.txt"
# Prints the sizes of the leaves below the resource type given as objdump writes it.
leaf_sizes() {
  awk -v wanted="$1" '/^0[0-9a-f]+   Entry: ID: / {type = $4}
    type == wanted && /Leaf: Addr:/ {sub(",", "", $6); print $6}' "$work/resources.txt" |
    while read -r size; do echo $((size)); done
}
icon_sizes="$(leaf_sizes 0x000003,)"
group_sizes="$(leaf_sizes 0x00000e,)"
ico_sizes="$(python3 -c '
import struct, sys
data = open(sys.argv[1], "rb").read()
count = struct.unpack_from("<H", data, 4)[0]
for i in range(count):
    print(struct.unpack_from("<I", data, 6 + 16 * i + 8)[0])
' "$source_dir/assets/icons/orvendal.ico")"
[[ -n "$icon_sizes" && "$icon_sizes" == "$ico_sizes" ]] ||
  fail "the program's icon images ($(echo $icon_sizes)) are not the icon file's ($(echo $ico_sizes))"
# One icon group of six entries: 6 bytes of header and 14 per entry.
[[ "$group_sizes" == "$((6 + 14 * 6))" ]] || fail "the icon group is '$group_sizes' bytes, not one of six entries"
grep -q '^0[0-9a-f]*   Entry: ID: 0x000010,' "$work/resources.txt" || fail "no version resource"
for name in FileVersion ProductVersion; do
  value="$(strings -el "$exe" | grep -A1 -x "$name" | tail -n1)"
  [[ "$value" == "$version" ]] || fail "$name is '$value', not '$version'"
done

echo "== under Wine"
"$source_dir/tests/windows/wine_e2e/wine_e2e.sh" "$source_dir" "$work/wine" "$capture_tool" \
  --exe "$exe" --prefix "$prefix" --menu-only || fail "the zip's program under Wine"
echo "PASS"
