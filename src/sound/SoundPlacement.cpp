#include "sound/SoundPlacement.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

void SoundPlacement::restart(std::int64_t leadFrames, double latencySeconds)
{
    leadFrames_ = leadFrames;
    latency_ = latencySeconds;
    anchored_ = false;
}

std::int64_t SoundPlacement::startFrameFor(SteadyTime due)
{
    const std::int64_t next = rendered_.load();
    if (anchored_) {
        const double seconds = std::chrono::duration<double>(due - anchorDue_).count();
        const std::int64_t frame = anchorFrame_ + std::llround(seconds * rate_);
        const std::int64_t lead = frame - next;
        if (lead >= kMinLeadFrames && lead <= 3 * leadFrames_)
            return frame;
        // Asked for late (the thread that plays was held up past the lead), on a map that still
        // holds: had it come on time, its lead would be fine. It starts as soon as it can, late,
        // and the sounds after it stay on the map, on the grid.
        const double askedLate = std::chrono::duration<double>(clock_.now() - due).count() * rate_;
        const double onTimeLead = double(lead) + askedLate;
        if (lead < kMinLeadFrames && onTimeLead >= kMinLeadFrames && onTimeLead <= 3.0 * double(leadFrames_)) {
            const std::int64_t start = next + kMinLeadFrames;
            faults_.note(due, SoundFault::Kind::Moved, double(start - frame));
            return start;
        }
    }
    // A sound asked for too late to be placed on the map starts late. One whose place lies too
    // far ahead follows a stall of the stream: the new map puts it where it is due, and a slip
    // noticed with the stall names the sound it befell.
    if (anchored_) {
        const double seconds = std::chrono::duration<double>(due - anchorDue_).count();
        const double late = double(next + leadFrames_ - anchorFrame_) - seconds * rate_;
        if (late > 0)
            faults_.note(due, SoundFault::Kind::Moved, late);
    }
    anchored_ = true;
    correction_ = {};  // the new map owes nothing to it
    correctionSize_ = 0;
    // What the stream holds, the lead, and the time since the due time are heard first.
    heardAfterDue_ = std::chrono::duration_cast<SteadyTime::duration>(
        clock_.now() - due + std::chrono::duration<double>(latency_ + double(leadFrames_) / rate_));
    anchorDue_ = due;
    anchorFrame_ = next + leadFrames_;
    ++anchors_;
    // The stream opens at the start of a run, a moment before this: while the server fills its
    // buffer the times it gives step about, which is no slip of a map that did not exist yet.
    forgetSlips_.store(true);
    return anchorFrame_;
}

void SoundPlacement::place(const WaveImage& sound, SteadyTime due, bool restarted)
{
    std::lock_guard lock(mutex_);
    noteUnheard();
    samples_ = sound.samples;
    frames_ = sound.frames;
    position_ = 0;
    startFrame_ = startFrameFor(due);
    faults_.place(due, startFrame_, std::int64_t(sound.frames));
    if (restarted)
        faults_.note(due, SoundFault::Kind::Restarted);
    if (correction_.frames != 0)
        noteCorrected(due, correction_, correctionSize_);
    correction_ = {};
    correctionSize_ = 0;
}

// Either the slips were as measured, and the sound is on the grid to the reports' grain, or the
// reports stepped with nothing lost, and the corrections themselves put the sound off by as
// much as they came to, each in its own direction (`size`, in frames).
void SoundPlacement::noteCorrected(SteadyTime due, const Slip& slip, std::int64_t size)
{
    const double bound = std::max(double(size), double(slip.grain));
    faults_.note(due, SoundFault::Kind::Corrected, double(slip.frames), bound);
}

void SoundPlacement::notPlayed(SteadyTime due)
{
    std::lock_guard lock(mutex_);
    faults_.note(due, SoundFault::Kind::NotPlayed);
}

void SoundPlacement::stop()
{
    std::lock_guard lock(mutex_);
    noteUnheard();
    samples_ = nullptr;
}

// A sound cut off before its first frame went out (the stream stalled past the next one's due
// time) was not heard at all.
void SoundPlacement::noteUnheard()
{
    if (samples_ && position_ == 0)
        faults_.cut();
}

void SoundPlacement::rerouted(const std::vector<SteadyTime>& moves)
{
    std::lock_guard lock(mutex_);
    for (SteadyTime at : moves)
        faults_.reroute(at - heardAfterDue_);
}

void SoundPlacement::forgetReroute()
{
    std::lock_guard lock(mutex_);
    faults_.forgetReroute();
}

std::vector<SoundFault> SoundPlacement::takeFaults()
{
    std::lock_guard lock(mutex_);
    return faults_.take();
}

void SoundPlacement::forgotten(Slip pending)
{
    if (pending.frames == 0)
        return;
    std::lock_guard lock(mutex_);
    faults_.slip(pending.frames, pending.from, rendered_.load());
}

// A slip moves the sound that has not started yet, and the map for those to come, by as much the
// other way, so that they are heard on the grid again.
void SoundPlacement::render(std::int16_t* out, std::size_t frames, Slip slip)
{
    std::memset(out, 0, frames * std::size_t(channels_) * sizeof(std::int16_t));
    const std::int64_t first = rendered_.load();
    {
        std::lock_guard lock(mutex_);
        if (slip.frames != 0 && !forgetSlips_.load()) {  // not if a new map came meanwhile
            anchorFrame_ -= slip.frames;
            ++slipCount_;
            faults_.slip(slip.frames, slip.from, first);
            if (samples_ && position_ == 0) {
                startFrame_ -= slip.frames;
                faults_.move(startFrame_);
                noteCorrected(faults_.newestDue(), slip, std::llabs(slip.frames));
            } else {
                // Told with the next sound placed, with any other slip before it.
                correction_.frames += slip.frames;
                correction_.grain = std::max(correction_.grain, slip.grain);
                correctionSize_ += std::llabs(slip.frames);
            }
        }
        if (samples_ && position_ < frames_) {
            const std::int64_t offset = position_ == 0 ? std::max<std::int64_t>(startFrame_ - first, 0) : 0;
            if (offset < std::int64_t(frames)) {
                if (position_ == 0)
                    faults_.begin(std::max(first, startFrame_));
                const std::size_t n = std::min<std::size_t>(frames - std::size_t(offset), frames_ - position_);
                std::memcpy(out + offset * channels_, samples_ + position_ * std::size_t(channels_),
                            n * std::size_t(channels_) * sizeof(std::int16_t));
                position_ += n;
            }
        }
    }
    rendered_.store(first + std::int64_t(frames));
}
