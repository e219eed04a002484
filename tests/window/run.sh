#!/usr/bin/env bash
# The sheet in a real X window: a private Xvfb display, vireo on a fresh simulated node, and
# real input events from xdotool. It shows every page of page set 1, swaps to set 2 with "VI2"
# and shows every page of that set, writes Manual for pump Mp1 on the Pump page and finds it in
# the node's state file (the page marked in the list until Ctrl+S writes it; Escape before that
# asks about the edit, and Cancel keeps the sheet), saves a picture of the window and closes it
# with Escape.
#
# Usage: run.sh VIREO MODULE WORKDIR. Exits 77 (skipped) when Xvfb, xdotool or import is missing.
set -euo pipefail
vireo=$1
module=$2
work=$3
# Each page reads the node with the node's own pauses (a quarter second around every part
# selection): the run takes about half a minute, a minute on a busy machine. It fails past $limit
# seconds in all, or when one step (a page to show, a write to land) takes over $step seconds.
limit=150
step=20

for tool in Xvfb xdotool import; do
  if ! command -v "$tool" >/dev/null; then
    echo "skipped: $tool is not installed"
    exit 77
  fi
done

app=
xvfb=
fail() {
  echo "FAIL after ${SECONDS}s: $*" >&2
  if [ -n "${wid:-}" ]; then
    shot "$work/failure.png" || true
    echo "the window at that moment: $work/failure.png" >&2
  fi
  [ -s "$work/vireo.log" ] && sed 's/^/vireo: /' "$work/vireo.log" >&2
  exit 1
}
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  return 0
}
trap cleanup EXIT

# The X clients are bounded: import waits forever on a window that has gone.
shot() { timeout 5 import -window "$wid" "$@" 2>/dev/null; }
xdo() { timeout 5 xdotool "$@" || fail "xdotool $* failed"; }
running() { # a process that has not exited (an exited child that is not reaped yet is a zombie)
  local stat
  stat=$(ps -o stat= -p "$1" 2>/dev/null) || return 1
  [[ $stat != Z* ]]
}
check() { # between steps: vireo still runs and the run is within its time
  running "$app" || fail "vireo exited by itself"
  ((SECONDS < limit)) || fail "the run took over ${limit}s"
}
wait_for() { # wait_for WHAT COMMAND...: retry COMMAND every 0.1 s until it holds
  local what=$1 since=$SECONDS
  shift
  until "$@"; do
    check
    ((SECONDS - since < step)) || fail "waited over ${step}s for $what"
    sleep 0.1
  done
}

# A user of its own: home, data, state and runtime folders, registry; no write history.
rm -rf "$work"
mkdir -p "$work"/{home,config,data,state,runtime}
chmod 700 "$work/runtime"
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
export XDG_STATE_HOME=$work/state XDG_RUNTIME_DIR=$work/runtime
export VIREO_REGISTRY=$work/registry.reg VIREO_HISTORY=off QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY
"$vireo" register "$module" >/dev/null
state=$work/node.json
"$vireo" node new "$state" --name WinTest >/dev/null

# The captions of both page sets, as the sheet lists them (a session script shows them offscreen).
printf 'open\nexpect tabs\nclick 235\nexpect tabs\nclose\n' |
  QT_QPA_PLATFORM=offscreen "$vireo" script - >"$work/tabs.txt" 2>&1 || true
