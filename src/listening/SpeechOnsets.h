#pragma once

#include <cstdint>
#include <span>
#include <vector>

// Finds the stretches of speech in a stretch of cleaned mono recording at 44100 Hz (the echo of
// the program's own digits removed): each utterance from its onset to its end, short gaps inside
// a word or between the words of one answer ("eigh-teen", "twelve, no, thirteen") bridged, clicks
// shorter than a syllable left out.
//
// The recording is cut into 1 ms frames (frame k: samples k * 44.1 to (k + 1) * 44.1) and
// filtered into three bands: the whole band (over 80 Hz), the middle band (300 Hz to 3 kHz,
// where a voice has most of its energy and a room's rumble little) and the high band (over
// 3 kHz, where the fricatives that open "six", "seven", "four" and "three" have theirs while the
// whole band hardly rises over the floor). Each band has its own noise floor: the lowest fifth of
// its 10 ms energies in the two seconds around, so that the floor follows a fan or a room that
// grows louder or quieter, plus the echo estimated to be left, if any. Speech is detected where
// the 10 ms energy of any band stands kDetectDb over its floor (over the floor plus
// kEchoMarginDb of the echo left), in a run of at least kMinRunMs.
//
// The onset is then refined backwards from that detection. A frame has risen when the mean
// energy of the 5 ms centred on it stands, in at least one band, over that band's floor by the
// band's rise (kRiseDb, kRiseMidDb, kRiseHighDb). Definition: take the earliest frame from
// which every frame up to the detection has risen, save runs of at most kGapFrames frames that
// have not (looking back no further than 400 ms, nor into the utterance before); the onset is
// the first sample of the first frame from there, two frames at most, that has risen on its own
// (its own 1 ms energy over the floor by the rise; the 5 ms window sees a rise coming two frames
// early). Thus a voice is placed where it first rises out of the noise, not where it becomes
// loud, whatever its first phoneme; in digital silence, at its first frame over -100 dBFS. The
// end is found the same way, forwards from the last detection.
class SpeechOnsets {
public:
    static constexpr int kRate = 44100;

    static constexpr double kDetectDb = 12;     // 10 ms energy over the floor that is surely speech
    // The rise over the floor: the whole band, dominated by a room's low rumble, varies most.
    static constexpr double kRiseDb = 6;
    static constexpr double kRiseMidDb = 3;
    static constexpr double kRiseHighDb = 3;
    static constexpr int kGapFrames = 8;        // a weak fricative flickers under its rise
    static constexpr int kMinRunMs = 30;        // a shorter detection is a click, unless a release
    static constexpr int kBridgeMs = 300;       // a shorter pause stays inside one utterance
    static constexpr double kEchoMarginDb = 6;  // the echo left may be louder than estimated

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
