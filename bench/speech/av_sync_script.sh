#!/usr/bin/env bash
# The outside meter for speaking scripts: the mouth of a script whose phones
# were found in a recording from its transcript, against that of the same
# sound with the phones of the engine that spoke it.
#
# make_speech_script writes two scripts of one line spoken by Flite's slt
# voice: "a_engine" with Flite's own phones, and "b_aligned" with that sound
# taken as a recording and aligned through eSpeak NG with its transcript.
# The program runs from a private folder that holds only these two scripts
# (with the sample models) on a private X server and sound server; with
# tracking off, the head still and the script list's "Auto" box cleared,
# each run clicks the script in the "Demo" tab's list (which loads and plays
# it) while ffmpeg captures the mouth region and the sink's monitor,
# and av_sync_measure correlates the two (bench/speech/av_sync.sh). Prints a
# line a run and the median of the runs: correlation, lag (positive: the
# mouth moves first), click to sound.
#
# Usage: av_sync_script.sh PROGRAM MEASURE [RUNS]   (PROGRAM: build/bin/vizmo4-demo,
#        MEASURE: build/bin/av_sync_measure; make_speech_script is taken from
#        PROGRAM's folder; RUNS defaults to 3)
set -uo pipefail
program=$(readlink -f "$1")
measure=$2
runs=${3:-3}
here=$(cd "$(dirname "$0")" && pwd)
bin=$(dirname "$program")

work=$(mktemp -d "${TMPDIR:-/tmp}/vizmo-avsync-script.XXXXXX")
capture=
. "$here/../../tests/e2e/desktop_session.sh"
trap 'desktop_stop $capture' EXIT
desktop_require 1 Xvfb xdotool xwininfo pulseaudio pactl parec ffmpeg ffprobe

# The program beside its own content folders: the sample models, and only the two scripts.
mkdir -p "$work/app/qvs" "$work/app/bg"
cp "$program" "$work/app/"
cp -r "$bin/qvm" "$work/app/"
line="Peter Piper picked a peck of pickled peppers, maybe more, by my map."
"$bin/make_speech_script" --flite "$work/app/qvs/a_engine" "$line" >/dev/null || exit 1
"$bin/make_speech_script" --audio "$work/app/qvs/a_engine.wav" --text "$line" "$work/app/qvs/b_aligned" >/dev/null || exit 1
length_s=$(awk '$1 == "length" {printf "%.1f", $2 / 1000 + 0.8}' "$work/app/qvs/a_engine.qvs")

desktop_start 1
DESKTOP_CWD=$work/app program_start "$work/app/$(basename "$program")"

# Window-relative coordinates, from the window's layout (as in av_sync.sh).
expand_button=(250 276); demo_tab=(301 14); player_tab=(380 14); tracking=(290 249); life_1=(426 121)
script_auto=(466 47); script_row=(470 67); row_height=13
mouth_w=80; mouth_h=56; mouth_x=100; mouth_y=134

one_run() {  # one_run ROW: capture, click the script, measure
  local row=$1
  PULSE_SERVER=$VIZMO_SOUND_SERVER ffmpeg -nostdin -loglevel error -y -copyts \
    -thread_queue_size 1024 -f x11grab -draw_mouse 0 -framerate 60 -video_size ${mouth_w}x${mouth_h} \
    -i "$DISPLAY+$((ox + mouth_x)),$((oy + mouth_y))" \
    -thread_queue_size 1024 -f pulse -fragment_size 640 -i "$VIZMO_SOUND_SINK.monitor" \
    -map 0:v -map 1:a -c:v rawvideo -c:a pcm_s16le -ac 1 -ar 16000 "$work/cap.nut" &
  capture=$!
  sleep 1.0  # the resting face before the sound
  xdotool mousemove $((ox + script_row[0])) $((oy + script_row[1] + row * row_height))
  local clicked
  clicked=$(date +%s.%N)
  xdotool click 1
  sleep "$length_s"
  kill -INT "$capture"; wait "$capture" 2>/dev/null; capture=
  ffprobe -v error -select_streams v:0 -show_entries frame=pts_time -of csv=p=0 "$work/cap.nut" >"$work/times.txt"
  ffmpeg -nostdin -v error -y -i "$work/cap.nut" -map 0:v -vsync passthrough -f rawvideo -pix_fmt gray "$work/frames.gray"
  ffmpeg -nostdin -v error -y -i "$work/cap.nut" -map 0:a -f s16le -ac 1 -ar 16000 "$work/sound.s16"
  local audio_start
  audio_start=$(ffprobe -v error -select_streams a:0 -show_entries stream=start_time -of csv=p=0 "$work/cap.nut")
  "$measure" "$work/frames.gray" $mouth_w $mouth_h "$work/times.txt" "$work/sound.s16" 16000 "$audio_start" "$clicked"
}

median() { sort -g | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

click "${expand_button[@]}"
click "${player_tab[@]}"
click "${tracking[@]}"   # the head stays where it is
click "${life_1[@]}"     # blinks only: the face does not move under the mouth
click "${demo_tab[@]}"
click "${script_auto[@]}"  # ticked at start-up: each script would play the next at its end
sleep "$length_s"          # the first script, played at start-up, ends

# A click plays a script only when it changes the selection, so the two take
# turns, starting with the one not selected at start-up.
: >"$work/engine"; : >"$work/aligned"
for run in $(seq "$runs"); do
  for kind in aligned engine; do
    row=0; [ "$kind" = aligned ] && row=1
    result=$(one_run $row)
    echo "$kind run $run: $result"
    echo "$result" >>"$work/$kind"
    sleep 0.5
  done
done
for kind in engine aligned; do
  echo "$kind median: correlation $(awk '{print $2}' "$work/$kind" | median)" \
    "lag $(awk '{print $4}' "$work/$kind" | median) ms" \
    "click-to-sound $(awk '{print $7}' "$work/$kind" | median) ms"
done
