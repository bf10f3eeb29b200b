#pragma once

#include <QByteArray>

// What a microphone in a room would record of `stereo16` (44100 Hz 16-bit stereo): `gain` of its
// level, `rt60` seconds of reverberation (a sparse tail of reflections every 2 ms, decaying by
// 60 dB over rt60; 0: none), and white noise `snrDb` under the speech's RMS (infinite: none).
// The same `seed` gives the same room.
QByteArray inRoom(const QByteArray& stereo16, double rt60, double snrDb, double gain, unsigned seed);
