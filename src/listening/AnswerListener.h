#pragma once

#include "listening/AnswerReplay.h"
#include "listening/AnswerTake.h"
#include "listening/DecisionWorker.h"
#include "listening/MicrophoneJudge.h"
#include "recordsheet/ListeningService.h"

#include <QTimer>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>

class AnswerRecogniser;
class SoundOutput;
class SoundRecorder;
class SteadyClock;

// Hears the examinee's answers for the sheet. While Listen is on, the microphone is recorded
// (through the recorder the program's route gives) and its level shown; each run gets a take of
// its own from its start, into which the digits are laid as they leave the speakers so that
// their echo can be taken out. Once an answer's window has closed and a little after it has
// been recorded, the answer is decided off the window's thread and given to the sheet, whose
// examiner's marks win.
//
// The recordings stay in memory, for hearing answers again and for "Save Recording…" alone,
// and go with a new examinee (the sheet cleared) or with this object.
class AnswerListener final : public ListeningService {
    Q_OBJECT
public:
    // Makes the recogniser on first use; null with the reason, in plain words, where it cannot.
    using RecogniserMaker = std::function<std::unique_ptr<AnswerRecogniser>(QString& problem)>;
    using RecorderMaker = std::function<std::unique_ptr<SoundRecorder>()>;

    // What is heard after a window's end still belongs to an answer begun in it.
    static constexpr std::chrono::milliseconds kTail{700};
    // Between runs the recording starts again after this long, so that the longest trial and
    // its pauses fit in what is left of it.
    static constexpr std::chrono::seconds kRestartAfter{100};

    // The sheet, the clock, the output and what the makers make outlive this. `threaded` false
    // decides each answer as poll() finds it closed (for the tests).
    AnswerListener(RecordSheet& sheet, const SteadyClock& clock, SoundOutput& output, RecorderMaker makeRecorder,
                   RecogniserMaker makeRecogniser, bool threaded = true, QObject* parent = nullptr);
    ~AnswerListener() override;

    bool isOn() const override { return on_; }
    void setOn(bool on) override;
    QString state() const override { return state_; }
    double levelDb() const override { return judge_.levelDb(); }
    QString hearAgain(RecordSheet::Answer answer) override;
    bool hasRecording(int administration) const override { return takes_.count(administration) > 0; }
    bool saveRecording(int administration, const QString& path) const override;

    // Takes in what the microphone recorded since the last time, and decides the answers whose
    // windows have closed. Called every 50 ms while Listen is on.
    void poll();

private:
    void startRecogniser();
    void startRecorder();
    void onWindowThread(const std::function<void()>& work);
    void startTake();
    void endTake();
    // Ends what is being taken, the recording and the poll of it.
    void stopListening();
    void judge(const std::vector<std::int16_t>& mono, SteadyTime now);
    void placeDigits();
    void decideClosed();
    void say(const QString& state);
    void lose(const QString& why);

    RecordSheet& sheet_;
    const SteadyClock& clock_;
    AnswerReplay replay_;
    RecorderMaker makeRecorder_;
    RecogniserMaker makeRecogniser_;
    std::unique_ptr<AnswerRecogniser> recogniser_;  // made and used on the worker's thread alone
    bool recogniserAsked_ = false;
    QString recogniserProblem_;  // why it could not be made, once known
    std::unique_ptr<SoundRecorder> recorder_;
    long long read_ = 0;                // frames taken from the recorder's recording
    long long takeStarts_ = 0;          // the frame of that recording the take starts at
    SteadyTime lastSound_{};
    MicrophoneJudge judge_;
    bool on_ = false;
    bool lost_ = false;                 // the microphone went: nothing more is taken from it
    QString state_;
    std::map<int, AnswerTake> takes_;   // by administration
    int taking_ = -1;                   // the administration whose take grows; -1: none
    int unheardRest_ = -1;              // one whose rest goes unheard, Listen having been off in it
    std::unique_ptr<EchoRemover> learnt_;  // what the last run's echo remover learnt of the room
    std::size_t digitsPlaced_ = 0;
    std::set<int> asked_;               // answers of the take given to be decided
    std::map<std::pair<int, int>, long long> onsets_;  // of the answers heard, in their take's frames
    int generation_ = 0;                // a new examinee: decisions still under way are dropped
    QTimer poll_;
    std::unique_ptr<DecisionWorker> worker_;  // last: ends before what its jobs use
};
