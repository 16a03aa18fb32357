#!/usr/bin/env bash
# The program as a user drives it: under a private X server and a private
# sound server, expand the window, untick "Tracking" so the head holds still,
# open "KV TTS", type a text and press "Play", for each engine. Checks that
# the speech is recorded from the sink, that the mouth moves while it speaks,
# that the event box goes from "Play" to "EOF", and that Pause, Play and Stop
# hold, resume and end the sound.
#
# Usage: speak_in_window.sh PROGRAM [SCREENSHOT.png]
# Exits 77 (skipped) when Xvfb, xdotool, PulseAudio, sox or ImageMagick is missing.
set -uo pipefail
program=$1
screenshot=${2:-}
here=$(cd "$(dirname "$0")" && pwd)

work=$(mktemp -d "${TMPDIR:-/tmp}/vizmo-e2e.XXXXXX")
recorder=
. "$here/desktop_session.sh"
trap 'desktop_stop $recorder' EXIT
desktop_require 77 Xvfb xdotool xwininfo pulseaudio pactl parec sox /usr/bin/import /usr/bin/convert /usr/bin/compare
failures=0
check() {  # check DESCRIPTION COMMAND...: reports, and counts a failure
  local what=$1; shift
  if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failures=$((failures + 1)); fi
}

desktop_start 77
program_start "$program"

# Window-relative coordinates, from the window's layout (15 twips a pixel).
expand_button=(250 276); player_tab=(380 14); speech_tab=(465 14); tracking=(290 249)
engine_list=(452 53); text_box=(420 190)
play=(388 249); pause=(456 249); stop=(524 249)
event_box=(57 13 508 263); mouth=(80 56 100 134); window_area=(578 289 0 0)

shot() { /usr/bin/import -window root "$work/$1.png"; }
crop() {  # crop SHOT W H X Y OUT
  /usr/bin/convert "$work/$1.png" -crop "$2x$3+$((ox + $4))+$((oy + $5))" +repage "$work/$6.png"
}
pixels_differing() {  # between two crops
  /usr/bin/compare -metric AE -fuzz 8% "$work/$1.png" "$work/$2.png" null: 2>&1 | cut -d' ' -f1
}
event_now() { shot ev; crop ev "${event_box[@]}" "$1"; }
same() { [ "$(pixels_differing "$1" "$2")" = 0 ]; }
differs() { ! same "$1" "$2"; }

record_start() {
  PULSE_SERVER=$VIZMO_SOUND_SERVER parec -d "$VIZMO_SOUND_SINK.monitor" --raw --format=s16le --channels=1 \
    --rate=22050 --latency-msec=20 >"$work/$1.raw" &
  recorder=$!
}
record_stop() { kill "$recorder" 2>/dev/null; wait "$recorder" 2>/dev/null; recorder=; }
record_for() { record_start "$1"; sleep "$2"; record_stop; }
sound_stat() {  # sound_stat FILE "RMS     amplitude" | "Length (seconds)"
  sox -t raw -r 22050 -e signed -b 16 -c 1 "$work/$1.raw" -n stat 2>&1 | awk -F: -v key="$2" '$1 ~ key {gsub(/ /, "", $2); print $2}'
}
louder() { awk -v a="$(sound_stat "$1" "RMS +amplitude")" -v b="$2" 'BEGIN {exit !(a > b)}'; }
quieter() { awk -v a="$(sound_stat "$1" "RMS +amplitude")" -v b="$2" 'BEGIN {exit !(a < b)}'; }
longer() { awk -v a="$(sound_stat "$1" "Length")" -v b="$2" 'BEGIN {exit !(a > b)}'; }
at_least() { [ "$1" -ge "$2" ]; }

say() {  # replaces the text box's content and presses Play
  click "${text_box[@]}"
  xdotool key --window "$window" ctrl+a
  xdotool type --delay 2 "$1"
  click "${play[@]}"
}

# RMS of speech at full volume is about 0.1 of full scale; the sink's silence is 0.
heard=0.01; silent=0.0005
sentence="Look at my mouth move while I speak these words to you."
long_text="This text is long enough to pause, to go on again and to stop while it is still being spoken, and then some more words follow."

