#pragma once

#include <QElapsedTimer>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <vector>

// What the private PulseAudio rig's microphone hears, for a trial with a synthetic examinee
// (ExamineeMouth). The rig's own loopback brings the sink "ovrel_null" into "ovrel_microphone"
// about 60 ms late, at full level; the examinee's recording of that microphone is the witness the
// true onsets are found in, and stays so in every condition, clean. The program hears a microphone
// of its own, "ovrel_program_microphone", and the examinee plays into both at once through a
// combined sink, "ovrel_mouth":
// - Headphones: the program's microphone hears the examinee alone.
// - Speakers: the digits too, through a second loopback of the sink, at the voice's level.
// - SpeakersInNoise: and pink noise 20 dB under the voice, from a stream of its own.
// The digits through the speakers are not filtered or reverberated: the loopback gives their
// level and delay alone.
class RigCondition {
public:
    enum Kind { Headphones, Speakers, SpeakersInNoise };
    static const QStringList kNames;  // "headphones", "speakers", "speakers+noise"

    // Sets the rig for `kind` from the state it starts in (ExamineeMouth::resetRig); false where
    // the server would not. What it loaded is unloaded by the destructor.
    bool set(Kind kind);
    ~RigCondition();

    // Where the examinee plays.
    static QString mouthSink() { return QStringLiteral("ovrel_mouth"); }
    // The factor the second loopback's volume was set to, so that the digits reach the program's
    // microphone at the voice's level; 0 where there is none.
    double loopbackGain() const { return loopbackGain_; }

private:
    bool load(const QStringList& arguments);
    void feedNoise();

    QStringList modules_;
    QProcess noise_;
    QTimer noiseFeeder_;
    QElapsedTimer noiseClock_;
    std::vector<float> noiseSound_;
    long long noiseWritten_ = 0;
    double loopbackGain_ = 0;
};
