#!/usr/bin/env bash
# Runs a command against a private PipeWire server (with WirePlumber, its PulseAudio service and a
# D-Bus session of its own) whose default sink is a null sink, "ovrel_null", 44100 Hz stereo, in
# a runtime folder of its own, so a desktop's own sound server is never touched.
#   with-private-pipewire.sh [--via-pulse] [--churn] command...
# ALSA's "default" device and control reach the server through the pipewire-alsa plugin, whose
# unpacked package OVREL_PIPEWIRE_ALSA names (it conflicts with pulseaudio as an installed
# package), as on a desktop without PulseAudio: the program is kept from seeing PipeWire's
# PulseAudio service, which only the test tools reach (OVREL_TOOLS_PULSE_SERVER). With
# --via-pulse, the program reaches that service through ALSA's pulse plugin instead. With
# --churn, another client with a low latency comes and goes every 2.5 s, as a browser tab or a
# notification sound does on a desktop: each time, the graph's quantum would change.
# Everything started here is stopped when the command ends; its exit status is returned.
# OVREL_SERVER_PID is the process that runs the graph.
set -u
route=alsa churn=
while :; do
  case "${1:-}" in
    --via-pulse) route=pulse; shift ;;
    --churn) churn=1; shift ;;
    *) break ;;
  esac
done
runtime=$(mktemp -d /tmp/ovrel-pipewire.XXXXXX)
export XDG_RUNTIME_DIR="$runtime" PIPEWIRE_RUNTIME_DIR="$runtime" XDG_CONFIG_HOME="$runtime/config"
export XDG_STATE_HOME="$runtime/state" PULSE_RUNTIME_PATH="$runtime/pulse" PULSE_SERVER="unix:$runtime/pulse/native"
export DBUS_SESSION_BUS_ADDRESS="unix:path=$runtime/bus" OVREL_SOUND_SERVER="pipewire-$route"
unset PIPEWIRE_REMOTE PULSE_SINK PULSE_SOURCE PULSE_COOKIE OVREL_PULSE_PID OVREL_PULSE_SERVER_SCRIPT
mkdir -p "$XDG_CONFIG_HOME/alsa" "$XDG_CONFIG_HOME/wireplumber/main.lua.d" "$XDG_STATE_HOME"
# The session manager is not to give a new stream the sink that an earlier one was moved to:
# each test's streams start on the default sink, whatever a test before it planted.
echo 'stream_defaults.properties["restore-target"] = false' \
  >"$XDG_CONFIG_HOME/wireplumber/main.lua.d/51-ovrel-rig.lua"
