#!/usr/bin/env bash
# The outside meter for a script with sound: plays SCRIPT (a .qvs whose
# `audio` file lies beside it, as make_speech_script writes them) in the
# player, with tracking off and the head still, while one ffmpeg process
# captures the mouth region and the sink's sound; prints one line a run and
# the median of the runs: correlation of the mouth with the loudness, lag
# (positive: the mouth moves first) and the click on "Play" to the first sound.
#
# Usage: script_av_sync.sh PROGRAM MEASURE SCRIPT [RUNS]
#   (PROGRAM: build/bin/vizmo4-demo, MEASURE: build/bin/av_sync_measure;
#    RUNS defaults to 3; AV_SYNC_KEEP=DIR keeps each capture and AV_SYNC_MODEL
#    chooses the face as in av_sync.sh)
# The program lists the scripts of the qvs folder beside it, so it runs from a
# scratch copy whose qvs folder holds SCRIPT and its sound alone.
set -uo pipefail
program=$1
measure=$2
script=$3
runs=${4:-3}
here=$(cd "$(dirname "$0")" && pwd)

[ -r "$script" ] || { echo "FAIL $script cannot be read"; exit 1; }
audio=$(awk '$1 == "audio" {sub(/^audio[ \t]+/, ""); print; exit}' "$script")
length_ms=$(awk '$1 == "length" {print $2; exit}' "$script")
[ -n "$audio" ] && [ -n "$length_ms" ] || { echo "FAIL $script has no audio or length line"; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/vizmo-script-avsync.XXXXXX")
capture=
. "$here/../../tests/e2e/desktop_session.sh"
. "$here/av_capture.sh"
trap 'desktop_stop $capture' EXIT
desktop_require 1 Xvfb xdotool xwininfo pulseaudio pactl parec ffmpeg ffprobe
desktop_start 1

app_dir=$work/app
mkdir -p "$app_dir/qvs"
cp "$program" "$app_dir/"
ln -s "$(cd "$(dirname "$program")" && pwd)/qvm" "$app_dir/qvm"
cp "$script" "$app_dir/qvs/"
cp "$(dirname "$script")/$audio" "$app_dir/qvs/"
program_start "$app_dir/$(basename "$program")"

av_capture_still_face
# Each run starts from the script's end, where the mouth rests: a stopped
# script (as every change of page leaves it) shows its first moment instead,
# which for a track whose first shape comes early is not the resting face.
seconds=$(awk -v ms="$length_ms" 'BEGIN {printf "%.1f", ms / 1000 + 1}')
click "${av_capture_play[@]}"
sleep "$seconds"
: >"$work/results"
for run in $(seq "$runs"); do
  line=$(av_capture_run "$seconds" "script-$run")
  echo "run $run: $line"
  echo "$line" >>"$work/results"
done
echo "median: correlation $(awk '{print $2}' "$work/results" | median)" \
  "lag $(awk '{print $4}' "$work/results" | median) ms" \
  "click-to-sound $(awk '{print $7}' "$work/results" | median) ms"
