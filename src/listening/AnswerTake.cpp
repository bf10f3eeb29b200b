#include "listening/AnswerTake.h"

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
    origin_ = told_ ? std::min(*told_, *arrival_) : *arrival_;
    std::vector<std::pair<std::vector<std::int16_t>, SteadyTime>> waiting;
    waiting.swap(waiting_);
    for (const auto& [sound, at] : waiting)
        addDigit(sound, at);
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
    origin_ = arrival_ ? std::min(time, *arrival_) : time;
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
