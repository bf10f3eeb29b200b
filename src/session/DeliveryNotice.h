#pragma once

#include "protocol/ItemSet.h"
#include "sound/SoundFault.h"
#include "sound/SteadyTime.h"

#include <QObject>
#include <QString>
#include <optional>
#include <vector>

class PacingTimer;
class SoundOutput;

// After a run, tells the examiner which digits the sound output could not place exactly on their
// due times, and by how much: a trial given off its pace is not the test the norms describe. A
// run where nothing went wrong says nothing. The output may notice a fault a moment after the
// digit was heard (a slip shows only after a while), so the faults of a finished run are read
// kSettleMs after its last digit was started. A run is everything from a start at its first
// digit to its end, pauses included.
class DeliveryNotice final : public QObject {
    Q_OBJECT
public:
    // Covers the output's lead and latency (about 0.25 s), the longest digit (0.6 s) and the
    // time a slip takes to show (0.4 s).
    static constexpr int kSettleMs = 1500;

    // `settleTimer` is used for the delay only; its first tick reads the faults.
    DeliveryNotice(SoundOutput& output, PacingTimer& settleTimer, QObject* parent = nullptr);

    // A run of `set` starts at its first digit. A run before it still settling is checked first.
    void runStarted(ItemSet set);
    // The run played its last digit: its faults are read once they have settled.
    void runFinished();
    // The digit now started was due at `due`.
    void digitStarted(SteadyTime due);

    // What a notice says about `faults` in a run of `set` whose digits were due at `dues`, in
    // order; empty when none of them concerns those digits.
    static QString notice(ItemSet set, const std::vector<SteadyTime>& dues,
                          const std::vector<SoundFault>& faults);

    // How many of the digits due at `dues` are known to have gone out on time, and which did not
    // or may not have: "61 of 61 digits on time", "59 of 61 digits on time: digits 37 and 40
    // were not", "60 of 61 digits on time: digit 4 may be up to 22 ms off" (placed after a slip
    // was made good), naming as many digits of each kind as a notice does.
    static QString summary(const std::vector<SteadyTime>& dues, const std::vector<SoundFault>& faults);
    // Whether the run went out on time: false where a digit did not, not known where the only
    // faults are slips made good (the reports they were measured from may have been wrong).
    static std::optional<bool> onTime(const std::vector<SteadyTime>& dues, const std::vector<SoundFault>& faults);

signals:
    // A finished run went out on time or not (a fault of any digit of it): in the words of
    // summary(). Before noticeReady().
    void delivered(std::optional<bool> onTime, const QString& summary);
    // A finished run had faults: the text to show the examiner.
    void noticeReady(const QString& text);

private:
    void check();

    SoundOutput& output_;
    PacingTimer& settleTimer_;
    ItemSet set_ = ItemSet::Demonstration;
    std::vector<SteadyTime> dues_;
};
