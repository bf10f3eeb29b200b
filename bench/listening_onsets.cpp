// Measures how well the answers' onsets are found, on synthetic answers: the sums "two" to
// "eighteen" and three corrected answers ("twelve no thirteen", "eight eighteen", "six seven",
// with pauses of 80 to 220 ms) spoken by six synthetic voices, placed at known onsets in a
// 44.1 kHz track, an item every 2.5 s, the answer 0.5 to 1.3 s after its digit began (over the
// digit's end at times). Four conditions: nothing else ("clean"); the program's digits, in a
// voice no answer has, heard through a room at the voice's level as the echo, with the clean
// digit track as the reference, 10 to 50 ms early ("room"); pink noise 20 dB under the voice
// ("noise"); both ("room+noise"). The echo is taken out by EchoRemover, fed in 100 ms blocks,
// before the onsets are looked for.
//
// Prints, per voice and condition: the onset error (detected minus true, ms; the true onset is
// defined in SynthesisedWord.h) as median, 5th and 95th percentiles, and 95th percentile of its
// size; answers missed; utterances found where there was no answer (extra); the echo's
// attenuation (ERLE) where only the echo sounds, after the first two items; what finding the
// onsets and removing the echo cost per second of sound. Then the same pooled over the voices the
// method was tuned on (the first three) and over the three held out.
//
//   listening_onsets [--voices all|tuning|held-out] [--condition <name>] [--seed <n>]
//                    [--frame <samples>] [--tail-ms <ms>] [--suppression] [--no-echo-floor]
//                    [--verbose]
//     --frame, --tail-ms, --suppression  the echo remover's settings (default: its own)
//     --no-echo-floor  does not give the onsets the echo the remover estimates it left
//     --verbose        names each answer found 20 ms or more off, and prints the ERLE per item
//
// Needs espeak-ng, flite, festival (text2wave, voice_cmu_us_slt_arctic_hts) and sox.
#include "SynthesisedWord.h"
#include "SyntheticRoom.h"
#include "listening/EchoRemover.h"
#include "listening/SpeechOnsets.h"
#include "sound/Median.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <random>

namespace {

using SyntheticRoom::add;
using Sound = std::vector<float>;
using Voice = SynthesisedWord::Voice;

constexpr int kRate = 44100;
constexpr double kVoiceRms = 0.1;                   // -20 dBFS, over a word's sounding part
constexpr long long kSlot = 2 * kRate + kRate / 2;  // an item every 2.5 s
// The program gives the reference this far early: the room's delay and an alignment that may be
// off by 20 ms either way then fall inside the canceller's tail, never before it.
constexpr long long kReferenceLead = kRate * 30 / 1000;

const char* const kSums[] = {"two", "three", "four", "five", "six", "seven", "eight", "nine", "ten", "eleven",
                              "twelve", "thirteen", "fourteen", "fifteen", "sixteen", "seventeen", "eighteen"};
const char* const kDigits[] = {"one", "two", "three", "four", "five", "six", "seven", "eight", "nine"};
const char* const kConditions[] = {"clean", "room", "noise", "room+noise"};

const Voice kVoices[] = {
    {"espeak-ng en-us", {"espeak-ng", "-v", "en-us", "-w", "%o", "%t"}, true},
    {"flite kal", {"flite", "-voice", "kal", "-t", "%t", "-o", "%o"}, true},
    {"flite awb", {"flite", "-voice", "awb", "-t", "%t", "-o", "%o"}, true},
    {"espeak-ng en+f2", {"espeak-ng", "-v", "en+f2", "-w", "%o", "%t"}, false},
    {"flite slt", {"flite", "-voice", "slt", "-t", "%t", "-o", "%o"}, false},
    {"festival slt hts", {"sh", "-c", "echo '%t' | text2wave -eval '(voice_cmu_us_slt_arctic_hts)' -o %o"}, false},
};
const Voice kDigitVoice = {"flite rms", {"flite", "-voice", "rms", "-t", "%t", "-o", "%o"}, false};

bool verbose = false;

struct Answer {
    long long onset, end;
    QString words;
};

// One voice's takes: what the examinee says, the digits played and their echo, the noise.
struct Take {
    Sound voice, echo, reference, noise;
    std::vector<Answer> answers;
};

struct Result {
    std::vector<double> errors;  // ms
    int answers = 0, missed = 0, extra = 0;
    double echoIn = 0, echoOut = 0;  // energies where only the echo sounds
    double audioSeconds = 0, onsetSeconds = 0, echoSeconds = 0;

