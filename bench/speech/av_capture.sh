# One capture of the outside meter, shared by av_sync.sh (speech) and
# script_av_sync.sh (a script with sound). Sourced after desktop_session.sh,
# with the program started and its window's page showing a "Play" button at
# window coordinates (388, 249), where both pages have theirs.
#
#   av_capture_run SECONDS LABEL  captures the mouth region and the sink's sound,
#                                 clicks "Play", waits SECONDS and prints the
#                                 measure's line; with AV_SYNC_KEEP=DIR the
#                                 capture is kept there as LABEL.nut
#   median                        the median of the numbers on standard input
#   av_capture_still_face         expands the window, shows AV_SYNC_MODEL (a file of
#                                 the model list, e.g. mira.qvm) when set, and on
#                                 "QV4 Player" turns tracking off and LifeMode to 1,
#                                 so that the face holds still around the mouth
# A caller may set, before a run:
#   av_capture_source             the sound to record (default: the sink's monitor)
#   av_capture_start              the command that starts the sound (default: a click on "Play")
#   av_capture_measure_args       more arguments for the measure (an array)
av_capture_play=(388 249)
av_capture_mouth=(100 134 80 56)  # x y width height of the mouth region
av_capture_source=
av_capture_start=av_capture_click_play
av_capture_measure_args=()

av_capture_still_face() {
  # Window-relative coordinates, from the window's layout (as in tests/e2e).
  local expand_button=(250 276) demo_tab=(300 14) first_model=(312 70) player_tab=(380 14) tracking=(290 249)
  local life_1=(426 121)
  click "${expand_button[@]}"
  if [ -n "${AV_SYNC_MODEL:-}" ]; then
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
}

av_capture_click_play() {
  xdotool mousemove $((ox + av_capture_play[0])) $((oy + av_capture_play[1]))
  xdotool click 1
}

av_capture_run() {
  local seconds=$1 label=$2
  local mx=${av_capture_mouth[0]} my=${av_capture_mouth[1]} mw=${av_capture_mouth[2]} mh=${av_capture_mouth[3]}
  rm -f "$work/cap.nut"
  PULSE_SERVER=$VIZMO_SOUND_SERVER ffmpeg -nostdin -loglevel error -y -copyts \
    -thread_queue_size 1024 -f x11grab -draw_mouse 0 -framerate 60 -video_size ${mw}x${mh} \
    -i "$DISPLAY+$((ox + mx)),$((oy + my))" \
    -thread_queue_size 1024 -f pulse -fragment_size 640 -i "${av_capture_source:-$VIZMO_SOUND_SINK.monitor}" \
    -map 0:v -map 1:a -c:v rawvideo -c:a pcm_s16le -ac 1 -ar 16000 "$work/cap.nut" &
  capture=$!
  # ffmpeg can take most of a second to start when its files are not cached:
  # the resting face is timed from its first output.
  for _ in $(seq 50); do [ -s "$work/cap.nut" ] && break; sleep 0.1; done
  sleep 1.0  # the resting face before the sound
  local clicked
  clicked=$(date +%s.%N)
  $av_capture_start
  sleep "$seconds"
  kill -INT "$capture"; wait "$capture" 2>/dev/null; capture=
  ffprobe -v error -select_streams v:0 -show_entries frame=pts_time -of csv=p=0 "$work/cap.nut" >"$work/times.txt"
  ffmpeg -nostdin -v error -y -i "$work/cap.nut" -map 0:v -vsync passthrough -f rawvideo -pix_fmt gray "$work/frames.gray"
  ffmpeg -nostdin -v error -y -i "$work/cap.nut" -map 0:a -f s16le -ac 1 -ar 16000 "$work/sound.s16"
  local audio_start
  audio_start=$(ffprobe -v error -select_streams a:0 -show_entries stream=start_time -of csv=p=0 "$work/cap.nut")
  "$measure" "$work/frames.gray" "$mw" "$mh" "$work/times.txt" "$work/sound.s16" 16000 "$audio_start" "$clicked" \
    "${av_capture_measure_args[@]}"
  [ -z "${AV_SYNC_KEEP:-}" ] || cp "$work/cap.nut" "$AV_SYNC_KEEP/$label.nut"
}

median() { sort -g | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