mapfile -t set1 < <(sed -n 's/^FAIL line 2: tabs are //p' "$work/tabs.txt" | xargs -n1)
mapfile -t set2 < <(sed -n 's/^FAIL line 4: tabs are //p' "$work/tabs.txt" | xargs -n1)
((${#set1[@]} > 1 && ${#set2[@]} > 1)) || fail "no page captions from the session script"
pump=-1
for i in "${!set1[@]}"; do [ "${set1[$i]}" = Pump ] && pump=$i; done
((pump > 0)) || fail "page set 1 has no Pump page"

# A display of our own: Xvfb picks a free number and writes it to the descriptor.
exec {displayfd}>"$work/display"
Xvfb -displayfd "$displayfd" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
exec {displayfd}>&-
until [ -s "$work/display" ]; do
  running "$xvfb" || { cat "$work/xvfb.log" >&2; fail "Xvfb did not start"; }
  ((SECONDS < 15)) || fail "Xvfb did not start in 15 s"
  sleep 0.1
done
DISPLAY=:$(head -n1 "$work/display")
export DISPLAY

"$vireo" --node "$state" >"$work/vireo.log" 2>&1 &
app=$!
wid=$(timeout 20 xdotool search --sync --onlyvisible --name '^WinTest - VI1' | head -n1) ||
  fail "no window titled 'WinTest - VI1'"
echo "window $wid on $DISPLAY after ${SECONDS}s"

# The page list at the window's left: at x=13 (inside its frame, left of the captions) its
# interior starts below the top frame line and ends with its last white pixel.
column() { # the grey level (red channel) of the window's pixels at x=$1, one line per y
  shot -crop "1x$2+$1+0" -depth 8 txt:- |
    sed -n 's/^[0-9]*,[0-9]*: (\([0-9]*\),.*/\1/p'
}
read -r list_top list_bottom < <(column 13 1000 | awk '
  NR == 1 { bg = $1 } $1 != bg && top == "" { top = NR; next }
  top != "" && $1 == 255 { bottom = NR - 1 }
  END { print top, bottom }')
[ -n "$list_top" ] || fail "no page list at the window's left"
# Its right edge (the list is as wide as its longest caption): the last white pixel of a row
# below the entries. The pages' controls are placed from there.
list_right=$(shot -crop "600x1+0+$((list_bottom - 5))" -depth 8 txt:- |
  sed -n 's/^\([0-9]*\),[0-9]*: (255,255,255).*/\1/p' | tail -n1)
[ -n "$list_right" ] || fail "no right edge of the page list"
page_click() { # page_click X Y: a click at X pixels right of the list's edge, Y below the top
  xdo mousemove --window "$wid" $((list_right + $1)) "$2" click 1
}
selected_row() { # the highlighted row's index, or -1: rows are as high as its highlight
  column 13 $((list_bottom + 1)) | awk -v top="$list_top" '
    NR - 1 < top { next }
    start == "" && $1 != 255 { start = NR - 1; next }
    start != "" && $1 == 255 { end = NR - 1; exit }
    END { if (start == "" || end == "") print -1; else print int((start - top) / (end - start) + 0.5) }'
}
row_is() { [ "$(selected_row)" = "$1" ]; }
focus_list() { xdo mousemove --window "$wid" 60 $((list_bottom - 10)) click 1; }

# Every page of the set in turn: the list gets the focus back (a page may take it), Down selects
# the next page, and the highlight moves only once the page has been built and shown.
visit_pages() { # visit_pages SET CAPTION...
  local set=$1 i
  shift
  local pages=("$@")
  xdo mousemove --window "$wid" 60 $((list_top + 3)) click 1
  wait_for "the first page" row_is 0
  for ((i = 1; i < ${#pages[@]}; ++i)); do
    focus_list
    xdo key Down
    wait_for "page $((i + 1)) (${pages[$i]})" row_is "$i"
    echo "  ${SECONDS}s: ${pages[$i]}"
  done
  echo "set $set: showed ${#pages[@]} pages after ${SECONDS}s"
}
visit_pages 1 "${set1[@]}"
set1_done=$SECONDS

# Pump page: choose Manual for Mp1 and write it. Mp1's mode word is NV 25 bytes 1-2 (high byte
# first): 00 00 Off on a fresh node, 00 01 Manual.
focus_list
xdo key Home
for ((i = 0; i < pump; ++i)); do
  focus_list
  xdo key Down
done
wait_for "the Pump page" row_is "$pump"
mode_word() { grep -o '"25": *"[^"]*"' "$state" | sed 's/.*"\(..\) \(..\) \(..\).*/\2 \3/'; }
[ "$(mode_word)" = "00 00" ] || fail "a fresh node's Mp1 mode word is $(mode_word), not 00 00"
dark() { # dark X Y: the window's pixel there is dark
  local level
  level=$(column "$1" $(($2 + 1)) | tail -n1)
  [ -n "$level" ] && ((level < 128))
}
# The page list as a picture, to see the Pump entry marked ("Pump *" in bold) and unmarked.
list_picture() { shot -crop "${list_right}x$((list_bottom - list_top))+0+${list_top}" -depth 8 txt:- | md5sum; }
list_is() { [ "$(list_picture)" = "$1" ]; }
list_is_not() { [ "$(list_picture)" != "$1" ]; }
page_click 400 400 # the page's empty space: the list keeps its selection without the focus
unmarked=$(list_picture)
# The page's controls sit where its layout puts them: the Manual radio (its indicator is dark
# once checked). Clicked, it marks the page in the list until written.
page_click 70 84
wait_for "the Manual radio to be checked" dark $((list_right + 36)) 84
wait_for "the Pump page marked in the list" list_is_not "$unmarked"
# Escape with an edit not written asks first; Cancel (Escape again) keeps the sheet open.
xdo key Escape
timeout "$step" xdotool search --sync --onlyvisible --name '^Edits not written$' >/dev/null ||
  fail "no prompt about edits not written after Escape"
xdo key Escape
prompt_gone() { ! xdotool search --onlyvisible --name '^Edits not written$' >/dev/null; }
wait_for "the prompt to close on Cancel" prompt_gone
check
# Ctrl+S writes the page, and the mark goes (a click gives the window the keyboard again: Xvfb
# runs no window manager to give it back after the prompt).
page_click 400 400
xdo key ctrl+s
manual_written() { [ "$(mode_word)" = "00 01" ]; }
wait_for "Manual (00 01) in NV 25 of the state file" manual_written
wait_for "the Pump page's mark to go" list_is "$unmarked"
echo "Pump: Manual written with Ctrl+S after ${SECONDS}s, its mark gone"

# Node Information: "VI2" swaps to page set 2, which the title names.
focus_list
xdo key Home
wait_for "Node Information" row_is 0
page_click 142 99
timeout "$step" xdotool search --sync --onlyvisible --name '^WinTest - VI2' >/dev/null ||
  fail "no window titled 'WinTest - VI2' after VI2"
visit_pages 2 "${set2[@]}"

shot "$work/window.png" || fail "no screenshot"
echo "screenshot: $work/window.png"

# Escape cancels the sheet; vireo ends with status 0.
focus_list
xdo key Escape
for _ in $(seq 100); do running "$app" || break; sleep 0.1; done
running "$app" && fail "vireo still runs 10 s after Escape"
status=0
wait "$app" || status=$?
app=
((status == 0)) || fail "vireo exited with status $status"
echo "passed in ${SECONDS}s (set 1 shown by ${set1_done}s)"
