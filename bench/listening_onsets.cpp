// Measures how well the answers' onsets are found, on synthetic answers: the sums "two" to
// "eighteen" (and some corrected answers of two words) spoken by six synthetic voices, placed at
// known onsets in a 44.1 kHz track, with nothing else ("clean"), with the program's digits heard
// through a room as the echo ("room", the clean digit track as the reference), with room noise
// 20 dB under the voice ("noise"), and with both ("room+noise"). Prints, per voice and condition:
// the onset error (detected minus true, ms) as median and 95th percentile of its size, answers
// missed, utterances found where there was no answer (extra), the echo's attenuation (ERLE), and
// what finding the onsets and removing the echo cost per second of sound.
//
// The true onset of a word is the first sample of the earliest 1 ms frame of its synthesis
// (resampled to 44.1 kHz) from which every frame, up to the first that comes within 20 dB of the
// word's loudest 10 ms, lies within 35 dB of that loudest. The synthesisers' own leading silence
// lies under that (exact zeros from espeak-ng; from flite and festival a hiss whose loudest 1 ms
// is 38 to 50 dB under the loudest 10 ms) and is cut away, as is the trailing one, so that the
// word placed in the track begins at its true onset.
//
// The method is tuned on the first three voices; the last three are held out.
//
//   listening_onsets [--voices all|tuning|held-out] [--seed n]
//
// Needs espeak-ng, flite, festival (text2wave, voice_cmu_us_slt_arctic_hts) and sox.
#include "listening/Downsampler.h"
#include "listening/EchoRemover.h"
#include "listening/SpeechOnsets.h"
#include "sound/Median.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <numeric>
#include <random>

