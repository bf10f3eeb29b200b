#pragma once

#include "listening/AnswerRecogniser.h"

#include <cmath>
#include <cstdlib>

// Hears the tone voice of the listening tests: a sum n is a tone of 300 + 40 n Hz, and anything
// else (noise, a chirp) is something said that is no sum; tones apart are sums said one after
// the other. Each loud stretch is cut into pieces of 40 ms, whose frequency is told from their
// zero crossings; the pieces at its edges, which hold part of the ramp, are not counted.
struct ToneRecogniser final : AnswerRecogniser {
    static double frequencyOf(int sum) { return 300.0 + 40.0 * sum; }

    Heard hear(std::span<const std::int16_t> samples) override
    {
        ++heard;
        Heard said;
        constexpr std::size_t kPiece = kRate / 25;
        std::vector<int> run;  // the sums of the loud pieces in a row; 0 for one that is none
        const auto endRun = [&] {
            bool tone = false;
            for (std::size_t n = 1; n + 1 < run.size(); ++n)
                if (run[n] != 0 && (said.sums.empty() || said.sums.back() != run[n] || !tone)) {
                    if (!tone || said.sums.back() != run[n])
                        said.sums.push_back(run[n]);
                    tone = true;
                }
            if (!run.empty() && !tone)
                said.somethingSaid = true;
            run.clear();
        };
        for (std::size_t at = 0; at + kPiece <= samples.size(); at += kPiece) {
            int peak = 0, crossings = 0;
            for (std::size_t i = at; i < at + kPiece; ++i) {
                peak = std::max(peak, std::abs(int(samples[i])));
                crossings += i > at && (samples[i - 1] < 0) != (samples[i] < 0) ? 1 : 0;
            }
            if (peak < 200) {
                endRun();
                continue;
            }
            const double frequency = crossings / 2.0 * 25.0;
            const int sum = int(std::lround((frequency - 300.0) / 40.0));
            run.push_back(sum >= 2 && sum <= 18 && std::abs(frequency - frequencyOf(sum)) <= 13 ? sum : 0);
        }
        endRun();
        if (!said.sums.empty())
            said.somethingSaid = false;
        said.confidence = 0.9;
        return said;
    }
    int heard = 0;
};
