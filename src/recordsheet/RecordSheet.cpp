#include "recordsheet/RecordSheet.h"

#include "recordsheet/SheetCounts.h"
#include "session/TestSession.h"

#include <algorithm>

RecordSheet::RecordSheet(const SteadyClock& clock, QObject* parent) : QObject(parent), clock_(clock) {}

void RecordSheet::follow(const TestSession& session)
{
    const RunEngine& engine = session.engine();
    // The practice's number goes where a trial's pace does.
    const auto variant = [&engine] { return engine.itemSet() == ItemSet::Practice ? engine.practice() - 1 : engine.pace(); };
    connect(&session, &TestSession::runStarted, this, [this, &engine, variant] { runStarted(engine.itemSet(), variant()); });
    connect(&session, &TestSession::runPaused, this, &RecordSheet::runPaused);
    connect(&session, &TestSession::runResumed, this, &RecordSheet::runResumed);
    connect(&session, &TestSession::runFinished, this, &RecordSheet::runFinished);
    connect(&session, &TestSession::digitPlayed, this, [this](SteadyTime, SteadyTime heard) { digitStarted(heard); });
    connect(&session, &TestSession::rewound, this, [this, &engine, variant] { rewound(engine.itemSet(), variant()); });
    connect(&session, &TestSession::delivered, this, &RecordSheet::delivered);
}

// A start that was paused before its first digit is still the same administration.
void RecordSheet::runStarted(ItemSet set, int pace)
{
    if (const SheetAdministration fresh(set, pace); !sameGiving(current_, fresh) || !at(current_).heard.empty()) {
        if (current_ >= 0)
            at(current_).ended = true;
        administrations_.push_back(fresh);
        current_ = int(administrations_.size()) - 1;
        at(current_).started = QDateTime::currentDateTime();
    }
    at(current_).ended = false;
    at(current_).running = true;
    chosen_ = SheetAdministration(set, pace);
    shown_ = current_;
    emit listChanged();
    emit changed();
    emit runUnderWay();
}

// A run continued after a pause; one begun before the sheet was cleared is not on it.
void RecordSheet::runResumed()
{
    if (current_ >= 0) {
        SheetAdministration& given = at(current_);
        if (!given.pauses.empty() && !given.pauses.back().to)
            given.pauses.back().to = clock_.now();
        given.running = true;
        shown_ = current_;
    }
    emit listChanged();
    emit changed();
    emit runUnderWay();
}

// Paused, also before its first digit, the run may go on: its digits are to come to this sheet.
void RecordSheet::runPaused()
{
    if (current_ >= 0) {
        SheetAdministration& given = at(current_);
        given.running = false;
        // One before its first digit is no pause of the administration: nothing of it was heard.
        if (!given.heard.empty())
            given.pauses.push_back({int(given.heard.size()), clock_.now(), std::nullopt});
    }
    emit changed();
}

void RecordSheet::runFinished()
{
    if (current_ >= 0) {
        at(current_).running = false;
        at(current_).ended = true;
    }
    emit changed();
}

void RecordSheet::digitStarted(SteadyTime heard)
{
    if (current_ < 0)
        return;
    SheetAdministration& given = at(current_);
    if (!given.finished())
        given.heard.push_back(heard);
    emit changed();
}

void RecordSheet::rewound(ItemSet set, int pace)
{
    if (current_ >= 0)
        at(current_).ended = true;
    show(set, pace);
}

void RecordSheet::show(ItemSet set, int pace)
{
    chosen_ = SheetAdministration(set, pace);
    shown_ = -1;
    for (int n = int(administrations_.size()) - 1; n >= 0 && shown_ < 0; --n)
        if (sameGiving(n, chosen_))
            shown_ = n;
    emit listChanged();
    emit changed();
}

void RecordSheet::delivered(std::optional<bool> onTime, const QString& summary)
{
    if (current_ < 0)
        return;
    at(current_).onTime = onTime;
    at(current_).delivery = summary;
    emit changed();
}

std::optional<RecordSheet::Answer> RecordSheet::answerAt(SteadyTime time, bool withGrace) const
{
    if (current_ < 0)
        return std::nullopt;
    const SheetAdministration& given = at(current_);
    const std::vector<SteadyTime>& heard = given.heard;
    // The last digit heard by `time`.
    int last = int(std::upper_bound(heard.begin(), heard.end(), time) - heard.begin()) - 1;
    if (last < 1)
        return std::nullopt;
    if (last == int(heard.size()) - 1 && given.ended && time >= heard.back() + given.interval())
        return std::nullopt;
    if (withGrace && last >= 2 && time - heard[std::size_t(last)] < kGrace)
        --last;
    if (last < 1)
        return std::nullopt;
    return Answer{current_, last - 1};
}

std::optional<RecordSheet::Answer> RecordSheet::markAwaited(SheetMark mark)
{
    const std::optional<Answer> answer = answerAt(clock_.now(), true);
    if (answer)
        setMark(*answer, mark);
    return answer;
}

