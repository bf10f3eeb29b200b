#include "listening/AnswerListener.h"

#include "listening/AnswerDecision.h"
#include "listening/AnswerRecogniser.h"
#include "listening/DigitSound.h"
#include "listening/Downsampler.h"
#include "protocol/ItemSet.h"
#include "sound/SoundRecorder.h"
#include "sound/SteadyClock.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

using namespace std::chrono_literals;

namespace {

// Heard again from this long before the answer's onset.
constexpr auto kBeforeOnset = 300ms;

long long framesOf(SteadyTime::duration length)
{
    return std::llround(std::chrono::duration<double>(length).count() * AnswerTake::kRate);
}

}  // namespace

AnswerListener::AnswerListener(RecordSheet& sheet, const SteadyClock& clock, SoundOutput& output, RecorderMaker makeRecorder,
                               RecogniserMaker makeRecogniser, bool threaded, QObject* parent)
    : ListeningService(parent), sheet_(sheet), clock_(clock), replay_(output, clock, sheet), makeRecorder_(std::move(makeRecorder)),
      makeRecogniser_(std::move(makeRecogniser)), worker_(std::make_unique<DecisionWorker>(threaded))
{
    poll_.setInterval(50);
    connect(&poll_, &QTimer::timeout, this, &AnswerListener::poll);
    connect(&sheet_, &RecordSheet::runUnderWay, this, [this] {
        if (on_ && sheet_.shown() != taking_ && !takes_.count(sheet_.shown()))
            startTake();
    });
    connect(&sheet_, &RecordSheet::cleared, this, [this] {
        ++generation_;
        takes_.clear();
        onsets_.clear();
        asked_.clear();
        taking_ = unheardRest_ = -1;
    });
}

AnswerListener::~AnswerListener()
{
    worker_.reset();
    if (recorder_)
        recorder_->stop();
}

void AnswerListener::setOn(bool on)
{
    if (on == on_ && (!on || !lost_))
        return;
    lost_ = false;
    on_ = on;
    if (!on) {
        stopListening();
        judge_.quiet();
        say({});
        return;
    }
    if (!recogniserAsked_)
        startRecogniser();
    if (!recogniserProblem_.isEmpty()) {
        say(recogniserProblem_ + QStringLiteral(" The answers are marked by keys alone."));
        return;
    }
    startRecorder();
    if (!recorder_)
        return;
    poll_.start();
    // Turned on in a run: the rest of it is heard, unless it was heard before Listen was turned
    // off, whose take cannot go on after the gap.
    if (sheet_.givingNow() && !takes_.count(sheet_.shown()))
        startTake();
    else if (sheet_.givingNow())
        unheardRest_ = sheet_.shown();
}

// Made, and heard once, on the worker's thread: loading the model and its first pass over memory
// take a good part of a second, which the window's thread, where digits are started, must not
// wait for; nor may a run's first answers pay for them.
void AnswerListener::startRecogniser()
{
    recogniserAsked_ = true;
    worker_->run([this] {
        QString problem;
        recogniser_ = makeRecogniser_(problem);
        if (recogniser_)
            recogniser_->hear(std::vector<std::int16_t>(AnswerRecogniser::kRate / 2, 0));
        else if (problem.isEmpty())
            problem = QStringLiteral("The speech recogniser could not be started.");
        const auto deliver = [this, problem] {
            if (problem.isEmpty())
                return;
            recogniserProblem_ = problem;
            if (on_) {
                stopListening();
                say(recogniserProblem_ + QStringLiteral(" The answers are marked by keys alone."));
            }
        };
        onWindowThread(deliver);
    });
}

// From a job: `work` is done on the window's thread, once it is back there; never after this
// object has gone.
void AnswerListener::onWindowThread(const std::function<void()>& work)
{
    if (worker_->threaded())
        QMetaObject::invokeMethod(this, work, Qt::QueuedConnection);
    else
        work();
}