if [ "$route" = alsa ]; then
  plugins="${OVREL_PIPEWIRE_ALSA:?where pipewire-alsa is unpacked}"
  libs="$plugins/usr/lib/$(gcc -dumpmachine)/alsa-lib"
  { echo "pcm_type.pipewire { lib \"$libs/libasound_module_pcm_pipewire.so\" }"
    echo "ctl_type.pipewire { lib \"$libs/libasound_module_ctl_pipewire.so\" }"
    cat "$plugins"/usr/share/alsa/alsa.conf.d/*pipewire*.conf; } >"$XDG_CONFIG_HOME/alsa/asoundrc"
  # Such a desktop has no pulseaudio package either (the two conflict), so not its ALSA hook
  # (99-pulse.conf), which loads libpulse into every ALSA client to look for a PulseAudio server:
  # ALSA reads this machine's configuration without it.
  mkdir -p "$runtime/alsa/conf.d"
  for conf in /etc/alsa/conf.d/*.conf; do
    [ "$(basename "$conf")" = 99-pulse.conf ] || ln -s "$conf" "$runtime/alsa/conf.d/"
  done
  sed "s|\"/etc/alsa/conf.d\"|\"$runtime/alsa/conf.d\"|" /usr/share/alsa/alsa.conf >"$runtime/alsa/alsa.conf"
  export ALSA_CONFIG_PATH="$runtime/alsa/alsa.conf"
fi

pids=()
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null; wait "${pids[i]}" 2>/dev/null; done
  rm -rf "$runtime"
}
trap cleanup EXIT INT TERM
start() { "$@" <&0 >>"$runtime/server.log" 2>&1 & pids+=($!); }  # standard input as given
# Each waits for the socket of the one before: on a busy machine the session manager, started at
# once, once found no server yet and quit, and then nothing linked a stream (a stream opened
# through the PulseAudio service waited for ever).
socket() { for _ in $(seq 1 100); do [ -S "$1" ] && return; sleep 0.1; done; }
start dbus-daemon --session --nofork --nopidfile --address="$DBUS_SESSION_BUS_ADDRESS"
socket "$runtime/bus"
start pipewire
export OVREL_SERVER_PID=$!  # the process that runs the graph
socket "$runtime/pipewire-0"
start wireplumber
session_manager=$!
start pipewire-pulse
for _ in $(seq 1 100); do
  pactl info >/dev/null 2>&1 && wpctl status >/dev/null 2>&1 && break
  sleep 0.1
done
pw-cli create-node adapter '{ factory.name=support.null-audio-sink node.name=ovrel_null
    node.description="OVREL null sink" media.class=Audio/Sink audio.rate=44100 audio.channels=2
    audio.position=[ FL FR ] object.linger=true monitor.channel-volumes=true }' >/dev/null
# A second sink, to move streams to.
pw-cli create-node adapter '{ factory.name=support.null-audio-sink node.name=ovrel_headphones
    media.class=Audio/Sink audio.rate=44100 audio.channels=2 audio.position=[ FL FR ] object.linger=true }' >/dev/null
for _ in $(seq 1 100); do
  pactl set-default-sink ovrel_null 2>/dev/null && break
  sleep 0.1
done
if ! pactl set-sink-volume ovrel_null 100% 2>/dev/null || ! kill -0 "$session_manager" 2>/dev/null; then
  echo "private PipeWire server did not start:" >&2
  cat "$runtime/server.log" >&2
  exit 1
fi
export OVREL_TOOLS_PULSE_SERVER="$PULSE_SERVER"
[ "$route" = alsa ] && export PULSE_SERVER="unix:$runtime/nowhere"

if [ -n "$churn" ]; then
  blip="$runtime/blip.wav"  # half a second of silence
  { printf 'RIFF\xac\x58\x01\x00WAVEfmt \x10\0\0\0\x01\0\x02\0\x44\xac\0\0\x10\xb1\x02\0\x04\0\x10\0data\x88\x58\x01\0'; head -c 88200 /dev/zero; } >"$blip"
  start sh -c "while :; do pw-play --latency=64 '$blip'; sleep 2.5; done"
fi

# A microphone that hears the sink 12.5 ms late, sample for sample (a loopback in the same graph),
# over steady white noise far under the speech: the default input, as a desktop has one (speaker
# mode must not record it).
pw-cli create-node adapter '{ factory.name=support.null-audio-sink node.name=ovrel_microphone
    node.description="OVREL microphone" media.class=Audio/Source/Virtual audio.rate=44100 audio.channels=2
    audio.position=[ FL FR ] object.linger=true }' >/dev/null
start pw-loopback -n ovrel_room --latency 23.2 --delay 0.0125 -C ovrel_null --capture-props='stream.capture.sink=true' \
  --playback-props='node.autoconnect=false'
start pw-play --latency=1024 --volume=0.01 -P '{ node.name=ovrel_noise node.autoconnect=false }' - < <(
  # white noise, 44.1 kHz 16-bit stereo, without end
  printf 'RIFF\xff\xff\xff\xffWAVEfmt \x10\0\0\0\x01\0\x02\0\x44\xac\0\0\x10\xb1\x02\0\x04\0\x10\0data\xdb\xff\xff\xff'
  exec cat /dev/urandom)
# A stream cannot be aimed at a source: the loopback's far end and the noise are linked to it by
# hand, once their ports are there.
link() {
  for _ in $(seq 1 100); do pw-link "$1" "$2" 2>/dev/null && return; sleep 0.1; done
}
for side in FL FR; do
  link "output.ovrel_room:output_$side" "ovrel_microphone:input_$side"
  link "ovrel_noise:output_$side" "ovrel_microphone:input_$side"
done
# The server's PulseAudio service may not know the new source yet, and for a moment while the
# session manager weighs the new nodes, it may know no default sink (a test's first
# `pactl set-sink-volume @DEFAULT_SINK@` once failed so): both defaults are waited for.
tools_pactl() { PULSE_SERVER="$OVREL_TOOLS_PULSE_SERVER" pactl "$@" 2>/dev/null; }
for _ in $(seq 1 100); do
  tools_pactl set-default-source ovrel_microphone
  [ "$(tools_pactl get-default-source)" = ovrel_microphone ] && [ "$(tools_pactl get-default-sink)" = ovrel_null ] \
    && tools_pactl set-sink-volume @DEFAULT_SINK@ 100% && break
  sleep 0.1
done
# The loopback's delay holds only while the graph's quantum stays put. With --churn it moves
# (23.2 to 45.9 ms have been heard), and a recorder that comes or goes as the quantum changes can
# stop the loopback for good (PipeWire 0.3.65; a plain pw-record does it too): the microphone is
# there then, as a default input, but nothing may rely on what it hears.
[ -z "$churn" ] && export OVREL_RIG_MICROPHONE=1

"$@"
