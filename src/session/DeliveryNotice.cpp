#include "session/DeliveryNotice.h"

#include "protocol/MessageLimits.h"
#include "sound/PacingTimer.h"
#include "sound/SoundOutput.h"

#include <QStringList>
#include <algorithm>
#include <cmath>
#include <map>

namespace {

QString setName(ItemSet set)
{
    switch (set) {
    case ItemSet::Demonstration: return QStringLiteral("demonstration");
    case ItemSet::Practice: return QStringLiteral("practice");
    case ItemSet::Trial: return QStringLiteral("trial");
    }
    return {};
}

QString milliseconds(double ms)
{
    const double size = std::fabs(ms);
    return size < 0.5 ? QStringLiteral("less than 1 ms") : QStringLiteral("%1 ms").arg(std::lround(size));
}

// How far off a digit placed after a correction may be, rounded up: never said closer than it is.
QString boundInWords(const SoundFault& fault)
{
    const double ms = fault.boundMs > 0 ? fault.boundMs : std::fabs(fault.ms);
    return QStringLiteral("%1 ms").arg(std::max(1.0, std::ceil(ms - 1e-9)));
}

// Digits by number, "digit 4", "digits 2, 3 and 5", "digits 1, 2, 3, 4, 5, 6 and 3 more".
QString digitsInWords(QStringList numbers)
{
    if (numbers.size() > kMostDigitsNamed) {
        const int more = int(numbers.size()) - kMostDigitsNamed;
        numbers = numbers.mid(0, kMostDigitsNamed) << QStringLiteral("%1 more").arg(more);
    }
    const QString last = numbers.takeLast();
    return numbers.isEmpty() ? QStringLiteral("digit %1").arg(last)
                             : QStringLiteral("digits %1 and %2").arg(numbers.join(QStringLiteral(", ")), last);
}

// What befell one digit, said of it. A digit that met several faults is named once, by the
// worst: one not heard at all, then one whose timing is unknown, then the largest move.
QString sentence(const SoundFault& fault)
{
    switch (fault.kind) {
    case SoundFault::Kind::NotPlayed: return QStringLiteral("was not heard: the sound output did not play it.");
    case SoundFault::Kind::Restarted:
        return QStringLiteral("came after the sound output had stopped and started again: when it was heard is not known.");
    case SoundFault::Kind::Moved:
        return QStringLiteral("started %1 %2.").arg(milliseconds(fault.ms), fault.ms > 0 ? "late" : "early");
    case SoundFault::Kind::Corrected:
        return QStringLiteral("came after a hold-up of %1, made good from the sound server's report: it may be up to %2 off.")
            .arg(milliseconds(fault.ms), boundInWords(fault));
    case SoundFault::Kind::Held:
        return fault.ms > 0 ? QStringLiteral("was held up by %1: it started late or was broken off.").arg(milliseconds(fault.ms))
                            : QStringLiteral("lost %1 of its sound: it started early or was cut short.").arg(milliseconds(fault.ms));
    case SoundFault::Kind::Rerouted:
        return QStringLiteral("came as the sound moved to another output (headphones plugged in or out, or a change in "
                              "the sound settings): it may have started off time or been broken off.");
    }
    return {};
}

int severity(const SoundFault& fault)
{
    switch (fault.kind) {
    case SoundFault::Kind::NotPlayed: return 1'000'000'000;
    case SoundFault::Kind::Restarted: return 999'999'999;
    case SoundFault::Kind::Rerouted: return 999'999'998;
    case SoundFault::Kind::Corrected: return 0;
    default: return int(std::min(std::fabs(fault.ms) * 1000, 999'999'997.0));
    }
}

// The worst fault of each digit that met any, by its number from 1; slips made good before it
// as one.
std::map<int, SoundFault> worstByDigit(const std::vector<SteadyTime>& dues, const std::vector<SoundFault>& faults)
{
    std::map<int, SoundFault> worst;
    for (const SoundFault& fault : faults) {
        const auto at = std::find(dues.begin(), dues.end(), fault.due);
        if (at == dues.end())
            continue;
        const int number = int(at - dues.begin()) + 1;
        const auto known = worst.find(number);
        if (known != worst.end() && fault.kind == SoundFault::Kind::Corrected && known->second.kind == fault.kind) {
            // Slips made good one after another before the digit: it owes them all.
            known->second.ms += fault.ms;
            known->second.boundMs += fault.boundMs;
        } else if (known == worst.end() || severity(fault) > severity(known->second)) {
            worst[number] = fault;
        }
    }
    return worst;
}

}  // namespace

