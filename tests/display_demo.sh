#!/usr/bin/env bash
# tools/demo in a build tree of its own, with a stand-in for the panel: the display's link
# must be there when the panel starts, an update written to it must reach the display, and
# the display must be gone with its link once the panel has exited.
#   display_demo.sh TOOLS_DEMO TALLYMARK_DISPLAY CONTROL_PLACE
set -euo pipefail

fail() {
  echo "FAIL: $*" >&2
  echo "--- demo output:" >&2
  cat "$work/out.txt" "$work/err.txt" >&2 || true
  exit 1
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/tools" "$work/build/display" "$work/build/ui/ports" "$work/build/tools"
cp "$1" "$work/tools/demo"
cp "$2" "$work/build/display/tallymark-display"
cp "$3" "$work/build/tools/control-place"

# COM32 is taken by a real device; COM31 is a link left by a killed display, free again.
ln -s /dev/null "$work/build/ui/ports/COM32"
ln -s /nonexistent/pts/99 "$work/build/ui/ports/COM31"

cat > "$work/build/ui/tallymark" <<'PANEL'
#!/usr/bin/env bash
# Stand-in for the panel: one update through the port the scan would pick, then exit 3.
cd "$(dirname "$0")"
[ -e ports/COM31 ] || { echo "panel: no display at COM31 when the panel started" >&2; exit 10; }
# The display's command line, for its place on the screen.
for pid in $(pgrep -P "$PPID" -f tallymark-display); do tr '\0' ' ' < "/proc/$pid/cmdline"; done > ../display-args.txt
printf 'Hello\x09\x45\x13\x01\x6D\x00\x87\x00\x13\x00' > ports/COM31
sleep 0.5
exit 3
PANEL
chmod +x "$work/build/ui/tallymark"

cd "$work"
status=0
QT_QPA_PLATFORM=offscreen timeout 60 tools/demo build --log > out.txt 2> err.txt || status=$?

[ "$status" -eq 3 ] || fail "the demo should end with the panel's status 3, not $status"
grep -q '^ready port=COM31 ' out.txt || fail "the display did not take COM31"
grep -q '^update time=13:45:09 count=365 direction=down brightness=8 code=0 work=on start=07:00 end=19:00 ' out.txt \
  || fail "the update did not reach the display"
grep -q -- '-qwindowgeometry +565+55 ' build/display-args.txt \
  || fail "the display is not placed right of the panel (36+521+8, 55): $(cat build/display-args.txt)"
[ ! -L build/ui/ports/COM31 ] || fail "the display's link is left behind"
[ "$(readlink build/ui/ports/COM32)" = /dev/null ] || fail "the taken port was touched"
echo "PASS: tools/demo"
