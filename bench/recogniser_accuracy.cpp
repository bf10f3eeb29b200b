// How well the recogniser hears answers in synthetic voices: each sum, words and sounds that are
// no sum, and self-corrections, clean and with pink noise 20 dB below the voice, all at 16 kHz.
// The rejection was tuned on the first four voices; the other five are held out. Each voice is
// heard twice: with the sums alone in the grammar (what rejection is measured against) and as
// tuned. --tuning [phone weight] [other weight] [margin at half] [garbage weight] hears the tuning voices alone
// (with those in place of the tuned); OVREL_BENCH_MISSES=1 prints what each answer was heard as.
// Measures; asserts nothing (make bench).
#include "listening/recogniser/SphinxRecogniser.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <random>

namespace {

struct Voice {
    QString program;  // espeak-ng, flite or text2wave
    QString name;
    bool tuning;      // the rejection was tuned on it
};

struct Item {
    QString id;
    QString text;             // what the voice says; empty: a sound made with sox
    QStringList sound;        // sox's arguments for a sound, after the output file
    std::vector<int> sums;    // what should be heard
    bool spoken = true;       // somethingSaid expected where no sum
    bool unseen = false;      // no word like it went into the grammar or its tuning
};

const QStringList kWords = {"two", "three", "four", "five", "six", "seven", "eight", "nine", "ten", "eleven",
    "twelve", "thirteen", "fourteen", "fifteen", "sixteen", "seventeen", "eighteen"};

std::vector<Item> items()
{
    std::vector<Item> all;
    for (int i = 0; i < kWords.size(); ++i)
        all.push_back({QString("s%1").arg(i + 2), kWords[i], {}, {i + 2}});
    for (const char* text : {"um", "uh", "I don't know", "hello", "one", "twenty", "nineteen", "thirty"})
        all.push_back({QString("x ") + text, text, {}, {}});
    for (const char* text : {"sorry", "pass", "what?", "wait"})
        all.push_back({QString("u ") + text, text, {}, {}, true, true});
    const QStringList rate = {"-r", "16000", "-b", "16", "-c", "1"};
    all.push_back({"cough", {}, rate + QStringList{"synth", "0.12", "pinknoise", "band", "900", "700", "fade", "0.005",
        "0.12", "0.08", "gain", "-6", "pad", "0.3", "0.1", ":", "synth", "0.18", "pinknoise", "band", "700", "600", "fade",
        "0.005", "0.18", "0.12", "gain", "-8", "pad", "0", "0.2"}, {}});
    all.push_back({"silence", {}, rate + QStringList{"synth", "1.2", "sine", "100", "vol", "0"}, {}, false});
    all.push_back({"white noise", {}, rate + QStringList{"synth", "1.2", "whitenoise", "vol", "0.05"}, {}, false});
    all.push_back({"pink noise", {}, rate + QStringList{"synth", "1.2", "pinknoise", "vol", "0.05"}, {}, false});
    const std::vector<std::pair<QString, std::vector<int>>> corrections = {{"seven, eight", {7, 8}},
        {"twelve, eleven", {12, 11}}, {"three, thirteen", {3, 13}}, {"nine, ten", {9, 10}}, {"sixteen, six", {16, 6}}};
    for (const auto& [text, sums] : corrections)
        all.push_back({"c " + text, text, {}, sums});
    return all;
}

bool run(const QString& program, const QStringList& arguments, const QByteArray& input = {})
{
    QProcess process;
    process.start(program, arguments);
    if (!input.isEmpty()) {
        process.write(input);
        process.closeWriteChannel();
    }
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// The answer as the recogniser takes it: 16 kHz mono, with 0.3 s before it and 0.2 s after; the
// same on every run (sox's noise and its dither repeatable).
std::vector<std::int16_t> answer(const Voice& voice, const Item& item, const QString& folder)
{
    const QString spoken = folder + "/spoken.wav";
    const QString raw = folder + "/answer.raw";
    bool made = false;
    if (item.text.isEmpty())
        made = run("sox", QStringList{"-R", "-n"} + QStringList{item.sound.mid(0, 6)} + QStringList{spoken} + item.sound.mid(6));
    else if (voice.program == "espeak-ng")
        made = run("espeak-ng", {"-v", voice.name, "-w", spoken, item.text});
    else if (voice.program == "flite")
        made = run("flite", {"-voice", voice.name, "-t", item.text, "-o", spoken});
    else
        made = run("text2wave", {"-eval", "(" + voice.name + ")", "-o", spoken}, item.text.toUtf8() + "\n");
    const QStringList pad = item.text.isEmpty() ? QStringList{} : QStringList{"pad", "0.3", "0.2"};
    if (!made || !run("sox", QStringList{"-R", spoken, "-t", "raw", "-r", "16000", "-b", "16", "-e", "signed", "-c", "1", raw} + pad))
        return {};
    QFile file(raw);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    std::vector<std::int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.constData(), samples.size() * 2);
    return samples;
}

// Pink noise (Kellet's filter) 20 dB below the answer's own level.
std::vector<std::int16_t> withNoise(const std::vector<std::int16_t>& clean, unsigned seed)
{
    double power = 0;
    for (const std::int16_t sample : clean)
        power += double(sample) * sample;
    const double level = std::sqrt(power / std::max<std::size_t>(clean.size(), 1));
    std::mt19937 random(seed);
    std::normal_distribution<double> white;
    std::vector<double> noise(clean.size());
    double b0 = 0, b1 = 0, b2 = 0, noisePower = 0;
    for (double& value : noise) {
        const double w = white(random);
        b0 = 0.99765 * b0 + w * 0.0990460;
        b1 = 0.96300 * b1 + w * 0.2965164;
        b2 = 0.57000 * b2 + w * 1.0526913;
        value = b0 + b1 + b2 + w * 0.1848;
        noisePower += value * value;
    }
    const double gain = level * 0.1 / std::sqrt(noisePower / std::max<std::size_t>(noise.size(), 1));
    std::vector<std::int16_t> noisy(clean.size());
    for (std::size_t i = 0; i < clean.size(); ++i)
        noisy[i] = std::int16_t(std::clamp(clean[i] + noise[i] * gain, -32768.0, 32767.0));
    return noisy;
}

double cpuSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec + now.tv_nsec * 1e-9;
}

