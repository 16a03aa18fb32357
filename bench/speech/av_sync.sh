#!/usr/bin/env bash
# The outside meter: what a viewer sees against what a listener hears.
#
# Runs the program on a private X server and a private sound server, opens
# "KV TTS" with tracking off and the head still, and for each engine and each
# text presses "Play" while one ffmpeg process captures the player's mouth region
# (x11grab) and the sink's monitor (pulse) on one wall clock (-copyts).
# av_sync_measure then correlates the mouth region's difference from the
# resting face with the sound's loudness. Prints one line a run and the
# median of the runs: correlation, lag (positive: the mouth moves first) and
# the time from the click on "Play" to the first sound on the sink.
#
# Usage: av_sync.sh PROGRAM MEASURE [RUNS]   (PROGRAM: build/bin/vizmo4demo,
#        MEASURE: build/bin/av_sync_measure; RUNS defaults to 3)
# With AV_SYNC_KEEP=DIR each run's capture is kept there as ENGINE-TEXT-RUN.nut
# (the mouth region at 60 frames a second and the sink's sound), to look at.
# With AV_SYNC_MODEL=NAME (a file of the model list, e.g. mira.qvm) the face
# speaks with that model, chosen in the list on "Demo" as a user would.
set -uo pipefail
program=$1
measure=$2
runs=${3:-3}
here=$(cd "$(dirname "$0")" && pwd)

work=$(mktemp -d "${TMPDIR:-/tmp}/vizmo-avsync.XXXXXX")
capture=
. "$here/../../tests/e2e/desktop_session.sh"
. "$here/av_capture.sh"
trap 'desktop_stop $capture' EXIT
desktop_require 1 Xvfb xdotool xwininfo pulseaudio pactl parec ffmpeg ffprobe
desktop_start 1
program_start "$program"

# Window-relative coordinates, from the window's layout (as in tests/e2e).
expand_button=(250 276); player_tab=(380 14); speech_tab=(465 14); tracking=(290 249); life_1=(426 121)
engine_list=(452 53); text_box=(420 190)

type_text() {
  click "${text_box[@]}"
  xdotool key --window "$window" ctrl+a
  xdotool type --delay 2 "$1"
}


click "${expand_button[@]}"
if [ -n "${AV_SYNC_MODEL:-}" ]; then
  demo_tab=(300 14); first_model=(312 70)
  click "${demo_tab[@]}"
  click "${first_model[@]}"
  xdotool type --delay 50 "${AV_SYNC_MODEL%.qvm}"   # the list's search by typing selects it
  sleep 1
fi
click "${player_tab[@]}"
click "${tracking[@]}"   # the head stays where it is
# LifeMode 1 (blinks only): with more, the head drifts, turns at each phrase
# and nods on accents, and the region's difference from the resting face
# counts the whole face moving under a closed mouth.
click "${life_1[@]}"
click "${speech_tab[@]}"
sleep 0.5

open_text="Hello there, I see that you are ready to start the show today."
closing_text="Peter Piper picked a peck of pickled peppers, maybe more, by my map."
for engine in espeak flite; do
  if [ "$engine" = flite ]; then
    click "${engine_list[@]}"; xdotool key Down Return; sleep 0.5
  fi
  for kind in open closing; do
    text=open_text; [ "$kind" = closing ] && text=closing_text
    type_text "${!text}"
    : >"$work/results"
    for run in $(seq "$runs"); do
      line=$(av_capture_run 5 "$engine-$kind-$run")
      echo "$engine $kind run $run: $line"
      echo "$line" >>"$work/results"
      sleep 1
    done
    echo "$engine $kind median: correlation $(awk '{print $2}' "$work/results" | median)" \
      "lag $(awk '{print $4}' "$work/results" | median) ms" \
      "click-to-sound $(awk '{print $7}' "$work/results" | median) ms"
    cat "$work/results" >>"$work/all"
  done
done
echo "click-to-sound, median of all $(wc -l <"$work/all") runs: $(awk '{print $7}' "$work/all" | median) ms"