namespace {

constexpr int kRate = 44100;
constexpr double kVoiceRms = 0.1;          // -20 dBFS, over a word's sounding part
constexpr double kTrueOnsetUnderLoudest = 0.01778;  // 35 dB, in amplitude
constexpr long long kSlot = 2 * kRate + kRate / 2;  // an item every 2.5 s
// The program gives the reference this far early: the room's delay and an alignment that may be
// off by 20 ms either way then fall inside the canceller's tail, never before it.
constexpr long long kReferenceLead = kRate * 30 / 1000;

const char* const kSums[] = {"two", "three", "four", "five", "six", "seven", "eight", "nine", "ten", "eleven",
                              "twelve", "thirteen", "fourteen", "fifteen", "sixteen", "seventeen", "eighteen"};
const char* const kDigits[] = {"one", "two", "three", "four", "five", "six", "seven", "eight", "nine"};

struct Voice {
    const char* name;
    QStringList command;  // %t: the text, %o: the output file
    bool tuning;
};

const Voice kVoices[] = {
    {"espeak-ng en-us", {"espeak-ng", "-v", "en-us", "-w", "%o", "%t"}, true},
    {"flite kal", {"flite", "-voice", "kal", "-t", "%t", "-o", "%o"}, true},
    {"flite awb", {"flite", "-voice", "awb", "-t", "%t", "-o", "%o"}, true},
    {"espeak-ng en+f2", {"espeak-ng", "-v", "en+f2", "-w", "%o", "%t"}, false},
    {"flite slt", {"flite", "-voice", "slt", "-t", "%t", "-o", "%o"}, false},
    {"festival slt hts", {"sh", "-c", "echo '%t' | text2wave -eval '(voice_cmu_us_slt_arctic_hts)' -o %o"}, false},
};
// The program's digits, in a voice none of the answers has.
const Voice kDigitVoice = {"flite rms", {"flite", "-voice", "rms", "-t", "%t", "-o", "%o"}, false};

using Sound = std::vector<float>;
bool verbose = false, verboseAll = false, verboseWords = false;

struct Word {
    Sound samples;      // from its true onset, scaled to kVoiceRms
};

bool run(const QString& program, QStringList arguments)
{
    QProcess p;
    p.start(program, arguments);
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// One word in one voice, at 44.1 kHz from its true onset, scaled to the voice's level.
Word synthesise(const Voice& voice, const QString& text, const QString& dir)
{
    const QString wav = dir + "/w.wav", raw = dir + "/w.f32";
    QStringList arguments;
    for (QString a : voice.command.mid(1))
        arguments << a.replace("%t", text).replace("%o", wav);
    if (!run(voice.command[0], arguments)
        || !run("sox", {"-D", wav, "-r", "44100", "-c", "1", "-e", "floating-point", "-b", "32", "-t", "raw", raw}))
        qFatal("could not synthesise \"%s\" with %s", qPrintable(text), voice.name);
    QFile f(raw);
    f.open(QIODevice::ReadOnly);
    const QByteArray bytes = f.readAll();
    Sound x(std::size_t(bytes.size()) / 4);
    std::memcpy(x.data(), bytes.constData(), x.size() * 4);
    // The true onset: the first 1 ms frame within kTrueOnsetUnderLoudest of the loudest 10 ms;
    // the synthesiser's silence before it (and after the word's last such frame) is cut away.
    const std::size_t frames = x.size() / 44;
    std::vector<double> frame(frames, 0.0);
    for (std::size_t k = 0; k < frames; ++k) {
        for (std::size_t i = k * 44; i < k * 44 + 44; ++i)
            frame[k] += double(x[i]) * x[i];
        frame[k] /= 44;
    }
    double loudest = 0;
    for (std::size_t k = 0; k + 10 <= frames; ++k)
        loudest = std::max(loudest, std::accumulate(frame.begin() + k, frame.begin() + k + 10, 0.0) / 10);
    // From the first frame within 20 dB of the loudest back, while frames stay within 35 dB.
    const double level = loudest * kTrueOnsetUnderLoudest * kTrueOnsetUnderLoudest;
    std::size_t rise = 0;
    while (rise < frames && frame[rise] < loudest * 1e-2)
        ++rise;
    std::size_t first = rise, last = frames;
    while (first > 0 && frame[first - 1] >= level)
        --first;
    while (last > first && frame[last - 1] < level)
        --last;
    if (verboseWords) {
        double junk = 0;
        for (std::size_t k = 0; k < std::min<std::size_t>(first, 20); ++k)
            junk = std::max(junk, frame[k]);
        std::printf("  %-10s onset %4zu ms, rise %4zu ms, leading silence's loudest ms %6.1f dB\n", qPrintable(text),
                    first, rise, 10 * std::log10(std::max(junk, 1e-20) / loudest));
    }
    Word w;
    w.samples.assign(x.begin() + std::ptrdiff_t(first * 44), x.begin() + std::ptrdiff_t(last * 44));
    // The level over the sounding part: 10 ms blocks within 30 dB of the loudest.
    std::vector<double> blocks;
    for (std::size_t i = 0; i + 441 <= w.samples.size(); i += 441) {
        double e = 0;
        for (std::size_t j = i; j < i + 441; ++j)
            e += double(w.samples[j]) * w.samples[j];
        blocks.push_back(e / 441);
    }
    double sum = 0;
    int n = 0;
    for (double e : blocks)
        if (e >= loudest * 1e-3)
            sum += e, ++n;
    const float gain = float(kVoiceRms / std::sqrt(sum / n));
    for (float& s : w.samples)
        s *= gain;
    return w;
}

void add(Sound& track, const Sound& sound, long long at, float gain = 1)
{
    for (std::size_t i = 0; i < sound.size() && at + (long long)i < (long long)track.size(); ++i)
        track[at + i] += gain * sound[i];
}

std::vector<std::int16_t> toInt16(const Sound& x)
{
    std::vector<std::int16_t> out(x.size());
    for (std::size_t i = 0; i < x.size(); ++i)
        out[i] = std::int16_t(std::clamp(std::lround(x[i] * 32768.0f), -32768L, 32767L));
    return out;
}

// The room: a delay, a low-pass (the speaker and the walls take the top off), two reflections.
Sound throughRoom(const Sound& x, long long delay)
{
    Sound lowPassed(x.size());
    const float a = float(std::exp(-2 * M_PI * 2500.0 / kRate));
    float y = 0;
    for (std::size_t i = 0; i < x.size(); ++i)
        lowPassed[i] = y = (1 - a) * x[i] + a * y;
    Sound out(x.size(), 0.0f);
    add(out, lowPassed, delay, 1.0f);
    add(out, lowPassed, delay + kRate * 7 / 1000, -0.5f);
    add(out, lowPassed, delay + kRate * 19 / 1000, 0.3f);
    return out;
}

// Pink noise at `rms` (white noise through Kellet's three-pole filter).
Sound pinkNoise(std::size_t n, double rms, std::mt19937& random)
{
    std::normal_distribution<float> white;
    Sound x(n);
    float b0 = 0, b1 = 0, b2 = 0;
    double e = 0;
    for (float& s : x) {
        const float w = white(random);
        b0 = 0.99765f * b0 + w * 0.0990460f;
        b1 = 0.96300f * b1 + w * 0.2965164f;
        b2 = 0.57000f * b2 + w * 1.0526913f;
        s = b0 + b1 + b2 + w * 0.1848f;
        e += double(s) * s;
    }
    const float gain = float(rms / std::sqrt(e / double(n)));
    for (float& s : x)
        s *= gain;
    return x;
}

struct Answer {
    long long onset, end;
    QString words;
};

struct Result {
    std::vector<double> errors;  // ms
    int answers = 0, missed = 0, extra = 0;
    double echoIn = 0, echoOut = 0;  // energies where only the echo sounds
    double audioSeconds = 0, onsetSeconds = 0, echoSeconds = 0;
};

double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return NAN;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, std::size_t(p * double(v.size())))];
}


