#!/usr/bin/env bash
# Runs a command against a private PulseAudio server with one null sink ("ovrel_null", 44100 Hz
# stereo, the default sink), in a runtime folder of its own, so a desktop's own sound server is
# never touched. ALSA's "default" device and control reach it through the pulse plugin.
# The server is stopped when the command ends; the command's exit status is returned.
set -u
runtime=$(mktemp -d /tmp/ovrel-pulse.XXXXXX)
export XDG_RUNTIME_DIR="$runtime"
export PULSE_RUNTIME_PATH="$runtime/pulse"
export PULSE_STATE_PATH="$runtime/state"
export PULSE_SERVER="unix:$runtime/native"
export PULSE_COOKIE="$runtime/cookie"
export OVREL_PRIVATE_PULSE=1
unset PULSE_SINK PULSE_SOURCE

pulseaudio --daemonize=no -n --exit-idle-time=-1 --use-pid-file=false --disable-shm=false \
    -L "module-native-protocol-unix auth-anonymous=1 socket=$runtime/native" \
    -L "module-null-sink sink_name=ovrel_null rate=44100 channels=2" \
    -L "module-always-sink" \
    --log-target=file:"$runtime/pulse.log" &
server=$!
cleanup() { kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; rm -rf "$runtime"; }
trap cleanup EXIT INT TERM

for _ in $(seq 1 100); do
  pactl info >/dev/null 2>&1 && break
  sleep 0.1
done
if ! pactl info >/dev/null 2>&1; then
  echo "private PulseAudio server did not start:" >&2
  cat "$runtime/pulse.log" >&2
  exit 1
fi
pactl set-default-sink ovrel_null >/dev/null
pactl set-sink-volume ovrel_null 100% >/dev/null

"$@"
