#!/usr/bin/env bash
# End-to-end checks of the SDL platform on the real back-end pair, on a private Xvfb that picks a
# free display number itself, so parallel runs never collide. A missing X server or a video
# driver other than x11 is a failure, never a skip.
# Usage: sdl_e2e.sh PROBE CLOSER CASE, CASE one of: window refuse fullscreen stress hello software
set -euo pipefail
. "$(dirname "$0")/../../../tools/private-x.sh"
probe=$1 closer=$2 case=$3
export DBUS_SESSION_BUS_ADDRESS=disabled:
readonly fill='#00A0FF' black='#000000' # the probe's screen colour, the letterbox bars
work=$(mktemp -d)
app='' xserver='' wid=''

cleanup() {
  if [ -n "$app" ]; then
    kill -KILL "$app" 2>/dev/null || true
    wait "$app" 2>/dev/null || true
  fi
  stop_private_x
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL ($case): $*"
  if [ -s "$work/log" ]; then sed 's/^/  probe| /' "$work/log"; fi
  exit 1
}

start_x() { # WIDTHxHEIGHT [more Xvfb arguments]
  start_private_x "$work" "$1x24" "${@:2}" || fail "no X server"
}

start_app() { # probe arguments...
  : >"$work/log" # emptied here: the child's own redirection may come too late for the reader
  "$probe" "$@" >>"$work/log" 2>&1 &
  app=$!
}

wait_for_line() { # extended regex, seconds
  local deadline=$((SECONDS + ${2:-15}))
  until grep -qE "$1" "$work/log"; do
    kill -0 "$app" 2>/dev/null || { grep -qE "$1" "$work/log" || fail "probe ended before '$1'"; }
    [ $SECONDS -lt $deadline ] || fail "no line matching '$1'"
    sleep 0.05
  done
}

line_number() { grep -nE "$1" "$work/log" | head -1 | cut -d: -f1; }

expect_x11_driver() {
  wait_for_line '^driver ' 30
  grep -qx 'driver x11' "$work/log" || fail "video driver is not x11"
}

# The window shows up once its title carries the frame rate, which the first frame sets.
find_window() {
  wid=$(timeout -s KILL 20 xdotool search --sync --name ' - FPS: ' | head -1) || true
  [ -n "$wid" ] || fail "no window titled ' - FPS: '"
}

expect_exit_ok() {
  local deadline=$((SECONDS + 20)) status=0
  while kill -0 "$app" 2>/dev/null; do
    [ $SECONDS -lt $deadline ] || fail "probe did not exit"
    sleep 0.05
  done
  wait "$app" || status=$?
  app=''
  [ "$status" -eq 0 ] || fail "probe exited with status $status"
}

geometry() { # prints "x y width height" of the window on the root
  xwininfo -id "$wid" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
    /Width:/ {w=$NF} /Height:/ {h=$NF} END {print x, y, w, h}'
}

expect_geometry() { # x y width height
  local got
  got=$(geometry)
  [ "$got" = "$*" ] || fail "window geometry is '$got', expected '$*'"
}

pixel() { # x y: the colour of one pixel of the last screenshot, as #RRGGBB
  /usr/bin/convert "$work/shot.png" -crop "1x1+$1+$2" -depth 8 txt:- | grep -o '#[0-9A-F]\{6\}' | head -1
}

# Takes screenshots until every "x y colour what" check holds, for a few seconds: a frame with a
# new viewport takes a moment to reach the screen.
expect_screen() {
  local deadline=$((SECONDS + 5)) check x y colour what got
  while true; do
    /usr/bin/import -window root "$work/shot.png" || fail "no screenshot"
    local wrong=''
    for check in "$@"; do
      read -r x y colour what <<<"$check"
      got=$(pixel "$x" "$y")
      if [ "$got" != "$colour" ]; then
        wrong="$what: pixel ($x, $y) is $got, expected $colour"
        break
      fi
    done
    [ -z "$wrong" ] && return 0
    [ $SECONDS -lt $deadline ] || fail "$wrong"
    sleep 0.2
  done
}

close_window() { "$closer" "$wid" || fail "could not send the close request"; }