bool RecordSheet::validAnswer(Answer answer) const
{
    // An answer not presented yet, or never to be, takes no mark.
    return answer.administration >= 0 && answer.administration < int(administrations_.size()) && answer.item >= 0
           && answer.item < at(answer.administration).presented();
}

void RecordSheet::setMark(Answer answer, SheetMark mark)
{
    if (!validAnswer(answer))
        return;
    SheetAdministration& given = at(answer.administration);
    const std::size_t item = std::size_t(answer.item);
    made_.push_back({answer, given.marks[item], given.byExaminer[item]});
    given.marks[item] = mark;
    given.byExaminer[item] = true;
    unsaved_ = true;
    emit changed();
}

void RecordSheet::setVoice(Answer answer, const SheetVoice& voice)
{
    if (!validAnswer(answer))
        return;
    SheetAdministration& given = at(answer.administration);
    const std::size_t item = std::size_t(answer.item);
    given.voice[item] = voice;
    if (!given.byExaminer[item])
        given.marks[item] = voice.mark(given.sums[item]);
    unsaved_ = unsaved_ || given.marks[item] != SheetMark::None;
    emit changed();
}

std::optional<RecordSheet::Window> RecordSheet::window(Answer answer) const
{
    if (answer.administration < 0 || answer.administration >= int(administrations_.size()))
        return std::nullopt;
    const SheetAdministration& given = at(answer.administration);
    const std::size_t second = std::size_t(answer.item) + 1;
    if (answer.item < 0 || second >= given.heard.size())
        return std::nullopt;
    const SteadyTime from = given.heard[second] + (answer.item > 0 ? kGrace : SteadyTime::duration{});
    if (second + 1 < given.heard.size())
        return Window{from, given.heard[second + 1] + kGrace};
    if (given.ended)
        return Window{from, given.heard[second] + given.interval()};
    return std::nullopt;
}

// The voice's mark comes back where the examiner's is taken back to none of theirs.
bool RecordSheet::takeBack()
{
    if (made_.empty())
        return false;
    const Made last = made_.back();
    made_.pop_back();
    SheetAdministration& given = at(last.answer.administration);
    const std::size_t item = std::size_t(last.answer.item);
    given.byExaminer[item] = last.byExaminer;
    given.marks[item] = !last.byExaminer && given.voice[item] ? given.voice[item]->mark(given.sums[item]) : last.before;
    unsaved_ = true;
    emit changed();
    return true;
}

void RecordSheet::clear()
{
    administrations_.clear();
    made_.clear();
    current_ = shown_ = -1;
    unsaved_ = false;
    ageGroup_ = 0;
    emit cleared();
    emit listChanged();
    emit changed();
}

// The report saved before does not have it: with marks to report, it is to be saved again.
void RecordSheet::setAgeGroup(std::uint8_t code)
{
    if (code == ageGroup_)
        return;
    ageGroup_ = code;
    unsaved_ = unsaved_ || hasMarks();
    emit changed();
}

void RecordSheet::setNotes(int administration, const QString& notes)
{
    if (administration < 0 || administration >= int(administrations_.size()) || at(administration).notes == notes)
        return;
    at(administration).notes = notes;
    unsaved_ = true;
    emit changed();
}

bool RecordSheet::hasMarks() const
{
    return std::any_of(administrations_.begin(), administrations_.end(), [](const SheetAdministration& given) {
        return std::any_of(given.marks.begin(), given.marks.end(), [](SheetMark m) { return m != SheetMark::None; });
    });
}

int RecordSheet::ordinal(int administration) const
{
    int n = 1;
    for (int earlier = 0; earlier < administration; ++earlier)
        n += sameGiving(earlier, at(administration)) ? 1 : 0;
    return n;
}

bool RecordSheet::superseded(int administration) const
{
    for (int later = administration + 1; later < int(administrations_.size()); ++later)
        if (sameGiving(later, at(administration)))
            return true;
    return false;
}

bool RecordSheet::sameGiving(int administration, const SheetAdministration& other) const
{
    return administration >= 0 && at(administration).set == other.set && at(administration).pace == other.pace;
}

const SheetAdministration* RecordSheet::latestTrial(int pace) const
{
    for (auto given = administrations_.rbegin(); given != administrations_.rend(); ++given)
        if (given->isTrial() && given->pace == pace)
            return &*given;
    return nullptr;
}

std::optional<int> RecordSheet::rawScore(int pace) const
{
    const SheetAdministration* given = latestTrial(pace);
    if (!given || std::all_of(given->marks.begin(), given->marks.end(), [](SheetMark m) { return m == SheetMark::None; }))
        return std::nullopt;
    return SheetCounts::of(*given).correct;
}

bool RecordSheet::givingNow() const
{
    return current_ >= 0 && !at(current_).ended;
}
