#!/usr/bin/env bash
# Records the player for 20 seconds as a user sees it, under a private X
# server and a private sound server: 8 s at rest (tracking off, so the gaze
# is the face's own), then speaking a sentence on "KV TTS". Writes two
# contact sheets: the whole recording at two frames a second, and the first
# three seconds of speech at ten frames a second.
#
# Usage: record_life.sh PROGRAM OUT_DIR
set -uo pipefail
program=$1
out=$2
here=$(cd "$(dirname "$0")/../../tests/e2e" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/vizmo-record.XXXXXX")
grabber=
. "$here/desktop_session.sh"
trap 'desktop_stop $grabber' EXIT
desktop_require 1 Xvfb xdotool xwininfo ffmpeg pulseaudio pactl parec
desktop_start 1
program_start "$program"

# The same places as the end-to-end check uses (window pixels).
click 250 276   # expand
click 380 14    # "QV4 Player"
click 290 249   # untick "Tracking"
click 465 14    # "KV TTS"
click 420 190
xdotool key ctrl+a
xdotool type --delay 2 "Hello there. I am glad you came today, because I have a story to tell you. It is short, and it ends well."
xdotool mousemove 1000 760   # the pointer out of the picture

ffmpeg -loglevel error -f x11grab -draw_mouse 0 -framerate 25 -video_size 256x256 -i "$DISPLAY+$((ox + 4)),$((oy + 4))" \
  -t 20 -c:v ffv1 "$work/face.mkv" &
grabber=$!
sleep 8
click 388 249   # "Play"
xdotool mousemove 1000 760
wait "$grabber"; grabber=

mkdir -p "$out"
ffmpeg -loglevel error -y -i "$work/face.mkv" -vf "fps=2,scale=128:128,tile=8x5:padding=2:color=white" -frames:v 1 "$out/life-recording.png"
ffmpeg -loglevel error -y -ss 8.2 -t 3 -i "$work/face.mkv" -vf "fps=10,scale=128:128,tile=10x3:padding=2:color=white" -frames:v 1 "$out/speaking-face.png"
echo "wrote $out/life-recording.png and $out/speaking-face.png"
