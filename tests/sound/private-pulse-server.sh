#!/usr/bin/env bash
# Runs the private PulseAudio server in the foreground, in the runtime folder that
# with-private-pulse.sh prepared (its variables must be set): a null sink, "ovrel_null", 44100 Hz
# stereo; a second, "ovrel_headphones", to move streams to; and a "microphone": a third, fed by a
# loopback from the first, about 60 ms late and without changing its rate, whose monitor the
# default input hears. Tests run it again to bring the server back after killing it.
set -u
: "${XDG_RUNTIME_DIR:?}"
# Real-time scheduling where allowed, as a desktop's sound server has it (through rtkit).
exec pulseaudio --daemonize=no -n --exit-idle-time=-1 --use-pid-file=false --realtime=true --high-priority=true \
    -L "module-native-protocol-unix auth-anonymous=1 socket=$XDG_RUNTIME_DIR/native" \
    -L "module-null-sink sink_name=ovrel_null rate=44100 channels=2" \
    -L "module-null-sink sink_name=ovrel_microphone rate=44100 channels=2" \
    -L "module-loopback source=ovrel_null.monitor sink=ovrel_microphone latency_msec=60 adjust_time=0 source_dont_move=true sink_dont_move=true" \
    -L "module-null-sink sink_name=ovrel_headphones rate=44100 channels=2" \
    -L "module-always-sink" \
    --log-target=file:"$XDG_RUNTIME_DIR/pulse.log"
