#!/usr/bin/env bash
# Builds the Debian package from a built tree, checks its dependencies and
# metadata with the Debian and freedesktop validators, installs it and starts
# it as the menu entry does, under a private X server and sound server: the
# window must appear, load the first model and script and play them, and speak
# typed text on the "KV TTS" page.
#
# Run as root on a throw-away machine (CI=true), it installs the package for
# real with apt-get, which also resolves its dependencies, and removes it
# again at the end. Elsewhere it unpacks the package into a temporary root.
#
# Usage: installed_program.sh BUILD_DIR
# Exits 77 (skipped) when a packaging, X, sound or image tool is missing.
set -uo pipefail
build=$1
here=$(cd "$(dirname "$0")" && pwd)
e2e=$here/../e2e

work=$(mktemp -d "${TMPDIR:-/tmp}/vizmo-package.XXXXXX")
recorder=; installed=
. "$e2e/desktop_session.sh"
uninstall() {
  [ -z "$installed" ] || DEBIAN_FRONTEND=noninteractive apt-get remove -y -q "$installed" >/dev/null
}
trap 'desktop_stop $recorder; uninstall' EXIT
desktop_require 77 cpack dpkg-deb dpkg-shlibdeps lintian desktop-file-validate appstreamcli \
  Xvfb xdotool xwininfo pulseaudio pactl parec sox /usr/bin/import /usr/bin/convert /usr/bin/compare
failures=0
check() {  # check DESCRIPTION COMMAND...: reports, and counts a failure
  local what=$1; shift
  if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failures=$((failures + 1)); fi
}

# The package.
(cd "$build" && cpack --config CPackConfig.cmake -B "$work/out") >"$work/cpack.log" 2>&1 ||
  { echo "FAIL cpack"; cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/out/*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes"
echo "Depends: $depends"

depends_on() { grep -Eq "(^|, )$1( |,|$)" <<<"$depends"; }
for lib in libqt6widgets6 libqt6multimedia6 librsvg2-2 libespeak-ng1 libflite1 libsndfile1 libc6 \
           qt6-qpa-plugins fonts-liberation fonts-wqy-microhei; do
  check "depends on $lib" depends_on "$lib"
done
installed_as_needed() {  # every dependency is a real package, installed here at a version that fits
  local clause name op version have
  while read -r clause; do
    name=${clause%% *}; op=; version=
    if [[ $clause =~ \((\>=|\<=|=|\>\>|\<\<)\ ([^\)]+)\) ]]; then op=${BASH_REMATCH[1]}; version=${BASH_REMATCH[2]}; fi
    have=$(dpkg-query -W -f='${db:Status-Status} ${Version}' "$name" 2>/dev/null)
    [[ $have == "installed "* ]] || { echo "  $name is not installed"; return 1; }
    have=${have#installed }
    [ -z "$op" ] || dpkg --compare-versions "$have" "$op" "$version" ||
      { echo "  $name $have does not satisfy $op $version"; return 1; }
  done < <(tr ',' '\n' <<<"$depends" | sed 's/^ *//; s/ *|.*//')
}
check "every dependency is installed here at a fitting version" installed_as_needed
depends_not_on() { ! depends_on "$1"; }
check "no dependency on Qt SVG, which nothing draws with" depends_not_on libqt6svg6

