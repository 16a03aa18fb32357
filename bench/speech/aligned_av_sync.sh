#!/usr/bin/env bash
# The outside meter for a script whose phones were found in a recording from
# its transcript, against the same sound with the phones of the engine that
# spoke it: for each of three lines of Flite's slt voice, make_speech_script
# writes three scripts ("engine" with Flite's own phones; "aligned" with that
# sound taken as a recording and aligned through eSpeak NG; "recognised" with
# its phones found without the transcript), and
# script_av_sync.sh plays and measures each in the window.
#
# Usage: aligned_av_sync.sh PROGRAM MEASURE [RUNS]   (PROGRAM: build/bin/vizmo4-demo,
#        MEASURE: build/bin/av_sync_measure; make_speech_script is taken from
#        PROGRAM's folder; RUNS defaults to 3)
set -uo pipefail
program=$1
measure=$2
runs=${3:-3}
here=$(cd "$(dirname "$0")" && pwd)
tool=$(dirname "$program")/make_speech_script

work=$(mktemp -d "${TMPDIR:-/tmp}/vizmo-aligned-avsync.XXXXXX")
trap 'rm -rf "$work"' EXIT
lines=("Hello there, I see that you are ready to start the show today."
       "Peter Piper picked a peck of pickled peppers, maybe more, by my map."
       "My mother owns a small yellow boat on the lake, and we sail it every summer.")
for i in "${!lines[@]}"; do
  "$tool" --flite "$work/engine$i" "${lines[$i]}" >/dev/null || exit 1
  "$tool" --audio "$work/engine$i.wav" --text "${lines[$i]}" "$work/aligned$i" >/dev/null || exit 1
  "$tool" --audio "$work/engine$i.wav" "$work/recognised$i" >/dev/null || exit 1
  for kind in engine aligned recognised; do
    "$here/script_av_sync.sh" "$program" "$measure" "$work/$kind$i.qvs" "$runs" | grep median | sed "s/^/line $i $kind /"
  done
done
