#!/usr/bin/env bash
# The listening meter: the face following a person's voice it hears, seen
# from outside.
#
# Runs the program on a private X server and sound server with a virtual
# microphone (a null sink, "Virtual microphone", whose monitor the player
# listens to, chosen in the player's "Listen to" menu with the keyboard),
# tracking off and LifeMode 1 so the head holds still. For each language,
# people's syllables (listen_stimulus: klettres-data) are played into the
# virtual microphone while one ffmpeg process captures the mouth region
# (x11grab) and the microphone's sound (pulse) on one clock (-copyts), and
# av_sync_measure reads the capture. Prints one line a run and then, over
# all runs:
#   - latency: how far the mouth is behind the sound as seen (the lag of best
#     correlation, negated), median;
#   - correlation of the mouth region with the sound's loudness, median;
#   - lips seen closed on the syllables that begin with p, b or m (and, to
#     compare, on the others), all runs together;
#   - the mouth's width while loud on o and u syllables against i and e
#     syllables, the median of each language's ratio.
#
# Usage: listen_av_sync.sh [--sheet DIR] PROGRAM MEASURE STIMULUS [RUNS] [LANGUAGES]
#   PROGRAM: build/bin/vizmo4-demo, MEASURE: build/bin/av_sync_measure,
#   STIMULUS: build/bin/listen_stimulus; RUNS defaults to 3, LANGUAGES to
#   "it es pt_BR".
#   --sheet DIR  also records the whole face on the first language's mixed
#                syllables and writes DIR/sheet-MODEL.png, a contact sheet of
#                it in the consonant and the vowel of the first syllables
#                (listen_contact_sheet.py)
# With AV_SYNC_MODEL=NAME (mira.qvm) the face is that model, chosen on "Demo"
# as a user would; with AV_SYNC_KEEP=DIR each capture is kept there; with
# LISTEN_GAP_MS=N the syllables are N ms apart (default 80, a stop's closure;
# 0 runs them together, where only a murmur can close the lips).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
sheet=
if [ "${1:-}" = --sheet ]; then sheet=${2:?--sheet needs a folder}; shift 2; fi
program=${1:?usage: listen_av_sync.sh [--sheet DIR] PROGRAM MEASURE STIMULUS [RUNS] [LANGUAGES]}
measure=${2:?usage: listen_av_sync.sh [--sheet DIR] PROGRAM MEASURE STIMULUS [RUNS] [LANGUAGES]}
stimulus=${3:?usage: listen_av_sync.sh [--sheet DIR] PROGRAM MEASURE STIMULUS [RUNS] [LANGUAGES]}
runs=${4:-3}
languages=${5:-it es pt_BR}

work=$(mktemp -d "${TMPDIR:-/tmp}/vizmo-listen-avsync.XXXXXX")
capture=; mic_reader=
. "$here/../../tests/e2e/desktop_session.sh"
. "$here/av_capture.sh"
trap 'desktop_stop $capture $mic_reader' EXIT
desktop_require 1 Xvfb xdotool xwininfo pulseaudio pactl parec paplay ffmpeg ffprobe
desktop_start 1

# The virtual microphone, kept in real time by a reader of its own.
mic=vizmo_mic
PULSE_SERVER=$VIZMO_SOUND_SERVER pactl load-module module-null-sink sink_name=$mic \
  sink_properties=device.description=Virtual_microphone norewinds=1 >/dev/null || { echo "FAIL no virtual microphone"; exit 1; }
PULSE_SERVER=$VIZMO_SOUND_SERVER parec -d $mic.monitor --latency-msec=20 >/dev/null 2>&1 &
mic_reader=$!

program_start "$program"

av_capture_still_face
player_middle=(130 130)

