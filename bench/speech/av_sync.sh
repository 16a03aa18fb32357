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
# Usage: av_sync.sh [OPTIONS] PROGRAM MEASURE [RUNS]   (PROGRAM: build/bin/vizmo4demo,
#        MEASURE: build/bin/av_sync_measure; RUNS defaults to 3)
# Options:
#   --languages        eSpeak NG's languages instead of the English texts of
#                      both engines: one sentence per language from
#                      tests/speech/language_sentences.tsv ("sample" lines),
#                      with its correlation and lead and whether they pass
#                      (correlation 0.5 or more, lead 0..+60 ms), and for the
#                      languages with "rounded" and "spread" lines the mouth's
#                      width while the sound is loud, rounded against spread
#                      (and "front", mostly front rounded vowels, against spread)
#   --only KEYS        with --languages, only these voices (comma-separated
#                      keys, such as roa/fr,gmw/de)
#   --kinds KINDS      with --languages, only these lines (comma-separated:
#                      sample, rounded, spread, front)
#   --sentences FILE   with --languages, another file of the same form
# With AV_SYNC_KEEP=DIR each run's capture is kept there as ENGINE-TEXT-RUN.nut
# (the mouth region at 60 frames a second and the sink's sound), to look at.
# With AV_SYNC_MODEL=NAME (a file of the model list, e.g. mira.qvm) the face
# speaks with that model, chosen in the list on "Demo" as a user would.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
languages=
only=
kinds=
sentences=$here/../../tests/speech/language_sentences.tsv
while [ $# -gt 0 ]; do
  case $1 in
    --languages) languages=1; shift ;;
    --only) only=${2:?--only needs voice keys}; shift 2 ;;
    --kinds) kinds=${2:?--kinds needs kinds}; shift 2 ;;
    --sentences) sentences=${2:?--sentences needs a file}; shift 2 ;;
    --) shift; break ;;
    -*) echo "av_sync.sh: unknown option $1" >&2; exit 2 ;;
    *) break ;;
  esac
done
program=${1:?usage: av_sync.sh [OPTIONS] PROGRAM MEASURE [RUNS]}
measure=${2:?usage: av_sync.sh [OPTIONS] PROGRAM MEASURE [RUNS]}
runs=${3:-3}

work=$(mktemp -d "${TMPDIR:-/tmp}/vizmo-avsync.XXXXXX")
capture=
. "$here/../../tests/e2e/desktop_session.sh"
. "$here/av_capture.sh"
trap 'desktop_stop $capture' EXIT
desktop_require 1 Xvfb xdotool xwininfo pulseaudio pactl parec ffmpeg ffprobe
[ -z "$languages" ] || desktop_require 1 xclip
desktop_start 1
program_start "$program"

# Window-relative coordinates, from the window's layout (as in tests/e2e).
speech_tab=(465 14)
engine_list=(452 53); voice_list=(452 77); text_box=(420 190)

type_text() {
  click "${text_box[@]}"
  xdotool key --window "$window" ctrl+a
  xdotool type --delay 2 "$1"
}

# Other scripts through the clipboard: xdotool types letters outside the
# keyboard's map unreliably (Cyrillic sentences lost half their letters).
# With AV_SYNC_KEEP the window is kept too, as LABEL.png, to check the text.
paste_text() {  # paste_text TEXT LABEL
  printf '%s' "$1" | xclip -selection clipboard  # serves the text until the next one
  click "${text_box[@]}"
  xdotool key --window "$window" ctrl+a ctrl+v
  sleep 0.3
  [ -z "${AV_SYNC_KEEP:-}" ] || import -window "$window" "$AV_SYNC_KEEP/$2.png"
}


av_capture_still_face
click "${speech_tab[@]}"
sleep 0.5

# Selects voice N of the engine's list (as make_speech_script --voices numbers them).
select_voice() {
  click "${voice_list[@]}"
  xdotool key Home
  [ "$1" -gt 0 ] && xdotool key --repeat "$1" --delay 5 Down
  xdotool key Return
  sleep 0.5
}