void AnswerListener::startRecorder()
{
    if (!recorder_)
        recorder_ = makeRecorder_();
    else
        recorder_->stop();
    read_ = 0;
    lastSound_ = clock_.now();
    judge_.restart(lastSound_);
    if (!recorder_ || !recorder_->start(SoundRecorder::Source::Microphone)) {
        say(QStringLiteral("No microphone could be opened: the answers are marked by keys alone."));
        return;
    }
    say(QStringLiteral("Listening: the answers of the runs that follow are marked for you to check."));
}

// The recording goes on as it was, without the pause of opening a new one as the run starts:
// between runs it is kept short enough for a whole trial to fit after it.
void AnswerListener::startTake()
{
    endTake();
    taking_ = sheet_.shown();
    takes_[taking_] = AnswerTake(std::move(learnt_));
    takeStarts_ = read_;
    digitsPlaced_ = 0;
    asked_.clear();
}

void AnswerListener::endTake()
{
    if (taking_ >= 0)
        learnt_ = takes_[taking_].finish();
    taking_ = -1;
}

void AnswerListener::poll()
{
    if (!on_ || !recorder_ || lost_)
        return;
    const SteadyTime now = clock_.now();
    const QByteArray bytes = recorder_->recordedFrom(read_);
    if (bytes.isEmpty()) {
        if (now - lastSound_ > MicrophoneJudge::kFor)
            lose(QStringLiteral("The microphone stopped sending sound"));
        return;
    }
    const std::vector<std::int16_t> mono = Downsampler::monoOf(bytes);
    read_ += (long long)(mono.size());
    lastSound_ = now;
    judge(mono, now);
    if (taking_ >= 0) {
        if (const std::optional<SteadyTime> captured = recorder_->firstFrameCaptured())
            takes_[taking_].anchor(*captured + std::chrono::duration_cast<SteadyTime::duration>(
                                                   std::chrono::duration<double>(double(takeStarts_) / AnswerTake::kRate)));
        takes_[taking_].add(mono, now);
        placeDigits();
        decideClosed();
    } else if (read_ > framesOf(kRestartAfter)) {
        startRecorder();
    }
}

// The level shown, and what the sound says of the microphone.
void AnswerListener::judge(const std::vector<std::int16_t>& mono, SteadyTime now)
{
    const MicrophoneJudge::Verdict verdict = judge_.judge(mono, now);
    emit levelChanged();
    using Verdict = MicrophoneJudge::Verdict;
    if (verdict == Verdict::Clipped)
        say(QStringLiteral("The microphone is far too loud, its sound clipped: turn its level down."));
    else if (verdict == Verdict::Silent)
        say(QStringLiteral("The microphone is silent: check that it is plugged in and not muted."));
    else if (verdict == Verdict::Noisy)
        say(QStringLiteral("The room is too noisy for the answers to be heard: check the marks, or mark by keys."));
    else if (unheardRest_ >= 0 && unheardRest_ == sheet_.shown() && sheet_.givingNow())
        say(QStringLiteral("Listen was off during this run: its answers from then on are marked by keys alone. "
                           "The next run is heard whole."));
    else
        say(QStringLiteral("Listening: the answers of the runs that follow are marked for you to check."));
}

void AnswerListener::placeDigits()
{
    const SheetAdministration& given = sheet_.administrations()[std::size_t(taking_)];
    const std::span<const int> digits = digitsOf(given.set);
    for (; digitsPlaced_ < given.heard.size(); ++digitsPlaced_)
        takes_[taking_].addDigit(digitSound(digits[digitsPlaced_]), given.heard[digitsPlaced_]);
}