void score(const std::vector<SpeechOnsets::Utterance>& found, const std::vector<Answer>& answers, Result& r)
{
    if (verboseAll) {
        for (const Answer& a : answers)
            std::printf("  answer %.3f-%.3f s\n", double(a.onset) / kRate, double(a.end) / kRate);
        for (const auto& u : found)
            std::printf("  found %.3f (detected %.3f) - %.3f s\n", double(u.begin) / kRate, double(u.detected) / kRate,
                        double(u.end) / kRate);
    }
    std::vector<bool> used(found.size(), false);
    for (const Answer& a : answers) {
        ++r.answers;
        bool hit = false;
        for (std::size_t i = 0; i < found.size(); ++i)
            if (found[i].begin < a.end && found[i].end > a.onset) {
                if (!hit) {
                    r.errors.push_back(double(found[i].begin - a.onset) * 1000.0 / kRate);
                    if (verboseAll || (verbose && std::abs(r.errors.back()) > 20))
                        std::printf("  %s at %.3f s: %+.1f ms\n", qPrintable(a.words), double(a.onset) / kRate, r.errors.back());
                }
                hit = true;
                used[i] = true;
            }
        r.missed += !hit;
    }
    r.extra += int(std::count(used.begin(), used.end(), false));
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString which = args.contains("--voices") ? args.value(args.indexOf("--voices") + 1) : "all";
    const unsigned seed = args.contains("--seed") ? args.value(args.indexOf("--seed") + 1).toUInt() : 1;
    QTemporaryDir dir;
    verbose = args.contains("--verbose");
    verboseWords = args.contains("--words");
    verboseAll = args.contains("--all");
    EchoRemover::Settings echoSettings;
    if (args.contains("--frame"))
        echoSettings.frameSize = args.value(args.indexOf("--frame") + 1).toInt();
    if (args.contains("--tail-ms"))
        echoSettings.tailSamples = args.value(args.indexOf("--tail-ms") + 1).toInt() * kRate / 1000;
    if (args.contains("--suppression"))
        echoSettings.suppressResidual = true;
    if (args.contains("--suppress"))
        echoSettings.echoSuppressDb = args.value(args.indexOf("--suppress") + 1).toInt();
    if (args.contains("--suppress-active"))
        echoSettings.echoSuppressActiveDb = args.value(args.indexOf("--suppress-active") + 1).toInt();

    std::vector<Word> digits;
    for (const char* d : kDigits)
        digits.push_back(synthesise(kDigitVoice, d, dir.path()));

    const char* const conditions[] = {"clean", "room", "noise", "room+noise"};
    std::map<std::pair<bool, int>, Result> pooled;  // (tuning, condition)
    std::printf("%-18s %-11s %4s %7s %7s %7s %8s %6s %5s %6s %9s\n", "voice", "condition", "n", "median", "p5",
                "p95", "p95 |e|", "missed", "extra", "ERLE", "cost ms/s");
    for (const Voice& voice : kVoices) {
        if ((which == "tuning" && !voice.tuning) || (which == "held-out" && voice.tuning))
            continue;
        std::map<QString, Word> words;
        for (const char* s : kSums)
            words[s] = synthesise(voice, s, dir.path());
        words["no"] = synthesise(voice, "no", dir.path());

        // The items: each sum once, then three corrected answers ("twelve, no, thirteen" as three
        // words with short pauses), in a shuffled order.
        std::mt19937 random(seed + unsigned(&voice - kVoices));
        std::vector<QStringList> items;
        for (const char* s : kSums)
            items.push_back({s});
        items.push_back({"twelve", "no", "thirteen"});
        items.push_back({"eight", "eighteen"});
        items.push_back({"six", "seven"});
        std::shuffle(items.begin(), items.end(), random);

        const std::size_t length = std::size_t(kSlot) * (items.size() + 1);
        Sound voiceTrack(length, 0.0f), digitTrack(length, 0.0f);
        std::vector<Answer> answers;
        std::uniform_int_distribution<long long> answerAfter(kRate * 5 / 10, kRate * 13 / 10);
        std::uniform_int_distribution<long long> pause(kRate * 8 / 100, kRate * 22 / 100);
        std::uniform_int_distribution<int> digit(0, 8);
        for (std::size_t i = 0; i < items.size(); ++i) {
            const long long slot = kSlot / 2 + (long long)i * kSlot;
            add(digitTrack, digits[digit(random)].samples, slot);
            long long at = slot + answerAfter(random);
            const Answer a{at, 0, items[i].join(' ')};
            for (const QString& w : items[i]) {
                add(voiceTrack, words[w].samples, at);
                at += (long long)words[w].samples.size() + pause(random);
            }
            answers.push_back({a.onset, at, a.words});
        }
        std::uniform_int_distribution<long long> roomDelay(kRate * 5 / 1000, kRate * 40 / 1000);
        std::uniform_int_distribution<long long> misalignment(-kRate * 20 / 1000, kRate * 20 / 1000);
        const Sound echo = throughRoom(digitTrack, roomDelay(random));
        const Sound noise = pinkNoise(length, kVoiceRms / 10, random);
        const long long referenceShift = kReferenceLead + misalignment(random);
        Sound reference(length, 0.0f);
        for (std::size_t i = 0; i + referenceShift < length; ++i)
            reference[i] = digitTrack[i + referenceShift];

        for (int c = 0; c < 4; ++c) {
            if (args.contains("--condition") && args.value(args.indexOf("--condition") + 1) != conditions[c])
                continue;
            const bool withEcho = c == 1 || c == 3, withNoise = c >= 2;
            const bool throughRemover = withEcho || args.contains("--always-remove");
            Sound mic = voiceTrack;
            if (withEcho)
                add(mic, echo, 0);
            if (withNoise)
                add(mic, noise, 0);
            const std::vector<std::int16_t> mic16 = toInt16(mic);
            Result r;
            r.audioSeconds = double(length) / kRate;
            std::vector<std::int16_t> cleaned = mic16;
            std::vector<float> echoLeft;
            if (throughRemover) {
                const std::vector<std::int16_t> ref16 = args.contains("--silent-reference") ? std::vector<std::int16_t>(length, 0) : toInt16(reference);
                const auto t0 = std::chrono::steady_clock::now();
                EchoRemover remover(echoSettings);
                cleaned.clear();
                for (std::size_t at = 0; at < length; at += 4410) {  // 100 ms blocks, as recorded
                    const std::size_t n = std::min<std::size_t>(4410, length - at);
                    const auto out = remover.process(std::span(mic16).subspan(at, n), std::span(ref16).subspan(at, n));
                    cleaned.insert(cleaned.end(), out.sound.begin(), out.sound.end());
                    echoLeft.insert(echoLeft.end(), out.echoLeft.begin(), out.echoLeft.end());
                }
                const auto rest = remover.finish();
                cleaned.insert(cleaned.end(), rest.sound.begin(), rest.sound.end());
                echoLeft.insert(echoLeft.end(), rest.echoLeft.begin(), rest.echoLeft.end());
                r.echoSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
                if (args.contains("--difference")) {
                    double d = 0, m = 0;
                    long long best = 0;
                    double bestSum = -1;
                    for (long long lag = -600; lag <= 600; ++lag) {
                        double sum = 0;
                        for (std::size_t i = kRate * 5; i < std::size_t(kRate * 6); ++i)
                            sum += double(mic16[i]) * cleaned[i + lag];
                        if (sum > bestSum)
                            bestSum = sum, best = lag;
                    }
                    for (std::size_t i = 0; i < length; ++i)
                        d += std::pow(double(cleaned[i]) - mic16[i], 2), m += std::pow(double(mic16[i]), 2);
                    std::printf("  output minus input: %.1f dB under it; best lag %lld\n", 10 * std::log10(m / d), best);
                }
                if (args.contains("--echo-progress")) {
                    for (std::size_t s = 0; s + kSlot <= length; s += kSlot) {
                        double in = 0, out = 0;
                        for (std::size_t i = s; i < s + kSlot; ++i)
                            if (voiceTrack[i] == 0 && std::abs(echo[i]) > 0)
                                in += double(mic16[i]) * mic16[i], out += double(cleaned[i]) * cleaned[i];
                        std::printf("%.0f ", 10 * std::log10(in / std::max(out, 1.0)));
                    }
                    std::printf("\n");
                }
                // The echo's attenuation where only it sounds, once the canceller has heard two digits.
                for (std::size_t i = 2 * kSlot; i < length; ++i)
                    if (voiceTrack[i] == 0 && std::abs(echo[i]) > 0) {
                        const double in = double(mic16[i]), out = double(cleaned[i]);
                        r.echoIn += in * in;
                        r.echoOut += out * out;
                    }
            }
            if (withEcho && args.contains("--at16k")) {
                const auto m = Downsampler::downsample(mic16), f = Downsampler::downsample(toInt16(reference));
                EchoRemover::Settings at16 = echoSettings;
                at16.rate = 16000;
                at16.tailSamples = echoSettings.tailSamples * 16000 / kRate;
                EchoRemover remover(at16);
                auto out = remover.process(m, f).sound;
                const auto rest = remover.finish().sound;
                out.insert(out.end(), rest.begin(), rest.end());
                double in = 0, o = 0;
                for (std::size_t i = 2 * kSlot * 16000 / kRate; i < out.size(); ++i) {
                    const std::size_t j = i * kRate / 16000;
                    if (j < length && voiceTrack[j] == 0 && std::abs(echo[j]) > 0)
                        in += double(m[i]) * m[i], o += double(out[i]) * out[i];
                }
                std::printf("  at 16 kHz: ERLE %.1f dB\n", 10 * std::log10(in / std::max(o, 1.0)));
            }
            const auto t0 = std::chrono::steady_clock::now();
            const auto found = SpeechOnsets::find(std::span<const std::int16_t>(cleaned),
                                                  args.contains("--no-echo-floor") ? std::span<const float>() : echoLeft);
            r.onsetSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
            score(found, answers, r);

            std::vector<double> sizes;
            for (double e : r.errors)
                sizes.push_back(std::abs(e));
            const double erle = withEcho ? 10 * std::log10(r.echoIn / std::max(r.echoOut, 1.0)) : NAN;
            std::printf("%-18s %-11s %4d %7.1f %7.1f %7.1f %8.1f %6d %5d %6.1f %9.2f\n", voice.name, conditions[c],
                        r.answers, median(r.errors), percentile(r.errors, 0.05), percentile(r.errors, 0.95),
                        percentile(sizes, 0.95), r.missed, r.extra, erle,
                        1000 * (r.onsetSeconds + r.echoSeconds) / r.audioSeconds);
            Result& p = pooled[{voice.tuning, c}];
            p.errors.insert(p.errors.end(), r.errors.begin(), r.errors.end());
            p.answers += r.answers, p.missed += r.missed, p.extra += r.extra;
            p.echoIn += r.echoIn, p.echoOut += r.echoOut;
            p.audioSeconds += r.audioSeconds, p.onsetSeconds += r.onsetSeconds, p.echoSeconds += r.echoSeconds;
        }
        std::fflush(stdout);
    }
    std::printf("\n");
    for (const auto& [key, p] : pooled) {
        std::vector<double> sizes;
        for (double e : p.errors)
            sizes.push_back(std::abs(e));
        const bool withEcho = key.second == 1 || key.second == 3;
        std::printf("%-18s %-11s %4d %7.1f %7.1f %7.1f %8.1f %6d %5d %6.1f   onsets %.2f ms/s, echo %.2f ms/s\n",
                    key.first ? "pooled: tuning" : "pooled: held-out", conditions[key.second], p.answers,
                    median(p.errors), percentile(p.errors, 0.05), percentile(p.errors, 0.95), percentile(sizes, 0.95),
                    p.missed, p.extra,
                    withEcho ? 10 * std::log10(p.echoIn / std::max(p.echoOut, 1.0)) : NAN,
                    1000 * p.onsetSeconds / p.audioSeconds,
                    withEcho ? 1000 * p.echoSeconds / p.audioSeconds : 0.0);
    }
    return 0;
}
