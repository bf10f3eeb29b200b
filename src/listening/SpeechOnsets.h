#pragma once

#include <cstdint>
#include <span>
#include <vector>

// Finds the stretches of speech in a stretch of cleaned mono recording at 44100 Hz (the echo of
// the program's own digits removed): each utterance from its onset to its end, short gaps inside
// a word or between the words of one answer ("eigh-teen", "twelve, no, thirteen") bridged, clicks
// shorter than a syllable left out.
//
// The recording is cut into 1 ms frames and filtered into two bands: the whole band (over 80 Hz)
// and the high band (over 3 kHz), where the fricatives that open "six", "seven", "four" and
// "three" have their energy while the whole band hardly rises over the floor. Each band has its
// own noise floor, a low percentile of its 10 ms energies in the two seconds around, so that the
// floor follows a fan or a room that grows louder or quieter. Speech is detected where the 10 ms
// energy of either band stands kDetectDb over its floor, in a run of at least kMinRunMs.
//
// The onset is then refined backwards from that detection. Definition: the onset is the first
// sample of the earliest 1 ms frame from which, up to the detection, every frame has the energy
// of at least one band kRiseDb or more over that band's floor, with no run of more than
// kGapFrames frames under it. Thus a voice is placed where it first rises out of the noise, not
// where it becomes loud, whatever its first phoneme. The end is found the same way forwards from
// the last detection.
class SpeechOnsets {
public:
    static constexpr int kRate = 44100;

    static constexpr double kDetectDb = 12;  // 10 ms energy over the floor that is surely speech
    static constexpr double kRiseDb = 6;      // the whole band over its floor by this has risen
    static constexpr double kRiseMidDb = 3;   // the middle band by this
    static constexpr double kRiseHighDb = 3;  // the high band (whose noise varies least) by this
    static constexpr int kGapFrames = 8;     // 1 ms frames under it that the rise may dip for
    static constexpr int kMinRunMs = 30;     // a shorter detection is a click (unless a release)
    static constexpr int kBridgeMs = 300;    // a shorter pause stays inside one utterance
    static constexpr double kEchoMarginDb = 6;

    struct Utterance {
        long long begin = 0;     // the onset, in frames from the start of the stretch
        long long end = 0;       // one past its last frame
        long long detected = 0;  // where it was first detected, at or after begin
    };

    // Samples at full scale 1. `echoLeft`, when given (one per sample), is the mean square of the
    // echo estimated to be left in each (see EchoRemover): it is added to both bands' floors,
    // kEchoMarginDb over it for the detection (the estimate is no bound).
    static std::vector<Utterance> find(std::span<const float> mono, std::span<const float> echoLeft = {});
    static std::vector<Utterance> find(std::span<const std::int16_t> mono, std::span<const float> echoLeft = {});
};