# "Listen to" is the menu's last entry; its inputs follow "Nothing",
# microphones first, then the monitors in the server's order.
position=$(PULSE_SERVER=$VIZMO_SOUND_SERVER pactl list short sources |
  awk -v want=$mic.monitor '{ if ($2 ~ /\.monitor$/) m[++nm] = $2; else n[++nn] = $2 }
    END { for (i = 1; i <= nn; i++) if (n[i] == want) print i; for (i = 1; i <= nm; i++) if (m[i] == want) print nn + i }')
xdotool mousemove $((ox + player_middle[0])) $((oy + player_middle[1])) click 3
sleep 0.8
xdotool key Up Right
sleep 0.4
xdotool key --repeat "$position" --delay 60 Down
xdotool key Return
sleep 0.5

av_capture_source=$mic.monitor
play_stimulus() { PULSE_SERVER=$VIZMO_SOUND_SERVER paplay -d $mic "$work/stimulus.wav" & }
av_capture_start=play_stimulus

: >"$work/all"
for language in $languages; do
  for kind in mixed rounded spread; do
    "$stimulus" "$language" "$kind" "$work/$language-$kind" "${LISTEN_GAP_MS:-80}" >/dev/null ||
      { echo "FAIL no syllables of $language"; exit 1; }
  done
  seconds=$(awk '{end = $4} END {printf "%.1f", end / 1000 + 1}' "$work/$language-mixed.marks")
  for run in $(seq "$runs"); do
    line=() ; widths=()
    for kind in mixed rounded spread; do
      cp "$work/$language-$kind.wav" "$work/stimulus.wav"
      av_capture_measure_args=(--syllables "$work/$language-$kind.marks" "$work/stimulus.wav")
      kind_seconds=$(awk '{end = $4} END {printf "%.1f", end / 1000 + 1}' "$work/$language-$kind.marks")
      result=$(av_capture_run "$kind_seconds" "$language-$kind-$run")
      [ "$kind" = mixed ] && line=($result)
      widths+=("$(awk '{for (i = 1; i < NF; i++) if ($i == "width") print $(i + 1)}' <<<"$result")")
    done
    # correlation lag closed-pbm closed-other width-ratio
    summary=$(awk -v r="${widths[1]}" -v s="${widths[2]}" '{
        for (i = 1; i < NF; i++) { if ($i == "correlation") c = $(i+1); if ($i == "lag") l = $(i+1);
          if ($i == "closed-pbm") p = $(i+1); if ($i == "closed-other") o = $(i+1) }
        printf "%s %d %s %s %.2f", c, l, p, o, (s > 0 ? r / s : 0) }' <<<"${line[*]}")
    echo "$language run $run: ${line[*]} width rounded ${widths[1]} spread ${widths[2]}"
    echo "$language $summary" >>"$work/all"
    sleep 0.5
  done
done

echo
awk '{ split($4, p, "/"); split($5, o, "/"); lp += p[1]; np += p[2]; lo += o[1]; no += o[2] }
  END { printf "lips seen closed: %d of %d syllables beginning with p, b or m (%.0f %%); %d of %d others (%.0f %%)\n",
        lp, np, 100 * lp / np, lo, no, 100 * lo / no }' "$work/all"
echo "latency (mouth behind the sound), median of $(wc -l <"$work/all") runs: $(awk '{print -$3}' "$work/all" | median) ms"
echo "correlation with the loudness, median: $(awk '{print $2}' "$work/all" | median)"
for language in $languages; do
  echo "$language: width while loud, o and u against i and e: $(awk -v l="$language" '$1 == l {print $6}' "$work/all" | median)"
done

if [ -n "$sheet" ]; then
  mkdir -p "$sheet"
  first=${languages%% *}
  cp "$work/$first-mixed.wav" "$work/stimulus.wav"
  av_capture_measure_args=(--syllables "$work/$first-mixed.marks" "$work/stimulus.wav")
  av_capture_mouth=(0 0 264 264)
  seconds=$(awk '{end = $4} END {printf "%.1f", end / 1000 + 1}' "$work/$first-mixed.marks")
  result=$(AV_SYNC_KEEP=$work av_capture_run "$seconds" sheet)
  origin=$(awk '{for (i = 1; i < NF; i++) if ($i == "origin") print $(i + 1)}' <<<"$result")
  lag=$(awk '{for (i = 1; i < NF; i++) if ($i == "lag") print $(i + 1)}' <<<"$result")
  /usr/bin/python3 "$here/listen_contact_sheet.py" "$work/sheet.nut" "$work/$first-mixed.marks" "$origin" "$lag" \
    "$sheet/sheet-${AV_SYNC_MODEL:-anna.qvm}.png" && echo "contact sheet: $sheet/sheet-${AV_SYNC_MODEL:-anna.qvm}.png"
fi
