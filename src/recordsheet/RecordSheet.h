#pragma once

#include "recordsheet/SheetAdministration.h"
#include "sound/SteadyClock.h"

#include <QObject>
#include <cstdint>
#include <optional>
#include <vector>

class TestSession;

// The examiner's sheet behind its window: every administration since the sheet was last cleared,
// the answer awaited now, and the marks. Needs no window: it follows the session's runs, and the
// sheet's window passes on what the examiner keys.
//
// The sheet also holds the examinee's age group, wherever it was chosen: on the sheet or in the
// scoring window.
//
// An answer is awaited from the moment its second digit is heard until the next digit is heard;
// the last stays awaited for one interval after the last digit. A mark made within kGrace of a
// digit being heard belongs to the answer awaited before it, to which the examinee may still be
// speaking. An administration starts with a run at its first digit; a trial given again keeps
// the earlier one, and only the latest counts. An answer takes a mark only once it was presented.
class RecordSheet final : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kGrace{300};

    struct Answer {
        int administration = 0;
        int item = 0;  // from 0: answer n + 1 adds digits n + 1 and n + 2
        bool operator==(const Answer&) const = default;
    };
    // Where the voice of an answer begins: from its second digit heard (after the grace of the
    // answer before it) until the grace after its next digit heard, or one interval after its
    // second digit where no digit is to come.
    struct Window {
        SteadyTime from, to;
    };

    // `clock` tells the time of each mark; it is the one digits are heard on, and outlives the sheet.
    explicit RecordSheet(const SteadyClock& clock, QObject* parent = nullptr);

    // Follows `session`'s runs; the session outlives the sheet.
    void follow(const TestSession& session);

    // What the run does: a start at its first digit, a pause, going on after one, the end at
    // its last digit.
    void runStarted(ItemSet set, int pace);
    void runPaused();
    void runResumed();
    void runFinished();
    // The run's next digit leaves the speakers at `heard`.
    void digitStarted(SteadyTime heard);
    // Back at the first digit of the set chosen (a choice, or "Reset Trial"): a paused run will
    // not go on.
    void rewound(ItemSet set, int pace);
    // How the last run went out, once known.
    void delivered(std::optional<bool> onTime, const QString& summary);

    // What the examiner does. A key's mark goes to the answer awaited as it is pressed; none
    // where no answer is.
    std::optional<Answer> markAwaited(SheetMark mark);
    // Takes back the last mark made, restoring what it replaced; false where none is left.
    bool takeBack();
    void setMark(Answer answer, SheetMark mark);
    // What the program heard of `answer`: its mark stands where the examiner set none.
    void setVoice(Answer answer, const SheetVoice& voice);
    // None where the window is not known yet: its next digit is still to come.
    std::optional<Window> window(Answer answer) const;
    // A new examinee: no administrations, no marks, no age group.
    void clear();
    // 16, 30 or 50; 0: none chosen.
    std::uint8_t ageGroup() const { return ageGroup_; }
    // Makes the sheet unsaved again where it holds marks: the report saved has another age group.
    void setAgeGroup(std::uint8_t code);
    // The examiner's notes on an administration.
    void setNotes(int administration, const QString& notes);
    bool hasMarks() const;

    const std::vector<SheetAdministration>& administrations() const { return administrations_; }
    // The answer awaited now (without the grace: the one to show); none between runs.
    std::optional<Answer> awaited() const { return answerAt(clock_.now(), false); }
    // The administration the sheet shows: the one under way, or the latest of the set chosen;
    // -1 before that set was given.
    int shown() const { return shown_; }
    // The set chosen, as a sheet without marks.
    const SheetAdministration& chosen() const { return chosen_; }
    // Whether the same set (a trial: at the same pace) was given again after it.
    bool superseded(int administration) const;
    // Which giving of its set it is: 1 for the first, 2 for the one given again, and so on.
    int ordinal(int administration) const;
    // The latest administration of the trial at `pace` (0 to 3), or null.
    const SheetAdministration* latestTrial(int pace) const;
    // The raw score of that administration, where any of its answers was marked.
    std::optional<int> rawScore(int pace) const;

    // Whether a run of the sheet's goes, or is paused, and may go on.
    bool givingNow() const;
    // Whether marks, notes or the age group changed since the last report saved or printed,
    // where there are marks to report.
    bool hasUnsavedMarks() const { return unsaved_; }
    void markSaved() { unsaved_ = false; }

signals:
    // Anything the sheet shows changed: a digit heard, a mark, a run's state, its delivery.
    void changed();
    // The administrations, the set chosen or the one the sheet shows changed (before changed()).
    void listChanged();
    // A run started or went on after a pause.
    void runUnderWay();
    // A new examinee: nothing of the one before is to be kept.
    void cleared();

private:
    std::optional<Answer> answerAt(SteadyTime time, bool withGrace) const;
    void show(ItemSet set, int pace);
    bool sameGiving(int administration, const SheetAdministration& other) const;
    SheetAdministration& at(int administration) { return administrations_[std::size_t(administration)]; }
    const SheetAdministration& at(int administration) const { return administrations_[std::size_t(administration)]; }

    struct Made {
        Answer answer;
        SheetMark before;
        bool byExaminer;
    };
    bool validAnswer(Answer answer) const;

    const SteadyClock& clock_;
    std::vector<SheetAdministration> administrations_;
    int current_ = -1;  // the one whose run is under way, paused or last ended
    int shown_ = -1;
    SheetAdministration chosen_{ItemSet::Demonstration, -1};
    std::vector<Made> made_;  // for takeBack(), last last
    bool unsaved_ = false;
    std::uint8_t ageGroup_ = 0;
};