void AnswerListener::decideClosed()
{
    AnswerTake& take = takes_[taking_];
    const SheetAdministration& given = sheet_.administrations()[std::size_t(taking_)];
    for (int item = 0; item < given.presented(); ++item) {
        const std::optional<RecordSheet::Window> window = sheet_.window({taking_, item});
        if (asked_.count(item) || !window || take.cleanedFrames() < take.frameAt(window->to + kTail))
            continue;
        asked_.insert(item);
        AnswerDecision::Stretch stretch;
        stretch.from = take.frameAt(window->from);
        // Begun before Listen was turned on in the run: not heard, left to the keys.
        if (stretch.from < 0)
            continue;
        stretch.to = take.frameAt(window->to);
        stretch.secondHeard = take.frameAt(given.heard[std::size_t(item) + 1]);
        for (const SteadyTime digit : given.heard)
            stretch.digits.push_back(take.frameAt(digit));
        stretch.first = std::clamp(stretch.from - framesOf(kBeforeOnset), 0LL, take.cleanedFrames());
        const long long end = std::min(take.cleanedFrames(), take.frameAt(window->to + kTail));
        auto samples = std::make_shared<std::vector<std::int16_t>>(take.cleaned().begin() + stretch.first, take.cleaned().begin() + end);
        const long long sent = std::min(end, (long long)(take.reference().size()));
        auto reference = std::make_shared<std::vector<std::int16_t>>(take.reference().begin() + std::min(stretch.first, sent),
                                                                     take.reference().begin() + sent);
        const RecordSheet::Answer answer{taking_, item};
        const int generation = generation_;
        auto echoLeft = std::make_shared<std::vector<float>>(take.echoLeft().begin() + stretch.first, take.echoLeft().begin() + end);
        worker_->run([this, samples, reference, echoLeft, stretch, answer, generation]() mutable {
            stretch.cleaned = *samples;
            stretch.reference = *reference;
            stretch.echoLeft = *echoLeft;
            if (!recogniser_)
                return;
            const AnswerDecision decision = AnswerDecision::decide(stretch, *recogniser_);
            const auto deliver = [this, decision, answer, generation] {
                if (generation != generation_)
                    return;
                if (decision.onset >= 0)
                    onsets_[{answer.administration, answer.item}] = decision.onset;
                sheet_.setVoice(answer, decision.voice);
            };
            onWindowThread(deliver);
        });
    }
    if (given.ended && int(asked_.size()) >= given.presented())
        endTake();
}

void AnswerListener::lose(const QString& why)
{
    if (taking_ >= 0 && sheet_.givingNow())
        say(why + QStringLiteral(" during the run: the answers after it were not heard; mark them by keys."));
    else
        say(why + QStringLiteral(": check that it is plugged in. The answers are marked by keys alone."));
    // Until Listen is turned on again, which tries a new recording.
    stopListening();
    lost_ = true;
    judge_.quiet();
    emit levelChanged();
}

void AnswerListener::stopListening()
{
    poll_.stop();
    endTake();
    if (recorder_)
        recorder_->stop();
}

void AnswerListener::say(const QString& state)
{
    if (state == state_)
        return;
    state_ = state;
    emit stateChanged();
}

QString AnswerListener::hearAgain(RecordSheet::Answer answer)
{
    const auto take = takes_.find(answer.administration);
    const std::optional<RecordSheet::Window> window = sheet_.window(answer);
    if (take == takes_.end() || !window)
        return QStringLiteral("Answer %1 was not recorded: the program did not listen to it.").arg(answer.item + 1);
    const SheetAdministration& given = sheet_.administrations()[std::size_t(answer.administration)];
    if (given.running)
        return QStringLiteral("Answers can be heard again while the run is paused or once it is over.");
    const auto onset = onsets_.find({answer.administration, answer.item});
    const long long from = std::max(0LL, (onset != onsets_.end() ? onset->second : take->second.frameAt(window->from))
                                              - framesOf(kBeforeOnset));
    const long long to = std::min(take->second.frames(), take->second.frameAt(window->to));
    if (to <= from)
        return QStringLiteral("Answer %1 was not recorded: the program did not listen to it.").arg(answer.item + 1);
    return replay_.play(std::span(take->second.heard()).subspan(std::size_t(from), std::size_t(to - from)));
}

bool AnswerListener::saveRecording(int administration, const QString& path) const
{
    const auto take = takes_.find(administration);
    return take != takes_.end() && AnswerReplay::save(take->second.heard(), path);
}
