#pragma once

#include <QByteArray>
#include <span>

// What a perfect output would give a recorder for `digits` played `paceMs` apart: the program's
// own recordings, each starting exactly on its place, the first one pace after the start, in
// 44100 Hz 16-bit stereo with a pace of silence after the last. For stand-ins and measurements.
QByteArray sequenceRecording(std::span<const int> digits, int paceMs);
