# Sourced by scripts/test: starts the real services the tests use, each private to this run, and
# stops them on exit. Order matters: the display, then the sound server, then speech (which
# needs the sound server to answer at all).

pobi_services_tmp=$(mktemp -d /tmp/pobi-services.XXXXXX)
export LANG=C.UTF-8 LC_ALL=C.UTF-8 # speech-dispatcher exits when LANG names a missing locale
export XDG_RUNTIME_DIR="$pobi_services_tmp/runtime"
export XDG_CONFIG_HOME="$pobi_services_tmp/config" # never the user's own settings
# An X11 session whatever the desktop the tests are started from.
unset WAYLAND_DISPLAY
export XDG_SESSION_TYPE=x11
mkdir -p "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME"
chmod 700 "$XDG_RUNTIME_DIR"
pobi_service_pids=()

pobi_stop_services() {
  set +e
  pulseaudio --kill >/dev/null 2>&1
  local pidfile="$XDG_RUNTIME_DIR/speech-dispatcher/pid/speech-dispatcher.pid"
  [ -f "$pidfile" ] && kill "$(cat "$pidfile")" >/dev/null 2>&1
  for pid in "${pobi_service_pids[@]}"; do kill "$pid" >/dev/null 2>&1; done
  rm -rf "$pobi_services_tmp"
}
trap pobi_stop_services EXIT

pobi_wait_for() { # seconds, command...
  local tries=$(($1 * 20)); shift
  for _ in $(seq "$tries"); do "$@" >/dev/null 2>&1 && return 0; sleep 0.05; done
  return 1
}

# A virtual display with a tray host.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$pobi_services_tmp/display" \
  >"$pobi_services_tmp/xvfb.log" 2>&1 &
pobi_service_pids+=($!)
pobi_wait_for 10 test -s "$pobi_services_tmp/display" || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(cat "$pobi_services_tmp/display")"
export POBI_TEST_DISPLAY="$DISPLAY"
trayer --edge top --align right --widthtype pixel --width 200 >"$pobi_services_tmp/trayer.log" 2>&1 &
pobi_service_pids+=($!)

# A PulseAudio server with a null sink whose monitor the tests record.
pulseaudio -D --exit-idle-time=-1 -n \
  --load="module-native-protocol-unix auth-anonymous=1" \
  --load="module-null-sink sink_name=nullsink rate=44100 norewinds=1 sink_properties=device.description=NullSink" \
  --log-target=file:"$pobi_services_tmp/pulse.log" >/dev/null 2>&1 || true
pobi_wait_for 10 pactl info || { echo "PulseAudio did not start; see $pobi_services_tmp/pulse.log" >&2; exit 1; }
pactl set-default-sink nullsink >/dev/null 2>&1 || true

# speech-dispatcher with espeak-ng; it never exits while the tests run.
speech-dispatcher -d -t 0 >"$pobi_services_tmp/speechd.log" 2>&1 || true
pobi_wait_for 10 test -S "$XDG_RUNTIME_DIR/speech-dispatcher/speechd.sock" ||
  { echo "speech-dispatcher did not start" >&2; exit 1; }
