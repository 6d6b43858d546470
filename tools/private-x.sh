# The one private X server launcher, sourced by every script that needs a display of its own
# (tools/with-xvfb, which the Python and C++ test helpers run in turn, the screenshot and benchmark
# tools, the end-to-end tests). Xvfb picks a free display number itself and reports it on a pipe
# (-displayfd), so parallel runs, nested ones included, never share or fight over a display.
# Needs: bash and Xvfb (package xvfb).

# start_private_x DIR GEOMETRY [XVFB_ARGUMENT...]: starts the server, logging to DIR/xvfb.log,
# sets xserver to its pid and exports DISPLAY, with no session bus for SDL to wait for. Returns 1
# with the server's log on stderr when it does not come up within 15 s.
start_private_x() {
  local dir=$1 screen=$2 attempt
  shift 2
  Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp "$@" 3>"$dir/display" 2>"$dir/xvfb.log" &
  xserver=$!
  # The number arrives as one line once the server accepts connections.
  for attempt in $(seq 300); do
    [ "$(wc -l <"$dir/display")" -ge 1 ] && break
    kill -0 "$xserver" 2>/dev/null || break
    sleep 0.05
  done
  if [ "$(wc -l <"$dir/display")" -lt 1 ]; then
    echo "Xvfb did not start after $attempt tries: $(cat "$dir/xvfb.log")" >&2
    return 1
  fi
  export DISPLAY=":$(head -1 "$dir/display")" DBUS_SESSION_BUS_ADDRESS=disabled:
}

# stop_private_x: stops the server start_private_x started, if there is one, and waits for it.
stop_private_x() {
  if [ -n "${xserver:-}" ]; then
    kill "$xserver" 2>/dev/null || true
    wait "$xserver" 2>/dev/null || true
  fi
  xserver=''
}
