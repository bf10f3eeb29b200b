#!/usr/bin/env bash
# Makes the nine spoken-digit recordings in resources/wave/ (1.wav to 9.wav).
#
# Voice: festival's HTS US English female voice (festvox-us-slt-hts), the clearest of Debian's
# English voices at 32 kHz; flite (8 kHz) and espeak-ng (formant synthesis) sound thinner.
#
# Each recording: canonical 44-byte RIFF header, PCM 16-bit stereo 44100 Hz, peak-normalised to
# -1 dBFS, speech from the first sample on (leading silence trimmed at -50 dBFS, low enough to
# keep the soft onsets of "four", "five", "six" and "seven"), trailing silence trimmed at -50 dBFS
# with a 10 ms fade at the end,
# shorter than 0.6 s.
#
# Needs: festival festvox-us-slt-hts sox python3 (make recordings installs them).
set -euo pipefail
out=${1:-"$(cd "$(dirname "$0")/.." && pwd)/resources/wave"}
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
words=(zero one two three four five six seven eight nine)
for n in 1 2 3 4 5 6 7 8 9; do
  echo "${words[$n]}" | text2wave -eval "(voice_cmu_us_slt_arctic_hts)" -o "$work/$n.tts.wav"
  sox "$work/$n.tts.wav" -r 44100 -c 2 -b 16 -e signed-integer "$work/$n.trim.wav" \
      rate -v 44100 norm -1 silence 1 1s 0.316% reverse silence 1 1s 0.316% reverse
  sox "$work/$n.trim.wav" -t raw "$work/$n.raw" fade t 0 -0 0.01 norm -1
  python3 - "$work/$n.raw" "$out/$n.wav" <<'PY'
import sys, wave
raw = open(sys.argv[1], 'rb').read()
with wave.open(sys.argv[2], 'wb') as w:
    w.setnchannels(2); w.setsampwidth(2); w.setframerate(44100); w.writeframes(raw)
PY
done
for n in 1 2 3 4 5 6 7 8 9; do
  printf '%s: %s bytes, %s s\n' "$n" "$(stat -c %s "$out/$n.wav")" "$(soxi -D "$out/$n.wav")"
done