    void pool(const Result& r)
    {
        errors.insert(errors.end(), r.errors.begin(), r.errors.end());
        answers += r.answers, missed += r.missed, extra += r.extra;
        echoIn += r.echoIn, echoOut += r.echoOut;
        audioSeconds += r.audioSeconds, onsetSeconds += r.onsetSeconds, echoSeconds += r.echoSeconds;
    }
};

double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return NAN;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, std::size_t(p * double(v.size())))];
}

std::vector<std::int16_t> toInt16(const Sound& x)
{
    std::vector<std::int16_t> out(x.size());
    for (std::size_t i = 0; i < x.size(); ++i)
        out[i] = std::int16_t(std::clamp(std::lround(x[i] * 32768.0f), -32768L, 32767L));
    return out;
}

Take makeTake(const Voice& voice, const std::vector<SynthesisedWord>& digits, const QString& scratch, unsigned seed)
{
    std::map<QString, Sound> words;
    for (const char* s : kSums)
        words[s] = SynthesisedWord(voice, s, scratch, kVoiceRms).samples;
    words["no"] = SynthesisedWord(voice, "no", scratch, kVoiceRms).samples;
    std::mt19937 random(seed);
    std::vector<QStringList> items;
    for (const char* s : kSums)
        items.push_back({s});
    items.push_back({"twelve", "no", "thirteen"});
    items.push_back({"eight", "eighteen"});
    items.push_back({"six", "seven"});
    std::shuffle(items.begin(), items.end(), random);

    const std::size_t length = std::size_t(kSlot) * (items.size() + 1);
    Take t{Sound(length, 0.0f), {}, Sound(length, 0.0f), {}, {}};
    Sound digitTrack(length, 0.0f);
    std::uniform_int_distribution<long long> answerAfter(kRate * 5 / 10, kRate * 13 / 10);
    std::uniform_int_distribution<long long> pause(kRate * 8 / 100, kRate * 22 / 100);
    std::uniform_int_distribution<int> digit(0, 8);
    for (std::size_t i = 0; i < items.size(); ++i) {
        const long long slot = kSlot / 2 + (long long)i * kSlot;
        add(digitTrack, digits[digit(random)].samples, slot);
        const long long onset = slot + answerAfter(random);
        long long at = onset;
        for (const QString& w : items[i]) {
            add(t.voice, words[w], at);
            at += (long long)words[w].size() + pause(random);
        }
        t.answers.push_back({onset, at, items[i].join(' ')});
    }
    std::uniform_int_distribution<long long> roomDelay(kRate * 5 / 1000, kRate * 40 / 1000);
    std::uniform_int_distribution<long long> misalignment(-kRate * 20 / 1000, kRate * 20 / 1000);
    t.echo = SyntheticRoom::throughRoom(digitTrack, roomDelay(random));
    t.noise = SyntheticRoom::pinkNoise(length, kVoiceRms / 10, random);
    add(t.reference, digitTrack, -(kReferenceLead + misalignment(random)));
    return t;
}

void score(const std::vector<SpeechOnsets::Utterance>& found, const std::vector<Answer>& answers, Result& r)
{
    std::vector<bool> used(found.size(), false);
    for (const Answer& a : answers) {
        ++r.answers;
        bool hit = false;
        for (std::size_t i = 0; i < found.size(); ++i)
            if (found[i].begin < a.end && found[i].end > a.onset) {
                if (!hit) {
                    r.errors.push_back(double(found[i].begin - a.onset) * 1000.0 / kRate);
                    if (verbose && std::abs(r.errors.back()) >= 20)
                        std::printf("  %s at %.3f s: %+.1f ms\n", qPrintable(a.words), double(a.onset) / kRate, r.errors.back());
                }
                hit = used[i] = true;
            }
        r.missed += !hit;
    }
    r.extra += int(std::count(used.begin(), used.end(), false));
}

