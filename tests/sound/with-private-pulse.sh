#!/usr/bin/env bash
# Runs a command against a private PulseAudio server with one null sink ("ovrel_null", 44100 Hz
# stereo, the default sink), in a runtime folder of its own, so a desktop's own sound server is
# never touched. ALSA's "default" device and control reach it through the pulse plugin.
# The server (and any the command started again) is stopped when the command ends; the command's
# exit status is returned. For the command: OVREL_PULSE_PID (and OVREL_SERVER_PID) is the
# server's process and OVREL_PULSE_SERVER_SCRIPT starts another on the same socket.
set -u
here=$(cd "$(dirname "$0")" && pwd)
runtime=$(mktemp -d /tmp/ovrel-pulse.XXXXXX)
export XDG_RUNTIME_DIR="$runtime"
export PULSE_RUNTIME_PATH="$runtime/pulse"
export PULSE_STATE_PATH="$runtime/state"
export PULSE_SERVER="unix:$runtime/native"
export PULSE_COOKIE="$runtime/cookie"
export OVREL_SOUND_SERVER=pulseaudio OVREL_TOOLS_PULSE_SERVER="$PULSE_SERVER"
export OVREL_PULSE_SERVER_SCRIPT="$here/private-pulse-server.sh"
unset PULSE_SINK PULSE_SOURCE

"$here/private-pulse-server.sh" &
server=$!
# Tests kill the server on purpose; the shell is not to report that as if something went wrong.
disown "$server"
export OVREL_PULSE_PID=$server OVREL_SERVER_PID=$server
cleanup() {
  status=$?
  # A failure may come from the server itself: what it said last goes with it.
  if [ "$status" != 0 ] && [ -f "$runtime/pulse.log" ]; then
    echo "the private PulseAudio server's log ends:" >&2
    tail -n 30 "$runtime/pulse.log" >&2
  fi
  kill "${noise:-}" 2>/dev/null
  pactl exit >/dev/null 2>&1
  kill "$server" 2>/dev/null
  while kill -0 "$server" 2>/dev/null; do sleep 0.05; done
  rm -rf "$runtime"
}
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
# The microphone hears white noise far under the speech, too.
pactl set-default-source ovrel_microphone.monitor >/dev/null
pacat --raw --format=s16le --rate=44100 --channels=2 --volume=655 --device=ovrel_microphone </dev/urandom \
  >/dev/null 2>&1 &
noise=$!
disown "$noise"
export OVREL_RIG_MICROPHONE=1

"$@"
