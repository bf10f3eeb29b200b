#pragma once

#include "SynthesisedWord.h"
#include "sound/SteadyTime.h"

#include <QByteArray>
#include <QObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTimer>

#include <map>
#include <optional>
#include <vector>

// A synthetic examinee for the private PulseAudio rig: says a run's planned answers into the
// microphone (the sink "ovrel_microphone", whose monitor the program records, or a sink that plays
// into it; pacat, one stream for the whole run, silence between the words), each a
// planned latency after its second digit as the program reports it heard, in a voice no digit
// has (flite's slt unless told; the recogniser hears espeak-ng's en-us+f3 badly even clean: two
// of four sums).
//
// What the microphone got is recorded meanwhile by one recorder (parec, the same monitor): the
// program's digits as the rig's loopback brings them, the answers and the rig's noise, on the same
// frames. Each answer is found in it by correlation with what was said, so its true onset is
// known against the digits' onsets there, however the playing stream was held up on the way.
class ExamineeMouth final : public QObject {
    Q_OBJECT
public:
    enum class Says { Right, Wrong, Nothing, Cough, DontKnow, SelfCorrection };
    struct Answer {
        Says says;
        int latencyMs;  // from the answer's second digit heard to what is said
    };
    // The rig's loopback delay from the sink to the microphone, which is set as the server starts
    // (56 to over 100 ms have been seen, for the 60 asked for): a burst played into both at once
    // through a combined sink, and heard by one recorder of the microphone directly and through
    // the loopback. NaN where it could not be measured.
    static double rigDelayMs();
    // The rig as the server started it, whatever the tests before did to it: its loopback made
    // anew (a server held up or a stream moved leaves it far later than it was), the speakers
    // and the microphone the defaults again. False where the server would not.
    static bool resetRig();

    // How the mouth speaks: in which voice, into which sink.
    struct Speech {
        SynthesisedWord::Voice voice{"flite slt", {"flite", "-voice", "slt", "-t", "%t", "-o", "%o"}, false};
        QString sink = QStringLiteral("ovrel_microphone");  // it must reach "ovrel_microphone" too
    };
    static constexpr double kVoiceRms = 0.1;  // -20 dB of full scale over the words' sounding part

    // Empty where the mouth can speak; else what it lacks.
    static QString missing();
    // `sums`: the run's correct answers; `plan`: one per answer. Synthesises every word needed.
    ExamineeMouth(std::vector<int> sums, std::vector<Answer> plan, Speech speech, QObject* parent = nullptr);
    // In flite's slt, into "ovrel_microphone".
    ExamineeMouth(std::vector<int> sums, std::vector<Answer> plan, QObject* parent = nullptr);
    ~ExamineeMouth() override;

    // True once the recording flows and the stream plays.
    bool start();
    // Digit `digit` (from 0) of the run left the speakers at `heard`: the answer it ends is said.
    void digitHeard(int digit, SteadyTime heard);

    struct Heard {
        QByteArray recording;         // of the microphone: 16-bit stereo, 44100 Hz
        std::vector<long long> onsets;  // per answer, in the recording's frames; -1: nothing said
        std::vector<double> matches;    // how well what was said was found there, at most 1
    };
    // Ends the stream and the recording, then finds what was said in it.
    Heard stop();
    // The sum heard first where the plan has one said (a self-correction's first), else none.
    static std::optional<int> firstSum(Says says, int sum);
    // The sum the answer ends on, else none.
    static std::optional<int> lastSum(Says says, int sum);

private:
    struct Utterance {
        int item;
        long long at;  // in the stream's frames
        std::vector<float> sound;
    };
    const std::vector<float>& word(const QString& text);
    void feed();

    std::vector<int> sums_;
    std::vector<Answer> plan_;
    Speech speech_;
    QTemporaryDir scratch_;
    std::map<QString, std::vector<float>> words_;
    std::vector<float> cough_;
    std::vector<Utterance> said_;
    std::vector<float> pending_;  // what is still to be written, from frame written_
    long long written_ = 0;
    SteadyTime origin_{};  // when the stream's frame 0 was written
    SteadyTime recordingFrom_{};
    QProcess play_, record_;
    QTemporaryFile recording_;
    QTimer feeder_;
};