struct Tally {
    int sums = 0, sumsOf = 0, noisySums = 0, noisySumsOf = 0, wrongSums = 0;
    int rejected = 0, rejectedOf = 0, noisyRejected = 0, noisyRejectedOf = 0, unseen = 0, unseenOf = 0;
    int said = 0, saidOf = 0, corrections = 0, correctionsOf = 0;
    double cpu = 0, cpuMax = 0;
    int heard = 0;

    void add(const Tally& other)
    {
        for (auto member : {&Tally::sums, &Tally::sumsOf, &Tally::noisySums, &Tally::noisySumsOf, &Tally::wrongSums,
                 &Tally::rejected, &Tally::rejectedOf, &Tally::noisyRejected, &Tally::noisyRejectedOf, &Tally::unseen,
                 &Tally::unseenOf, &Tally::said, &Tally::saidOf, &Tally::corrections, &Tally::correctionsOf, &Tally::heard})
            this->*member += other.*member;
        cpu += other.cpu;
        cpuMax = std::max(cpuMax, other.cpuMax);
    }
    void print(const QString& name) const
    {
        std::printf("%-28s %2d/%-2d %2d/%-2d %5d   %2d/%-2d %2d/%-2d %2d/%-2d %3d/%-3d %2d/%-2d  %5.0f %5.0f\n", qPrintable(name),
            sums, sumsOf, noisySums, noisySumsOf, wrongSums, rejected, rejectedOf, noisyRejected, noisyRejectedOf, unseen,
            unseenOf, said, saidOf, corrections, correctionsOf, 1000 * cpu / std::max(heard, 1), 1000 * cpuMax);
    }
};

