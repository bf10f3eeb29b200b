#include "listening/AnswerTake.h"
#include "listening/EchoAlignment.h"

#include <algorithm>
#include <cmath>

AnswerTake::AnswerTake(std::unique_ptr<EchoRemover> learnt) : echo_(learnt ? std::move(learnt) : std::make_unique<EchoRemover>())
{
    echo_->startAnew();
}

void AnswerTake::add(const std::vector<std::int16_t>& mono, SteadyTime now)
{
    heard_.insert(heard_.end(), mono.begin(), mono.end());
    const auto recorded = std::chrono::duration_cast<SteadyTime::duration>(std::chrono::duration<double>(double(heard_.size()) / kRate));
    if (!arrival_ || now - recorded < *arrival_)
        arrival_ = now - recorded;
    settleOrigin();
    std::vector<std::pair<std::vector<std::int16_t>, SteadyTime>> waiting;
    waiting.swap(waiting_);
    for (const auto& [sound, at] : waiting)
        addDigit(sound, at);
    if (!aligned_ && !laid_.empty()
        && frames() >= frameAt(laid_.front().second) + (long long)(laid_.front().first.size()) + EchoAlignment::kLatestFrames)
        alignByEcho();
    // The digits are known before they sound: the reference is ready for what was heard.
    if (reference_.size() < heard_.size())
        reference_.resize(heard_.size(), 0);
    if (echo_ && heard_.size() > fedToEcho_) {
        const std::size_t n = heard_.size() - fedToEcho_;
        const EchoRemover::Cleaned out = echo_->process(std::span(heard_).subspan(fedToEcho_, n),
                                                        std::span(reference_).subspan(fedToEcho_, n));
        cleaned_.insert(cleaned_.end(), out.sound.begin(), out.sound.end());
        echoLeft_.insert(echoLeft_.end(), out.echoLeft.begin(), out.echoLeft.end());
        fedToEcho_ = heard_.size();
    }
}

// A digit whose place falls on frames already given to the echo remover keeps only its rest.
void AnswerTake::addDigit(const std::vector<std::int16_t>& sound, SteadyTime heard)
{
    if (!origin_) {
        waiting_.emplace_back(sound, heard);
        return;
    }
    if (!aligned_)
        laid_.emplace_back(sound, heard);
    const long long at = frameAt(heard - kReferenceLead);
    const long long end = at + (long long)(sound.size());
    if (end <= (long long)(fedToEcho_))
        return;
    if (reference_.size() < std::size_t(end))
        reference_.resize(std::size_t(end), 0);
    for (long long frame = std::max(at, (long long)(fedToEcho_)); frame < end; ++frame)
        reference_[std::size_t(frame)] = sound[std::size_t(frame - at)];
}

void AnswerTake::anchor(SteadyTime time)
{
    told_ = time;
    settleOrigin();
}

void AnswerTake::settleOrigin()
{
    const std::optional<SteadyTime> bound = told_ && arrival_ ? std::min(*told_, *arrival_) : told_ ? told_ : arrival_;
    if (bound)
        origin_ = *bound - byEcho_;
}

void AnswerTake::alignByEcho()
{
    aligned_ = true;
    const auto& [sound, heard] = laid_.front();
    const long long at = frameAt(heard - kReferenceLead);
    const std::optional<long long> late = EchoAlignment::echoLate(heard_, sound, at);
    if (late) {
        // Placed anew so that the echo comes as the digit leaves the speakers, as it would in a
        // room: its true delay there is a few ms, which the latencies then leave out.
        byEcho_ = std::chrono::duration_cast<SteadyTime::duration>(std::chrono::duration<double>(double(*late) / kRate))
                  - kReferenceLead;
        settleOrigin();
        std::vector<std::pair<std::vector<std::int16_t>, SteadyTime>> laid;
        laid.swap(laid_);
        reference_.assign(heard_.size(), 0);
        cleaned_.clear();
        echoLeft_.clear();
        fedToEcho_ = 0;
        echo_ = std::make_unique<EchoRemover>();  // what it learnt was of echoes laid that far off
        for (const auto& [digit, when] : laid)
            addDigit(digit, when);
    }
    laid_.clear();
}

long long AnswerTake::frameAt(SteadyTime time) const
{
    return origin_ ? std::llround(std::chrono::duration<double>(time - *origin_).count() * kRate) : 0;
}

SteadyTime AnswerTake::timeAt(long long frame) const
{
    return origin_.value_or(SteadyTime{})
           + std::chrono::duration_cast<SteadyTime::duration>(std::chrono::duration<double>(double(frame) / kRate));
}

std::unique_ptr<EchoRemover> AnswerTake::finish()
{
    cleaned_ = {};
    echoLeft_ = {};
    reference_ = {};
    waiting_.clear();
    return std::move(echo_);
}
