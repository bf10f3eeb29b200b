#include "sound/SoundFaultLog.h"

#include <utility>

void SoundFaultLog::begin(std::int64_t at)
{
    Placed& sound = placed_[newest_];
    sound.begun = true;
    if (at > sound.from) {
        note(sound.due, SoundFault::Kind::Moved, double(at - sound.from));
        sound.from = at;
    }
}

void SoundFaultLog::slip(std::int64_t frames, std::int64_t from, std::int64_t to)
{
    for (const Placed& sound : placed_)
        if (sound.begun && sound.from < to && sound.from + sound.frames > from)
            note(sound.due, SoundFault::Kind::Held, double(frames));
}

void SoundFaultLog::note(SteadyTime due, SoundFault::Kind kind, double frames, double boundFrames)
{
    if (count_ < faults_.size())
        faults_[count_++] = {due, kind, frames * 1000.0 / rate_, boundFrames * 1000.0 / rate_};
}

std::vector<SoundFault> SoundFaultLog::take()
{
    std::vector<SoundFault> taken(faults_.begin(), faults_.begin() + std::ptrdiff_t(count_));
    count_ = 0;
    return taken;
}

void SoundFaultLog::place(SteadyTime due, std::int64_t from, std::int64_t frames)
{
    const SteadyTime before = placed_[newest_].due;
    placed_[newest_ = (newest_ + 1) % placed_.size()] = {due, from, frames, false};
    if (std::exchange(reroutedAt_, std::nullopt) && due - before <= kRerouteReach)
        note(due, SoundFault::Kind::Rerouted);
}

void SoundFaultLog::reroute(SteadyTime at)
{
    const Placed* hit = nullptr;
    for (const Placed& sound : placed_) {
        const auto length = std::chrono::duration<double>(double(sound.frames) / rate_);
        if (sound.frames > 0 && sound.due + std::chrono::duration_cast<SteadyTime::duration>(length) > at
            && (!hit || sound.due < hit->due))
            hit = &sound;
    }
    if (hit)
        note(hit->due, SoundFault::Kind::Rerouted);
    else
        reroutedAt_ = at;
}
