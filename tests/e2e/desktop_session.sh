# A private desktop for the scripts that drive the program with real input:
# an X server on a display number of its own and a private sound server
# (sound_server.sh). Meant to be sourced by a script that has made its
# scratch folder `work`:
#
#   desktop_require STATUS TOOL...  exits with STATUS (77: skipped) when a TOOL is missing
#   desktop_start STATUS            starts the X server (exports DISPLAY) and the
#                                   sound server; exits with STATUS when one cannot start
#   program_start COMMAND...        starts the program on this desktop, as a user's
#                                   session would, from the folder DESKTOP_CWD (default:
#                                   here); sets app, window and the window's origin ox, oy;
#                                   exits 1 when no window appears
#   click X Y                       a click at window coordinates (pixels)
#   desktop_stop PID...             stops the PIDs, the program and both servers, and
#                                   removes `work`; meant for the EXIT trap:
#                                     trap 'desktop_stop $recorder' EXIT
app=; window=; ox=; oy=; _desktop_xvfb=
. "$(dirname "${BASH_SOURCE[0]}")/sound_server.sh"

_desktop_fail() {  # _desktop_fail STATUS MESSAGE
  if [ "$1" = 77 ]; then echo "skipped: $2"; else echo "FAIL $2"; fi
  exit "$1"
}

desktop_require() {
  local status=$1 tool; shift
  for tool in "$@"; do
    command -v "$tool" >/dev/null || _desktop_fail "$status" "$tool is not installed"
  done
}

desktop_start() {
  local status=$1
  # Xvfb picks a free display number and writes it to fd 3.
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
  _desktop_xvfb=$!
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  [ -s "$work/display" ] || _desktop_fail "$status" "Xvfb did not start"
  export DISPLAY=:$(head -1 "$work/display")
  sound_server_start "$work/sound" || _desktop_fail "$status" "no sound server could be started"
  mkdir -m700 "$work/xdg"
}

program_start() {
  (cd "${DESKTOP_CWD:-.}" && PULSE_SERVER=$VIZMO_SOUND_SERVER XDG_RUNTIME_DIR=$work/xdg QT_QPA_PLATFORM=xcb \
    exec "$@") >"$work/app.log" 2>&1 &
  app=$!
  window=$(timeout 30 xdotool search --sync --name '^Vizmo4 Demo$' | head -1)
  [ -n "$window" ] || { echo "FAIL the window did not appear"; cat "$work/app.log"; exit 1; }
  sleep 1
  ox=$(_desktop_origin X); oy=$(_desktop_origin Y)
}

_desktop_origin() {
  xwininfo -id "$window" | awk -v key="$1" '$0 ~ "Absolute upper-left " key {print $NF}'
}

click() { xdotool mousemove $((ox + $1)) $((oy + $2)) click 1; sleep 0.3; }

desktop_stop() {
  local pid
  for pid in "$@" $app $_desktop_xvfb; do
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  done
  sound_server_stop
  rm -rf "$work"
}