# RUNS captures of the text in the box; their lines go to $work/results.
capture_runs() {  # capture_runs LABEL SECONDS
  : >"$work/results"
  for run in $(seq "$runs"); do
    line=$(av_capture_run "$2" "$1-$run")
    echo "$1 run $run: $line"
    echo "$line" >>"$work/results"
    sleep 1
  done
}
field_median() { awk -v f="$1" '{print $f}' "$work/results" | median; }

english_texts() {
  open_text="Hello there, I see that you are ready to start the show today."
  closing_text="Peter Piper picked a peck of pickled peppers, maybe more, by my map."
  for engine in espeak flite; do
    if [ "$engine" = flite ]; then
      click "${engine_list[@]}"; xdotool key Down Return; sleep 0.5
    fi
    for kind in open closing; do
      text=open_text; [ "$kind" = closing ] && text=closing_text
      type_text "${!text}"
      capture_runs "$engine-$kind" 5
      echo "$engine $kind median: correlation $(field_median 2)" \
        "lag $(field_median 4) ms" \
        "click-to-sound $(field_median 7) ms"
      cat "$work/results" >>"$work/all"
    done
  done
  echo "click-to-sound, median of all $(wc -l <"$work/all") runs: $(awk '{print $7}' "$work/all" | median) ms"
}

# One line a language: its sample's correlation and lead, and the width of
# its rounded and spread sentences; then how many pass.
language_texts() {
  local voices summary=$work/summary
  voices=$("$(dirname "$measure")/make_speech_script" --voices) || { echo "no voice list" >&2; exit 1; }
  : >"$summary"
  local keys
  keys=$(grep -v '^#' "$sentences" | cut -f1 | awk 'NF && !seen[$0]++')
  for key in $keys; do
    [ -z "$only" ] || [[ ",$only," == *",$key,"* ]] || continue
    local index
    index=$(awk -F'\t' -v k="$key" '$2 == k {print $1; exit}' <<<"$voices")
    [ -n "$index" ] || { echo "$key: not in eSpeak NG's voice list" >&2; continue; }
    select_voice "$index"
    local correlation=- lead=- rounded=- spread=- front=-
    while IFS=$'\t' read -r k what text; do
      [ "$k" = "$key" ] || continue
      [ -z "$kinds" ] || [[ ",$kinds," == *",$what,"* ]] || continue
      paste_text "$text" "${key//\//_}-$what"
      capture_runs "${key//\//_}-$what" 6
      case $what in
        sample) correlation=$(field_median 2); lead=$(field_median 4) ;;
        rounded) rounded=$(field_median 15) ;;
        spread) spread=$(field_median 15) ;;
        front) front=$(field_median 15) ;;
      esac
    done < <(grep -v '^#' "$sentences")
    printf '%s\t%s\t%s\t%s\t%s\t%s\n' "$key" "$correlation" "$lead" "$rounded" "$spread" "$front" >>"$summary"
  done
  echo
  echo "language                correlation  lead ms  pass   width rounded  spread  ratio   front  ratio"
  awk -F'\t' '
    function ok(c, l) { return c != "-" && c >= 0.5 && l >= 0 && l <= 60 }
    {
      pass = $2 == "-" ? "-" : ok($2, $3) ? "yes" : "no"
      ratio = ($4 != "-" && $5 != "-" && $5 > 0) ? sprintf("%.2f", $4 / $5) : "-"
      fratio = ($6 != "-" && $5 != "-" && $5 > 0) ? sprintf("%.2f", $6 / $5) : "-"
      printf "%-24s %11s %8s  %-4s %14s %7s %6s %7s %6s\n", $1, $2, $3, pass, $4, $5, ratio, $6, fratio
      if ($2 != "-") { n++; passed += ok($2, $3); if ($2 < 0.4) low++ }
      if (ratio != "-") { r++; rounds += ratio <= 0.90 }
      if (fratio != "-") { fr++; frounds += fratio <= 0.90 }
    }
    END {
      printf "%d of %d languages at correlation >= 0.5 and lead 0..+60 ms; %d below 0.4\n", passed, n, low
      printf "%d of %d languages round (width ratio rounded/spread <= 0.90)\n", rounds, r
      printf "%d of %d languages round their front rounded vowels (width ratio front/spread <= 0.90)\n", frounds, fr
    }' "$summary"
}

if [ -n "$languages" ]; then
  language_texts
else
  english_texts
fi