Result measure(const Take& t, int condition, const EchoRemover::Settings& settings, bool echoFloor)
{
    const bool withEcho = condition == 1 || condition == 3, withNoise = condition >= 2;
    const std::size_t length = t.voice.size();
    Sound mic = t.voice;
    if (withEcho)
        add(mic, t.echo, 0);
    if (withNoise)
        add(mic, t.noise, 0);
    const std::vector<std::int16_t> mic16 = toInt16(mic);
    Result r;
    r.audioSeconds = double(length) / kRate;
    EchoRemover::Cleaned cleaned{mic16, {}};
    if (withEcho) {
        const std::vector<std::int16_t> reference = toInt16(t.reference);
        const auto t0 = std::chrono::steady_clock::now();
        EchoRemover remover(settings);
        cleaned.sound.clear();
        const auto append = [&](const EchoRemover::Cleaned& c) {
            cleaned.sound.insert(cleaned.sound.end(), c.sound.begin(), c.sound.end());
            cleaned.echoLeft.insert(cleaned.echoLeft.end(), c.echoLeft.begin(), c.echoLeft.end());
        };
        for (std::size_t at = 0; at < length; at += 4410) {  // 100 ms blocks, as recorded
            const std::size_t n = std::min<std::size_t>(4410, length - at);
            append(remover.process(std::span(mic16).subspan(at, n), std::span(reference).subspan(at, n)));
        }
        append(remover.finish());
        r.echoSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        for (std::size_t slot = 0; slot + kSlot <= length; slot += kSlot) {
            double in = 0, out = 0;
            for (std::size_t i = slot; i < slot + kSlot; ++i)
                if (t.voice[i] == 0 && t.echo[i] != 0)
                    in += double(mic16[i]) * mic16[i], out += double(cleaned.sound[i]) * cleaned.sound[i];
            if (verbose)
                std::printf("%.0f%s", 10 * std::log10(in / std::max(out, 1.0)), slot + 2 * kSlot > length ? " dB\n" : " ");
            if (slot >= 2 * kSlot)
                r.echoIn += in, r.echoOut += out;
        }
    }
    const auto t0 = std::chrono::steady_clock::now();
    const auto found = SpeechOnsets::find(std::span<const std::int16_t>(cleaned.sound),
                                          echoFloor ? std::span<const float>(cleaned.echoLeft) : std::span<const float>());
    r.onsetSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    score(found, t.answers, r);
    return r;
}

void print(const char* name, const char* condition, const Result& r, bool split)
{
    std::vector<double> sizes;
    for (double e : r.errors)
        sizes.push_back(std::abs(e));
    std::printf("%-18s %-11s %4d %7.1f %7.1f %7.1f %8.1f %6d %5d %6.1f", name, condition, r.answers, median(r.errors),
                percentile(r.errors, 0.05), percentile(r.errors, 0.95), percentile(sizes, 0.95), r.missed, r.extra,
                r.echoIn > 0 ? 10 * std::log10(r.echoIn / std::max(r.echoOut, 1.0)) : NAN);
    if (split)
        std::printf("   onsets %.2f, echo %.2f\n", 1000 * r.onsetSeconds / r.audioSeconds, 1000 * r.echoSeconds / r.audioSeconds);
    else
        std::printf(" %9.2f\n", 1000 * (r.onsetSeconds + r.echoSeconds) / r.audioSeconds);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const auto option = [&](const char* name, const QString& otherwise) {
        return args.contains(name) ? args.value(args.indexOf(name) + 1) : otherwise;
    };
    const QString which = option("--voices", "all"), only = option("--condition", "");
    const unsigned seed = option("--seed", "1").toUInt();
    verbose = args.contains("--verbose");
    EchoRemover::Settings settings;
    settings.frameSize = option("--frame", QString::number(settings.frameSize)).toInt();
    settings.tailSamples = option("--tail-ms", QString::number(settings.tailSamples * 1000 / kRate)).toInt() * kRate / 1000;
    settings.suppressResidual = settings.suppressResidual || args.contains("--suppression");
    const bool echoFloor = !args.contains("--no-echo-floor");
    QTemporaryDir scratch;

    std::vector<SynthesisedWord> digits;
    for (const char* d : kDigits)
        digits.emplace_back(kDigitVoice, d, scratch.path(), kVoiceRms);

    std::map<std::pair<bool, int>, Result> pooled;  // (tuning, condition)
    std::printf("%-18s %-11s %4s %7s %7s %7s %8s %6s %5s %6s %9s\n", "voice", "condition", "n", "median", "p5", "p95",
                "p95 |e|", "missed", "extra", "ERLE", "cost ms/s");
    for (const Voice& voice : kVoices) {
        if ((which == "tuning" && !voice.tuning) || (which == "held-out" && voice.tuning))
            continue;
        const Take take = makeTake(voice, digits, scratch.path(), seed + unsigned(&voice - kVoices));
        for (int c = 0; c < 4; ++c) {
            if (!only.isEmpty() && only != kConditions[c])
                continue;
            const Result r = measure(take, c, settings, echoFloor);
            print(voice.name, kConditions[c], r, false);
            pooled[{voice.tuning, c}].pool(r);
        }
        std::fflush(stdout);
    }
    std::printf("\n");
    for (const auto& [key, r] : pooled)
        print(key.first ? "pooled: tuning" : "pooled: held-out", kConditions[key.second], r, true);
    return 0;
}
