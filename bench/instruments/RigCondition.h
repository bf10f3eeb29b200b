#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// What the private PulseAudio rig's microphone hears of the speakers, for a trial with a synthetic
// examinee (ExamineeMouth). The rig's own loopback brings the sink "ovrel_null" into
// "ovrel_microphone" about 60 ms late; the examinee's recording of that microphone is the witness
// the true onsets are found in, so the loopback stays in every condition:
// - Headphones: the program hears another microphone, "ovrel_quiet_microphone", with the rig's
//   noise and the examinee alone; the examinee plays into both at once through a combined sink.
// - Speakers: the program hears "ovrel_microphone", the digits at the voice's level.
// - SpeakersInNoise: the same, and the examinee's stream carries pink noise 20 dB under its voice.
// The digits through the speakers are not filtered or reverberated: the loopback gives their level
// and delay alone.
class RigCondition {
public:
    enum Kind { Headphones, Speakers, SpeakersInNoise };
    static const QStringList kNames;  // "headphones", "speakers", "speakers+noise"

    // Sets the rig for `kind` from the state it starts in (ExamineeMouth::resetRig); false where
    // the server would not. What it loaded is unloaded by the destructor.
    bool set(Kind kind);
    ~RigCondition();

    // Where the examinee plays; how loud its noise is, of full scale.
    QString mouthSink() const { return mouthSink_; }
    double noiseRms() const { return noiseRms_; }
    // The factor the loopback's volume was set to so that the digits reach the microphone at the
    // voice's level.
    double loopbackGain() const { return loopbackGain_; }

private:
    QStringList modules_;
    QProcess noise_;
    QString mouthSink_ = QStringLiteral("ovrel_microphone");
    double noiseRms_ = 0, loopbackGain_ = 1;
};