click "${expand_button[@]}"
check "the window expands to 578 pixels" [ "$(xwininfo -id "$window" | awk '/Width:/ {print $2}')" = 578 ]
click "${player_tab[@]}"
click "${tracking[@]}"   # the head stays where it is while the pointer moves
click "${speech_tab[@]}"
sleep 0.5
event_now empty

speak_and_listen() {  # speak_and_listen NAME: one whole sentence, from Play to EOF
  local name=$1
  record_start "$name-whole"
  say "$sentence"
  sleep 0.4
  for i in 1 2 3 4 5 6; do shot "$name-speaking-$i"; crop "$name-speaking-$i" "${mouth[@]}" "$name-mouth-$i"; sleep 0.05; done
  crop "$name-speaking-1" "${event_box[@]}" "$name-event-play"
  crop "$name-speaking-3" "${window_area[@]}" "$name-window"
  local moved=0 n
  for i in 2 3 4 5 6; do
    n=$(pixels_differing "$name-mouth-$((i - 1))" "$name-mouth-$i")
    [ "$n" -gt "$moved" ] && moved=$n
  done
  check "$name: the event box shows a new text after Play" differs empty "$name-event-play"
  check "$name: the mouth changes while speaking ($moved pixels)" at_least "$moved" 40
  for _ in $(seq 60); do
    event_now "$name-event-end"
    differs "$name-event-play" "$name-event-end" && break
    sleep 0.3
  done
  record_stop
  sleep 0.5
  event_now "$name-event-later"
  check "$name: the event box changes at the end and stays" same "$name-event-end" "$name-event-later"
  check "$name: the end event is not Play" differs "$name-event-play" "$name-event-end"
  check "$name: speech was recorded (RMS $(sound_stat "$name-whole" "RMS +amplitude"))" louder "$name-whole" "$heard"
  check "$name: the recording lasts over 2 s" longer "$name-whole" 2
  for i in 1 2 3; do shot "$name-rest-$i"; crop "$name-rest-$i" "${mouth[@]}" "$name-rest-mouth-$i"; sleep 0.05; done
  local resting=0
  for i in 2 3; do
    n=$(pixels_differing "$name-rest-mouth-$((i - 1))" "$name-rest-mouth-$i")
    [ "$n" -gt "$resting" ] && resting=$n
  done
  check "$name: the mouth moves more speaking than at rest ($moved > 2 x $resting)" at_least "$moved" $((2 * resting + 1))
}

pause_play_stop() {  # pause_play_stop NAME: the three buttons with real sound
  local name=$1
  say "$long_text"
  sleep 0.8
  event_now "$name-play-again"
  check "$name: Play shows the same event text again" same "$name-event-play" "$name-play-again"
  record_for "$name-playing" 0.5
  check "$name: sound while playing" louder "$name-playing" "$heard"
  click "${pause[@]}"; sleep 0.3
  event_now "$name-event-pause"
  record_for "$name-paused" 0.5
  check "$name: silence while paused" quieter "$name-paused" "$silent"
  check "$name: Pause shows its own event text" differs "$name-event-play" "$name-event-pause"
  click "${play[@]}"; sleep 0.3
  event_now "$name-event-resumed"
  record_for "$name-resumed" 0.5
  check "$name: sound again after Play" louder "$name-resumed" "$heard"
  check "$name: resuming shows the Play text" same "$name-event-play" "$name-event-resumed"
  click "${stop[@]}"; sleep 0.3
  event_now "$name-event-stop"
  record_for "$name-stopped" 0.5
  check "$name: silence after Stop" quieter "$name-stopped" "$silent"
  check "$name: Stop shows its own event text" differs "$name-event-stop" "$name-event-pause"
  check "$name: Stop's text is not Play's" differs "$name-event-stop" "$name-event-play"
  check "$name: Stop's text is not the end's" differs "$name-event-stop" "$name-event-end"
}

speak_and_listen espeak
[ -n "$screenshot" ] && cp "$work/espeak-window.png" "$screenshot"
pause_play_stop espeak

# The second engine: its entry in the engine list, by keyboard in the open list.
click "${engine_list[@]}"
xdotool key Down Return
sleep 0.5
speak_and_listen flite
pause_play_stop flite

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