case_window() {
  start_x 1024x768
  start_app
  expect_x11_driver
  find_window
  expect_geometry 30 30 400 300
  wait_for_line '^window 400 300 view 0 0 400 300$'

  # Without a window manager the focus follows the pointer.
  xdotool mousemove --window "$wid" 100 50
  wait_for_line '^mouse 50 25$'
  xdotool keydown space
  wait_for_line '^key Space held$'
  xdotool keyup space
  wait_for_line '^key Space released$'
  local pressed held released
  pressed=$(line_number '^key Space pressed$')
  held=$(line_number '^key Space held$')
  released=$(line_number '^key Space released$')
  [ -n "$pressed" ] && [ "$pressed" -lt "$held" ] && [ "$held" -lt "$released" ] ||
    fail "key states out of order (pressed $pressed, held $held, released $released)"

  expect_screen "31 31 $fill view's top left" "429 329 $fill view's bottom right" \
    "29 29 $black outside the window"

  # A wider window letterboxes: a 400 x 300 view centred at x 100, black bars either side.
  xdotool windowsize "$wid" 600 300
  wait_for_line '^window 600 300 view 100 0 400 300$'
  xdotool mousemove --window "$wid" 300 150
  wait_for_line '^mouse 100 75$'
  xdotool mousemove --window "$wid" 50 150 # over the left bar: clamped to the screen's edge
  wait_for_line '^mouse 0 75$'
  expect_screen "$((30 + 99)) 180 $black left bar" "$((30 + 100)) 180 $fill view's left edge" \
    "$((30 + 499)) 180 $fill view's right edge" "$((30 + 500)) 180 $black right bar"

  close_window
  wait_for_line '^destroy 1$'
  expect_exit_ok
}

case_refuse() {
  start_x 1024x768
  start_app --refuse 1
  expect_x11_driver
  find_window
  close_window
  wait_for_line '^refused$'
  # Still there, and frames still run: they pick up a new mouse position.
  xdotool mousemove --window "$wid" 20 20
  wait_for_line '^mouse 10 10$'
  kill -0 "$app" 2>/dev/null || fail "probe ended although OnDestroy refused"
  xwininfo -id "$wid" >/dev/null 2>&1 || fail "window gone although OnDestroy refused"
  close_window
  wait_for_line '^destroy 2$'
  expect_exit_ok
}

case_fullscreen() {
  # A 16:9 screen: the 4:3 view is 960 x 720, centred at x 160.
  start_x 1280x720
  start_app --fullscreen
  expect_x11_driver
  find_window
  expect_geometry 0 0 1280 720
  wait_for_line '^window 1280 720 view 160 0 960 720$'
  expect_screen "159 360 $black left bar" "160 0 $fill view's top left" \
    "1119 719 $fill view's bottom right" "1120 360 $black right bar"
  close_window
  expect_exit_ok
}

case_stress() {
  start_x 1024x768
  local round
  for round in $(seq 30); do
    case="stress, round $round"
    start_app
    expect_x11_driver
    find_window
    close_window
    expect_exit_ok
  done
}

# An X server without GLX: no GL window or context can be made, and the window shows the software
# renderer's frames instead, letterboxed the same way.
case_software() {
  start_x 1024x768 -extension GLX
  start_app
  expect_x11_driver
  find_window
  expect_geometry 30 30 400 300
  expect_screen "31 31 $fill view's top left" "429 329 $fill view's bottom right"
  xdotool windowsize "$wid" 600 300
  wait_for_line '^window 600 300 view 100 0 400 300$'
  expect_screen "$((30 + 99)) 180 $black left bar" "$((30 + 100)) 180 $fill view's left edge" \
    "$((30 + 499)) 180 $fill view's right edge" "$((30 + 500)) 180 $black right bar"
  close_window
  wait_for_line '^destroy 1$'
  expect_exit_ok
}

# The example application (given as PROBE) ends on Escape.
case_hello() {
  start_x 1024x768
  start_app
  find_window
  # Held for a while, as a person presses it.
  xdotool mousemove --window "$wid" 10 10 keydown Escape sleep 0.5 keyup Escape
  expect_exit_ok
}

"case_$case"
echo "PASS ($case)"