DeliveryNotice::DeliveryNotice(SoundOutput& output, PacingTimer& settleTimer, QObject* parent)
    : QObject(parent), output_(output), settleTimer_(settleTimer)
{
    settleTimer_.setInterval(kSettleMs);
    connect(&settleTimer_, &PacingTimer::ticked, this, [this] {
        settleTimer_.stop();
        check();
    });
}

void DeliveryNotice::runStarted(ItemSet set)
{
    if (settleTimer_.isActive()) {
        settleTimer_.stop();
        check();
    }
    set_ = set;
    dues_.clear();
    output_.takeFaults();  // between runs: no digit of this one
}

void DeliveryNotice::runFinished()
{
    settleTimer_.start();
}

void DeliveryNotice::digitStarted(SteadyTime due)
{
    dues_.push_back(due);
}

void DeliveryNotice::check()
{
    const std::vector<SoundFault> faults = output_.takeFaults();
    const QString text = notice(set_, dues_, faults);
    if (!dues_.empty())
        emit delivered(onTime(dues_, faults), summary(dues_, faults));
    dues_.clear();
    if (!text.isEmpty())
        emit noticeReady(text);
}

QString DeliveryNotice::notice(ItemSet set, const std::vector<SteadyTime>& dues,
                               const std::vector<SoundFault>& faults)
{
    const std::map<int, SoundFault> worst = worstByDigit(dues, faults);
    if (worst.empty())
        return {};
    const QString name = setName(set);
    QStringList lines;
    for (const auto& [number, fault] : worst) {
        if (lines.size() == kMostDigitsNamed) {
            const int more = int(worst.size()) - kMostDigitsNamed;
            lines << QStringLiteral("%1 more digit%2 of this %3 did not go out on time either.")
                         .arg(more).arg(more == 1 ? "" : "s", name);
            break;
        }
        lines << QStringLiteral("Digit %1 of this %2 %3").arg(number).arg(name, sentence(fault));
    }
    lines << QString() << QStringLiteral("The %1 may need to be given again.").arg(name);
    return lines.join(QLatin1Char('\n'));
}

std::optional<bool> DeliveryNotice::onTime(const std::vector<SteadyTime>& dues, const std::vector<SoundFault>& faults)
{
    const std::map<int, SoundFault> worst = worstByDigit(dues, faults);
    if (std::any_of(worst.begin(), worst.end(), [](const auto& entry) { return entry.second.kind != SoundFault::Kind::Corrected; }))
        return false;
    return worst.empty() ? std::optional<bool>(true) : std::nullopt;
}

QString DeliveryNotice::summary(const std::vector<SteadyTime>& dues, const std::vector<SoundFault>& faults)
{
    const std::map<int, SoundFault> worst = worstByDigit(dues, faults);
    const QString onTime = QStringLiteral("%1 of %2 digits on time").arg(dues.size() - worst.size()).arg(dues.size());
    QStringList off, corrected;
    SoundFault widest{};
    for (const auto& [number, fault] : worst) {
        if (fault.kind != SoundFault::Kind::Corrected) {
            off << QString::number(number);
            continue;
        }
        corrected << QString::number(number);
        if (corrected.size() == 1 || fault.boundMs > widest.boundMs)
            widest = fault;
    }
    QStringList parts;
    if (!off.isEmpty())
        parts << QStringLiteral("%1 %2 not").arg(digitsInWords(off), off.size() == 1 ? "was" : "were");
    if (!corrected.isEmpty())
        parts << QStringLiteral("%1 may be up to %2 off").arg(digitsInWords(corrected), boundInWords(widest));
    return parts.isEmpty() ? onTime : QStringLiteral("%1: %2").arg(onTime, parts.join(QStringLiteral("; ")));
}