void hearOne(AnswerRecogniser& recogniser, const Item& item, const std::vector<std::int16_t>& samples, bool noisy,
    Tally& tally)
{
    const double before = cpuSeconds();
    const AnswerRecogniser::Heard heard = recogniser.hear(samples);
    const double cpu = cpuSeconds() - before;
    tally.cpu += cpu;
    tally.cpuMax = std::max(tally.cpuMax, cpu);
    ++tally.heard;
    const bool right = heard.sums == item.sums;
    if (qEnvironmentVariableIsSet("OVREL_BENCH_MISSES")) {
        QStringList sums;
        for (const int sum : heard.sums)
            sums << QString::number(sum);
        std::printf("  %s %s%s: [%s] said %d confidence %.2f\n", right ? "right" : "miss", qPrintable(item.id), noisy ? " (noisy)" : "",
            qPrintable(sums.join(' ')), heard.somethingSaid, heard.confidence);
    }
    if (item.sums.size() == 1) {
        (noisy ? tally.noisySums : tally.sums) += right;
        ++(noisy ? tally.noisySumsOf : tally.sumsOf);
        tally.wrongSums += !heard.sums.empty() && !right;
    } else if (item.sums.size() > 1) {
        tally.corrections += right;
        ++tally.correctionsOf;
    } else {
        if (item.unseen) {
            tally.unseen += right;
            ++tally.unseenOf;
        } else {
            (noisy ? tally.noisyRejected : tally.rejected) += right;
            ++(noisy ? tally.noisyRejectedOf : tally.rejectedOf);
        }
        tally.said += heard.sums.empty() && heard.somethingSaid == item.spoken;
        ++tally.saidOf;
    }
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const std::vector<Voice> voices = {{"espeak-ng", "en-us", true}, {"espeak-ng", "en+m3", true},
        {"flite", "kal", true}, {"flite", "awb", true}, {"espeak-ng", "en+f2", false}, {"espeak-ng", "en-gb", false},
        {"flite", "slt", false}, {"flite", "rms", false}, {"text2wave", "voice_cmu_us_slt_arctic_hts", false}};
    // --tuning [phone weight] [other weight] [margin at half] [garbage weight]: the tuning voices alone, as tuned or with
    // those in place of the tuned.
    const QStringList arguments = application.arguments();
    const bool tuningOnly = arguments.contains("--tuning");
    SphinxRecogniser::Tuning tuned;
    const QStringList given = tuningOnly ? arguments.mid(arguments.indexOf("--tuning") + 1) : QStringList();
    for (const auto& [index, value] : {std::pair{0, &tuned.phoneWeight}, {1, &tuned.otherWeight}, {2, &tuned.marginAtHalf},
             {3, &tuned.garbageWeight}})
        if (index < given.size())
            *value = given[index].toDouble();
    SphinxRecogniser::Tuning sumsAlone;
    sumsAlone.rejects = false;
    std::vector<std::pair<QString, SphinxRecogniser::Tuning>> tunings = {{"the sums alone", sumsAlone}, {"as tuned", tuned}};
    if (tuningOnly)
        tunings.erase(tunings.begin());
    std::vector<std::unique_ptr<SphinxRecogniser>> recognisers;
    for (const auto& tuning : tunings) {
        recognisers.push_back(SphinxRecogniser::make(SphinxRecogniser::defaultModelFolder(), tuning.second));
        if (!recognisers.back()) {
            std::fprintf(stderr, "No model in %s\n", SphinxRecogniser::defaultModelFolder().c_str());
            return 1;
        }
    }
    QTemporaryDir folder;
    std::vector<std::vector<Tally>> tallies(tunings.size(), std::vector<Tally>(voices.size()));
    const std::vector<Item> all = items();
    for (std::size_t v = 0; v < voices.size(); ++v) {
        if (tuningOnly && !voices[v].tuning)
            continue;
        unsigned seed = 1;
        for (const Item& item : all) {
            const std::vector<std::int16_t> clean = answer(voices[v], item, folder.path());
            if (clean.empty()) {
                std::fprintf(stderr, "Could not make \"%s\" with %s %s\n", qPrintable(item.id),
                    qPrintable(voices[v].program), qPrintable(voices[v].name));
                return 1;
            }
            // Noise and silence are heard once; the voices and the cough once more in noise.
            const bool noiseToo = !item.text.isEmpty() || item.id == "cough";
            const std::vector<std::int16_t> noisy = withNoise(clean, seed++);
            for (std::size_t t = 0; t < tunings.size(); ++t) {
                hearOne(*recognisers[t], item, clean, false, tallies[t][v]);
                if (noiseToo)
                    hearOne(*recognisers[t], item, noisy, true, tallies[t][v]);
            }
        }
    }
    for (std::size_t t = 0; t < tunings.size(); ++t) {
        std::printf("\n%s\n%-28s %-5s %-5s %5s   %-5s %-5s %-5s %-7s %-5s  %5s %5s\n", qPrintable(tunings[t].first),
            "voice", "sums", "noisy", "wrong", "nosum", "noisy", "new", "said", "corr", "cpums", "max");
        Tally tuned, heldOut;
        for (std::size_t v = 0; v < voices.size(); ++v) {
            tallies[t][v].print(voices[v].program.left(6) + " " + voices[v].name.left(20) + (voices[v].tuning ? " *" : ""));
            (voices[v].tuning ? tuned : heldOut).add(tallies[t][v]);
        }
        tuned.print("tuning voices (*)");
        heldOut.print("held-out voices");
    }
    std::printf("\nsums: right of the 17, clean and noisy; wrong: a sum heard for another; nosum: no sum heard for what "
                "is none (8 words, a cough, silence, two noises), clean and noisy; new: the same for 4 words the "
                "grammar was never tuned on; said: somethingSaid right where no sum; corr: self-corrections "
                "right (5 clean, 5 noisy); cpu per answer, mean and most, in ms.\n");
    return 0;
}
