#!/usr/bin/env bash
# The whole window as a person uses it: starts a private desktop (X server at
# 1024 x 768 with a window manager, a session bus with the accessibility bus,
# a sound server with a null sink), then runs window_suite.py, which starts
# the program with no arguments, drives it with real input only and reads it
# from outside. Stops every server it started.
#
# Usage: window_suite.sh PROGRAM ARTEFACT_DIR [README_IMAGE_DIR]
# Exits 77 (skipped) when one of the tools it needs is not installed.
set -uo pipefail
program=$1
artefacts=$2
readme_images=${3:-}
here=$(cd "$(dirname "$0")" && pwd)
python=/usr/bin/python3

work=$(mktemp -d "${TMPDIR:-/tmp}/vizmo-window.XXXXXX")
wm=; bus=
. "$here/desktop_session.sh"
cleanup() {
  local pid
  # The session bus forks into a session of its own; what it started for the
  # accessibility bus lives in that session too.
  if [ -n "$bus" ]; then
    for pid in $(ps -o pid= -s "$bus" 2>/dev/null); do kill "$pid" 2>/dev/null; done
  fi
  desktop_stop $wm
}
trap cleanup EXIT
desktop_require 77 Xvfb openbox xdotool xwininfo dbus-daemon dbus-send pulseaudio pactl parec sox $python /usr/bin/import /usr/bin/convert
$python -c "import gi; gi.require_version('Atspi', '2.0'); from gi.repository import Atspi" 2>/dev/null \
  || { echo "skipped: the accessibility bindings (gir1.2-atspi-2.0, python3-gi) are not installed"; exit 77; }

desktop_start 1
export XDG_RUNTIME_DIR=$work/xdg XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache
openbox --sm-disable >"$work/openbox.log" 2>&1 &
wm=$!

dbus-daemon --session --fork --nopidfile --print-address=4 --print-pid=5 4>"$work/bus" 5>"$work/bus.pid" || {
  echo "FAIL the session bus did not start"; exit 1; }
bus=$(head -1 "$work/bus.pid")
export DBUS_SESSION_BUS_ADDRESS=$(head -1 "$work/bus")
# Accessibility on, as a screen reader turns it on; this starts the accessibility bus.
dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.freedesktop.DBus.Properties.Set \
  string:org.a11y.Status string:IsEnabled variant:boolean:true >/dev/null || {
  echo "FAIL the accessibility bus did not start"; exit 1; }

mkdir -p "$artefacts"
env -u QT_QPA_PLATFORM -u QT_LINUX_ACCESSIBILITY_ALWAYS_ON PULSE_SERVER=$VIZMO_SOUND_SERVER \
  VIZMO_SOUND_SINK=$VIZMO_SOUND_SINK $python -B "$here/window_suite.py" "$program" "$artefacts" "$readme_images"
