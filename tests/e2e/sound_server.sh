# A private PulseAudio server with one null sink, for the tests that listen
# to what the program plays. Meant to be sourced:
#
#   sound_server_start DIR   starts it with DIR as its runtime folder; on
#                            success exports VIZMO_SOUND_SERVER (a server
#                            address for PULSE_SERVER) and VIZMO_SOUND_SINK
#                            (the sink; its monitor is "$VIZMO_SOUND_SINK.monitor")
#                            and returns 0; returns 1 when it cannot start.
#   sound_server_stop        stops it and removes DIR.
#
# Only tests that ask for VIZMO_SOUND_SERVER hear it: the rest keep the
# silent clock and do not play into each other's recordings.

sound_server_start() {
  local dir=$1
  command -v pulseaudio >/dev/null && command -v pactl >/dev/null && command -v parec >/dev/null || return 1
  mkdir -p "$dir" && chmod 700 "$dir" || return 1
  _vizmo_sound_dir=$dir
  local server="unix:$dir/pulse/native"
  # No default script: no hardware probing, only a socket and a null sink.
  XDG_RUNTIME_DIR=$dir pulseaudio --daemonize=yes -n --exit-idle-time=-1 --disallow-exit --use-pid-file=yes \
    --log-target="file:$dir/pulseaudio.log" \
    --load="module-native-protocol-unix auth-anonymous=1" \
    --load="module-null-sink sink_name=vizmo_sink norewinds=1" >/dev/null 2>&1 || return 1
  local tries=0
  until PULSE_SERVER=$server pactl info >/dev/null 2>&1; do
    tries=$((tries + 1))
    [ "$tries" -lt 50 ] || { sound_server_stop; return 1; }
    sleep 0.1
  done
  PULSE_SERVER=$server pactl set-default-sink vizmo_sink >/dev/null 2>&1 || { sound_server_stop; return 1; }
  # Without a low-latency reader the null sink renders in 2 s blocks.
  PULSE_SERVER=$server parec -d vizmo_sink.monitor --latency-msec=20 >/dev/null 2>&1 &
  _vizmo_sound_reader=$!
  export VIZMO_SOUND_SERVER=$server VIZMO_SOUND_SINK=vizmo_sink
  return 0
}

sound_server_stop() {
  if [ -n "${_vizmo_sound_reader:-}" ]; then
    kill "$_vizmo_sound_reader" 2>/dev/null || true
    wait "$_vizmo_sound_reader" 2>/dev/null || true
    _vizmo_sound_reader=
  fi
  if [ -n "${_vizmo_sound_dir:-}" ]; then
    XDG_RUNTIME_DIR=$_vizmo_sound_dir pulseaudio --kill >/dev/null 2>&1 || true
    rm -rf "$_vizmo_sound_dir" || true
    _vizmo_sound_dir=
  fi
  unset VIZMO_SOUND_SERVER VIZMO_SOUND_SINK
  return 0
}
