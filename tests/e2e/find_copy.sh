#!/usr/bin/env bash
# End-to-end: uses Morbivue.exe as a person would, from outside, in a private Xvfb and Wine
# prefix. Clicks the "Find" tab, types cholera, presses Enter, clicks the first hit, copies the
# page with the viewer's "Copy all text" and checks the clipboard holds that page's text; then
# does the same with the keys alone (Ctrl+F, Enter, Down, Enter, then Alt+Left back); then
# closes the window and checks the exit code is 0.
# Usage: tests/e2e/find_copy.sh [Morbivue.exe] [morbivue-cli]   (exit 0 = passed)
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
exe=$(realpath "${1:-$root/build/win64/ui/Morbivue.exe}")
cli=${2:-$root/build/host/tools/morbivue-cli}
word=cholera
. "$root/scripts/lib.sh"

shots=${E2E_SHOT_DIR:-}   # set to a folder to keep a screenshot of each step
shot() { [ -n "$shots" ] && import -window root "$shots/$1.png" 2>/dev/null; return 0; }
fail() { shot failure; echo "e2e: FAILED: $*" >&2; exit 1; }
[ -f "$exe" ] || fail "no program at $exe"

app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
  wine_session_stop
}
trap cleanup EXIT
wine_session_start

# The expected page: the first hit's record as the console tool composes it.
expected=""
if [ -x "$cli" ]; then
  code=$("$cli" search "$word" | head -n 1 | cut -f 1)
  [ -n "$code" ] || fail "the console tool finds no hit for $word"
  expected=$("$cli" page "$code")
fi

/usr/lib/wine/wine64 "$exe" &
app_pid=$!
win=""
for _ in $(seq 300); do
  win=$(xdotool search --name '^Morbivue$' 2>/dev/null | head -n 1) && [ -n "$win" ] && break
  sleep 0.1
done
[ -n "$win" ] || fail "the Morbivue window did not appear"
eval "$(xdotool getwindowgeometry --shell "$win")"   # X, Y of the window's frame

# Client area below Wine's own caption (no window manager): frame 4 px, caption 19 px.
cx=$((X + 4)); cy=$((Y + 23))
# The X window exists before the records are loaded; wait until the tree pane is painted.
pixel() { import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null | tail -n 1; }
for _ in $(seq 150); do
  case "$(pixel $((cx + 300)) $((cy + 400)))" in *'#000000'*|'') sleep 0.2 ;; *) break ;; esac
done
sleep 0.5
click() { xdotool mousemove "$((cx + $1))" "$((cy + $2))" click "${3:-1}"; sleep 0.4; }

shot 1-started
click 88 13                              # the "Find" tab, right of "ICD-10"
xdotool type --delay 30 "$word"
xdotool key Return
sleep 1
shot 2-searched
click 60 56                              # first row of the hit list (one click opens it)
sleep 0.5
shot 3-page
click 800 200 3                          # right button in the viewer: its menu
sleep 0.8
shot 4-menu
click 830 227                            # its second item, "Copy all text" (items 15 px high)
got=""
for _ in $(seq 50); do
  # A terminating NUL may come along; any other byte after the text is garbage and must fail.
  got=$(xclip -o -selection clipboard 2>/dev/null | tr -d '\r\000')
  [ -n "$got" ] && break
  sleep 0.1
done
[ -n "$got" ] || fail "the clipboard stayed empty after \"Copy all text\""
if [ -n "$shots" ]; then
  xclip -o -selection clipboard -t TARGETS >"$shots/targets.txt" 2>&1
  xclip -o -selection clipboard >"$shots/clipboard.bin" 2>&1
fi
if [ -n "$expected" ]; then
  if [ "$got" != "$expected" ]; then
    diff <(printf '%s\n' "$expected") <(printf '%s\n' "$got") | head -n 20 >&2
    fail "the clipboard does not hold the page of $code"
  fi
else
  case "$got" in
    *[Cc]holera*) ;;
    *) fail "the clipboard does not hold a $word page: $(printf '%s' "$got" | head -c 200)" ;;
  esac
fi

# The same without the mouse: Ctrl+F, a second word, Enter, Down and Enter in the hit list open
# its first hit; Alt+Left goes back to the page above. Each page is read back by selecting it all
# (Ctrl+A) and copying it with the viewer's own Ctrl+C.
word2=typhoid
clip_heading() {  # the first line of the clipboard once it differs from $1
  local line=""
  for _ in $(seq 50); do
    line=$(xclip -o -selection clipboard 2>/dev/null | tr -d '\r\000' | head -n 1)
    [ -n "$line" ] && [ "$line" != "$1" ] && break
    sleep 0.1
  done
  printf '%s' "$line"
}
copy_page() { xdotool key ctrl+a; sleep 0.2; xdotool key ctrl+c; sleep 0.3; }
first=$(printf '%s\n' "$got" | head -n 1)
xdotool key ctrl+f
sleep 0.4
xdotool type --delay 30 "$word2"
xdotool key Return
sleep 1
xdotool key Down
sleep 0.3
xdotool key Return
sleep 0.8
shot 5-keys-page
copy_page
second=$(clip_heading "$first")
if [ -x "$cli" ]; then
  code2=$("$cli" search "$word2" | head -n 1 | cut -f 1)
  want2=$("$cli" page "$code2" | head -n 1)
  [ "$second" = "$want2" ] || fail "Ctrl+F, $word2, Enter, Down, Enter: the page reads \"$second\", not \"$want2\""
else
  case "$second" in *[Tt]yphoid*) ;; *) fail "no $word2 page after the keys: \"$second\"" ;; esac
fi
xdotool key alt+Left
sleep 0.8
shot 6-back
copy_page                                # the keys work after Alt+Left too (no menu mode)
back=$(clip_heading "$second")
[ "$back" = "$first" ] || fail "Alt+Left: the page reads \"$back\", not \"$first\""

# The Index tab by keyboard: Ctrl+Tab from "Find" to "Index", a word, Enter (the focus goes to the
# list), Down and Enter open the first entry's page.
word3=aspirin
xdotool key ctrl+Tab
sleep 0.6
xdotool type --delay 30 "$word3"
xdotool key Return
sleep 1
xdotool key Down
sleep 0.3
xdotool key Return
sleep 0.8
shot 7-index-keys
copy_page
third=$(clip_heading "$back")
if [ -x "$cli" ]; then
  want3=$("$cli" index "$word3" | head -n 1 | cut -f 2)
  [ "$third" = "$want3" ] || fail "Ctrl+Tab, $word3, Enter, Down, Enter: the page reads \"$third\", not \"$want3\""
else
  case "$third" in *[Aa]spirin*) ;; *) fail "no $word3 entry after the keys: \"$third\"" ;; esac
fi

xdotool key --window "$win" alt+F4 2>/dev/null   # the window may be gone before the key-up
rc=""
for _ in $(seq 100); do
  if ! kill -0 "$app_pid" 2>/dev/null; then wait "$app_pid"; rc=$?; break; fi
  sleep 0.1
done
[ -n "$rc" ] || fail "the program did not end after its window was closed"
app_pid=""
[ "$rc" -eq 0 ] || fail "exit code $rc"
echo "e2e: passed (page ${code:-?} copied, exit code 0)"