# The validators.
dpkg-deb -x "$deb" "$work/root"
root=$work/root
desktop=$(ls "$root"/usr/share/applications/*.desktop)
metainfo=$(ls "$root"/usr/share/metainfo/*.metainfo.xml)
check "desktop-file-validate" desktop-file-validate "$desktop"
check "appstreamcli validate" appstreamcli validate --no-net --explain "$metainfo"
check "lintian has no errors" lintian --fail-on error "$deb"
icon=$(sed -n 's/^Icon=//p' "$desktop")
for size in 16 22 24 32 48 64 128 256; do
  check "icon at ${size}x$size" [ "$(/usr/bin/identify -format %wx%h "$root/usr/share/icons/hicolor/${size}x$size/apps/$icon.png" 2>/dev/null)" = "${size}x$size" ]
done
check "the menu entry runs the command on the PATH" [ -x "$root/usr/bin/$(sed -n 's/^Exec=//p' "$desktop")" ]
# What drawing a character of one's own takes: the guide, its pictures, the
# template, and the preview with its check.
doc=$root/usr/share/doc/vizmo4-demo
for file in draw-your-own-character.md character-template.svg images/draw-your-own.png; do
  check "$file is installed" [ -s "$doc/$file" ]
done
check "the preview is on the PATH" [ -x "$root/usr/bin/vizmo4-preview" ]

# Installed for real only where nothing is lost by it: a throw-away machine, and
# the package not installed before (removing it afterwards would lose that).
package=$(dpkg-deb -f "$deb" Package)
if [ "${CI:-}" = true ] && [ "$(id -u)" -eq 0 ] &&
   ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed"; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q -o DPkg::Lock::Timeout=120 "$deb" >"$work/apt.log" 2>&1 ||
    { echo "FAIL apt-get install"; cat "$work/apt.log"; exit 1; }
  installed=$package
  echo "ok   apt-get installs the package and its dependencies"
  prefix=
else
  prefix=$root
fi

# The installed check reads the installed template: every layer found.
check_template() {
  QT_QPA_PLATFORM=offscreen "$prefix/usr/bin/vizmo4-preview" --check "$prefix/usr/share/doc/vizmo4-demo/character-template.svg" \
    >"$work/check.txt" 2>"$work/check.err" &&
    grep -q 'character-template.svg: 24 layers moved, 0 near misses resolved, 0 warnings' "$work/check.txt" ||
    { cat "$work/check.txt" "$work/check.err"; return 1; }
}
check "vizmo4-preview --check takes the installed template" check_template

# The installed command, started as the menu does: the entry's Exec line
# without its field codes, found on the PATH.
command_line=$(sed -n 's/^Exec=//p' "$prefix/usr/share/applications/$(basename "$desktop")" | sed 's/ %[a-zA-Z]//g')
desktop_start 77
DESKTOP_CWD=/ program_start env PATH="$prefix/usr/bin:$PATH" sh -c "exec $command_line"
check "the window appears" true
crop() {  # crop NAME W H X Y: a part of the screen now
  /usr/bin/import -window root "$work/screen.png"
  /usr/bin/convert "$work/screen.png" -crop "$2x$3+$((ox + $4))+$((oy + $5))" +repage "$work/$1.png"
}
at_least() { [ "$1" -ge "$2" ]; }

# Content folders that are not found beside the executable, or a first model or
# script that does not load, are reported in a run-time error box of their own.
windows=$(xdotool search --onlyvisible --pid "$app" 2>/dev/null | wc -l)
check "the first model and script load: no error box ($windows window(s) shown)" [ "$windows" = 1 ]
# The first script plays: its progress moves the progress bar of the compact view.
crop bar-1 233 17 4 268
states=1
for i in 2 3 4 5 6 7 8; do
  sleep 0.5
  crop "bar-$i" 233 17 4 268
  [ "$(/usr/bin/compare -metric AE "$work/bar-$((i - 1)).png" "$work/bar-$i.png" null: 2>&1 | cut -d' ' -f1)" = 0 ] ||
    states=$((states + 1))
done
check "the first script plays: the progress bar moves ($states states in 4 s)" at_least "$states" 3

# Speech on the sink: text typed on "KV TTS" and Play.
click 250 276   # ">" expands the window
click 465 14    # the "KV TTS" tab
click 420 190; xdotool key --window "$window" ctrl+a; xdotool type --delay 2 "The installed program speaks."
PULSE_SERVER=$VIZMO_SOUND_SERVER parec -d "$VIZMO_SOUND_SINK.monitor" --raw --format=s16le --channels=1 \
  --rate=22050 --latency-msec=20 >"$work/speech.raw" &
recorder=$!
click 388 249   # "Play"
sleep 2.5
kill "$recorder"; wait "$recorder" 2>/dev/null; recorder=
rms=$(sox -t raw -r 22050 -e signed -b 16 -c 1 "$work/speech.raw" -n stat 2>&1 | awk -F: '/RMS +amplitude/ {gsub(/ /, "", $2); print $2}')
check "speech is heard on the sink (RMS $rms)" awk -v a="${rms:-0}" 'BEGIN {exit !(a > 0.01)}'

[ "$failures" -eq 0 ] || { echo "program output:"; cat "$work/app.log"; }
echo "$failures failure(s)"
[ "$failures" -eq 0 ]
