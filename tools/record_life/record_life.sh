#!/usr/bin/env bash
# Records the player for 20 seconds as a user sees it, under a private X
# server and a private sound server: 8 s at rest (tracking off, so the gaze
# is the face's own), then speaking a sentence on "KV TTS". Writes two
# contact sheets: the whole recording at two frames a second, and the first
# three seconds of speech at ten frames a second.
#
# Usage: record_life.sh PROGRAM OUT_DIR [MODEL]
# With MODEL (a file of the model list, e.g. mira.qvm) that model is chosen on
# "Demo" first and the sheets are named after it (mira-life-recording.png);
# REST_SECONDS and SPEAK_SECONDS set the two parts' lengths (8 and 12), and
# SHEET_FPS the whole recording's frames a second on its sheet (2; above 2
# the frames are drawn 96 pixels wide instead of 128).
set -uo pipefail
program=$1
out=$2
model=${3:-}
rest=${REST_SECONDS:-8}
speak=${SPEAK_SECONDS:-12}
fps=${SHEET_FPS:-2}
prefix=${model:+${model%.qvm}-}
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
if [ -n "$model" ]; then
  click 300 14    # "Demo"
  click 312 70    # the model list's first entry
  xdotool type --delay 50 "${model%.qvm}"   # the list's search by typing selects it
  sleep 1
fi
click 380 14    # "QV4 Player"
click 290 249   # untick "Tracking"
click 465 14    # "KV TTS"
click 420 190
xdotool key ctrl+a
xdotool type --delay 2 "Hello there. I am glad you came today, because I have a story to tell you. It is short, and it ends well."
xdotool mousemove 1000 760   # the pointer out of the picture

ffmpeg -loglevel error -f x11grab -draw_mouse 0 -framerate 25 -video_size 256x256 -i "$DISPLAY+$((ox + 4)),$((oy + 4))" \
  -t $((rest + speak)) -c:v ffv1 "$work/face.mkv" &
grabber=$!
sleep "$rest"
click 388 249   # "Play"
xdotool mousemove 1000 760
wait "$grabber"; grabber=

mkdir -p "$out"
rows=$(( (fps * (rest + speak) + 7) / 8 ))
side=$(( fps > 2 ? 96 : 128 ))
ffmpeg -loglevel error -y -i "$work/face.mkv" -vf "fps=$fps,scale=$side:$side,tile=8x$rows:padding=2:color=white" -frames:v 1 "$out/${prefix}life-recording.png"
ffmpeg -loglevel error -y -ss "$rest.2" -t 3 -i "$work/face.mkv" -vf "fps=10,scale=128:128,tile=10x3:padding=2:color=white" -frames:v 1 "$out/${prefix}speaking-face.png"
echo "wrote $out/${prefix}life-recording.png and $out/${prefix}speaking-face.png"
