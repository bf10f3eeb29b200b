#include "ExamineeMouth.h"

#include "SinkRecorder.h"
#include "SynthesisedWord.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>

namespace {

constexpr int kRate = 44100;
// The stream is written this far ahead of its time: a main thread held up for less goes unheard.
constexpr long long kAhead = kRate / 10;
// What is said is found by its first frames, to the frame, this far either side of where the
// stream's timing puts it; where it is not there (the stream was held up), anywhere within
// kSearchWide.
constexpr long long kCompared = 4096, kSearchNear = kRate / 60, kSearchWide = kRate / 2;
constexpr auto kCorrectionPause = std::chrono::milliseconds(150);

const char* const kSumWords[] = {"two", "three", "four", "five", "six", "seven", "eight", "nine", "ten",
                                 "eleven", "twelve", "thirteen", "fourteen", "fifteen", "sixteen", "seventeen", "eighteen"};

QString sumWord(int sum) { return QString::fromLatin1(kSumWords[sum - 2]); }
int wrongSum(int sum) { return sum + 2 <= 18 ? sum + 2 : sum - 2; }

long long framesIn(SteadyTime::duration d) { return std::llround(std::chrono::duration<double>(d).count() * kRate); }

// Normalised correlation of `word`'s first kCompared frames with `heard` from `at`.
double match(const std::vector<float>& heard, const std::vector<float>& word, long long at)
{
    const long long n = std::min<long long>(kCompared, (long long)word.size());
    if (at < 0 || at + n > (long long)heard.size())
        return 0;
    double both = 0, h = 0, w = 0;
    for (long long k = 0; k < n; ++k) {
        both += double(heard[std::size_t(at + k)]) * word[std::size_t(k)];
        h += double(heard[std::size_t(at + k)]) * heard[std::size_t(at + k)];
        w += double(word[std::size_t(k)]) * word[std::size_t(k)];
    }
    return h > 0 && w > 0 ? both / std::sqrt(h * w) : 0;
}

// The best place for `word` within `around` ± `span` frames, and how well it matches there.
std::pair<long long, double> find(const std::vector<float>& heard, const std::vector<float>& word, long long around, long long span)
{
    std::pair<long long, double> best{-1, 0.0};
    for (long long at = std::max(0LL, around - span); at <= around + span; ++at)
        if (const double m = match(heard, word, at); m > best.second)
            best = {at, m};
    return best;
}

}  // namespace

QString ExamineeMouth::missing()
{
    for (const char* program : {"flite", "sox", "pacat", "parec"})
        if (QStandardPaths::findExecutable(QLatin1String(program)).isEmpty())
            return QStringLiteral("%1 is not installed").arg(QLatin1String(program));
    return {};
}

bool ExamineeMouth::resetRig()
{
    const std::optional<QString> modules = pactl({QStringLiteral("list"), QStringLiteral("short"), QStringLiteral("modules")});
    if (!modules)
        return false;
    for (const QString& line : modules->split(QLatin1Char('\n')))
        if (line.contains(QLatin1String("module-loopback")))
            pactl({QStringLiteral("unload-module"), line.section(QLatin1Char('\t'), 0, 0)});
    // As tests/sound/private-pulse-server.sh loads it.
    return pactl({QStringLiteral("load-module"), QStringLiteral("module-loopback"), QStringLiteral("source=ovrel_null.monitor"),
                  QStringLiteral("sink=ovrel_microphone"), QStringLiteral("latency_msec=60"), QStringLiteral("adjust_time=0"),
                  QStringLiteral("source_dont_move=true"), QStringLiteral("sink_dont_move=true")})
           && pactl({QStringLiteral("set-default-sink"), QStringLiteral("ovrel_null")})
           && pactl({QStringLiteral("set-default-source"), QStringLiteral("ovrel_microphone.monitor")});
}

double ExamineeMouth::rigDelayMs()
{
    const std::optional<QString> module = pactl({QStringLiteral("load-module"), QStringLiteral("module-combine-sink"),
        QStringLiteral("sink_name=ovrel_rig_both"), QStringLiteral("slaves=ovrel_null,ovrel_microphone"), QStringLiteral("adjust_time=0")});
    if (!module)
        return NAN;
    QTemporaryFile file;
    QProcess record, play;
    const QStringList format{QStringLiteral("--raw"), QStringLiteral("--format=s16le"), QStringLiteral("--rate=44100"),
                             QStringLiteral("--channels=2"), QStringLiteral("--latency-msec=20")};
    double delay = NAN;
    if (file.open()) {
        record.setStandardOutputFile(file.fileName());
        record.start(QStringLiteral("parec"), QStringList{QStringLiteral("--device=ovrel_microphone.monitor")} + format);
        QTest::qWait(1000);
        QByteArray burst(kRate * 4, 0);  // 5 ms of 1 kHz at half scale, then silence
        auto* out = reinterpret_cast<std::int16_t*>(burst.data());
        for (int i = 0; i < kRate / 200; ++i)
            out[2 * i] = out[2 * i + 1] = std::int16_t(16384 * std::sin(2 * M_PI * 1000 * i / kRate));
        play.start(QStringLiteral("pacat"), QStringList{QStringLiteral("--device=ovrel_rig_both")} + format);
        play.write(burst);
        play.closeWriteChannel();
        play.waitForFinished(5000);
        QTest::qWait(500);
        record.terminate();
        record.waitForFinished(5000);
        file.seek(0);
        const QByteArray heard = file.readAll();
        const auto* in = reinterpret_cast<const std::int16_t*>(heard.constData());
        std::vector<long long> onsets;
        for (long long f = 0; f < heard.size() / 4; ++f)
            if (std::abs(int(in[2 * f])) > 4000 && (onsets.empty() || f - onsets.back() > kRate / 100))
                onsets.push_back(f);
        if (onsets.size() == 2)
            delay = double(onsets[1] - onsets[0]) * 1000 / kRate;
    }
    pactl({QStringLiteral("unload-module"), *module});
    return delay;
}

ExamineeMouth::ExamineeMouth(std::vector<int> sums, std::vector<Answer> plan, Speech speech, QObject* parent)
    : QObject(parent), sums_(std::move(sums)), plan_(std::move(plan)), speech_(std::move(speech))
{
    // A cough: a 220 ms burst of noise, loud at once and dying away, low-passed at about 1.5 kHz.
    std::mt19937 random(11);
    std::normal_distribution<float> white;
    float low = 0;
    for (int i = 0; i < kRate * 22 / 100; ++i) {
        low += 0.2f * (white(random) - low);
        cough_.push_back(float(0.5 * std::exp(-double(i) / (kRate * 0.06))) * low);
    }
    for (std::size_t item = 0; item < plan_.size(); ++item) {  // synthesised before the run, not during it
        word(sumWord(sums_[item]));
        word(sumWord(wrongSum(sums_[item])));
    }
    word(QStringLiteral("I don't know"));
    feeder_.setTimerType(Qt::PreciseTimer);
    feeder_.setInterval(10);
    connect(&feeder_, &QTimer::timeout, this, &ExamineeMouth::feed);
}

ExamineeMouth::ExamineeMouth(std::vector<int> sums, std::vector<Answer> plan, QObject* parent)
    : ExamineeMouth(std::move(sums), std::move(plan), Speech{}, parent)
{
}

ExamineeMouth::~ExamineeMouth()
{
    for (QProcess* process : {&play_, &record_})
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished(5000);
        }
}

const std::vector<float>& ExamineeMouth::word(const QString& text)
{
    auto found = words_.find(text);
    if (found == words_.end()) {
        found = words_.emplace(text, SynthesisedWord(speech_.voice, text, scratch_.path(), kVoiceRms).samples).first;
    }
    return found->second;
}

bool ExamineeMouth::start()
{
    if (!recording_.open())
        return false;
    const QStringList format{QStringLiteral("--raw"), QStringLiteral("--format=s16le"), QStringLiteral("--rate=44100"),
                             QStringLiteral("--channels=2"), QStringLiteral("--latency-msec=20")};
    record_.setStandardOutputFile(recording_.fileName());
    record_.start(QStringLiteral("parec"), QStringList{QStringLiteral("--device=ovrel_microphone.monitor")} + format);
    play_.start(QStringLiteral("pacat"), QStringList{QStringLiteral("--device=") + speech_.sink} + format);
    if (!record_.waitForStarted(5000) || !play_.waitForStarted(5000))
        return false;
    origin_ = std::chrono::steady_clock::now();
    written_ = 0;
    feed();
    feeder_.start();
    QElapsedTimer waited;
    waited.start();
    while (QFileInfo(recording_.fileName()).size() < kRate * 4 && waited.elapsed() < 10000)
        QTest::qWait(20);
    // Roughly where the recording's frame 0 lies: it only guides the search for the first word.
    recordingFrom_ = std::chrono::steady_clock::now() - std::chrono::microseconds(QFileInfo(recording_.fileName()).size() * 1000000 / (kRate * 4));
    return QFileInfo(recording_.fileName()).size() >= kRate * 4;
}

void ExamineeMouth::digitHeard(int digit, SteadyTime heard)
{
    const int item = digit - 1;
    if (item < 0 || item >= int(plan_.size()) || play_.state() != QProcess::Running)
        return;
    const Answer planned = plan_[std::size_t(item)];
    const SteadyTime at = heard + std::chrono::milliseconds(planned.latencyMs);
    const auto say = [&](SteadyTime when, const std::vector<float>& sound) {
        said_.push_back({item, std::max(written_, framesIn(when - origin_)), sound});
    };
    const int sum = sums_[std::size_t(item)];
    switch (planned.says) {
    case Says::Right: say(at, word(sumWord(sum))); break;
    case Says::Wrong: say(at, word(sumWord(wrongSum(sum)))); break;
    case Says::Nothing: break;
    case Says::Cough: say(at, cough_); break;
    case Says::DontKnow: say(at, word(QStringLiteral("I don't know"))); break;
    case Says::SelfCorrection: {
        const std::vector<float>& first = word(sumWord(wrongSum(sum)));
        say(at, first);
        say(at + std::chrono::microseconds(std::llround(first.size() * 1e6 / kRate)) + kCorrectionPause, word(sumWord(sum)));
        break;
    }
    }
}

void ExamineeMouth::feed()
{
    const long long until = framesIn(std::chrono::steady_clock::now() - origin_) + kAhead;
    if (until <= written_)
        return;
    std::vector<float> mix(std::size_t(until - written_), 0.0f);
    for (const Utterance& u : said_)
        for (long long f = std::max(u.at, written_); f < std::min(until, u.at + (long long)u.sound.size()); ++f)
            mix[std::size_t(f - written_)] += u.sound[std::size_t(f - u.at)];
    QByteArray bytes(qsizetype(mix.size()) * 4, Qt::Uninitialized);
    auto* out = reinterpret_cast<std::int16_t*>(bytes.data());
    for (std::size_t i = 0; i < mix.size(); ++i)
        out[2 * i] = out[2 * i + 1] = std::int16_t(std::lround(std::clamp(mix[i], -1.0f, 1.0f) * 32767));
    play_.write(bytes);
    written_ = until;
}

ExamineeMouth::Heard ExamineeMouth::stop()
{
    feeder_.stop();
    play_.closeWriteChannel();
    play_.waitForFinished(5000);
    QTest::qWait(300);  // the last of it reaches the recording
    record_.terminate();
    if (!record_.waitForFinished(5000))
        record_.kill();
    Heard heard;
    recording_.seek(0);
    heard.recording = recording_.readAll();
    heard.onsets.assign(plan_.size(), -1);
    heard.matches.assign(plan_.size(), 0.0);
    const auto* samples = reinterpret_cast<const std::int16_t*>(heard.recording.constData());
    std::vector<float> mono(std::size_t(heard.recording.size() / 4));
    for (std::size_t f = 0; f < mono.size(); ++f)
        mono[f] = float(samples[2 * f] + samples[2 * f + 1]) / 65536.0f;
    // The stream's frame `at` lies `shift` frames later in the recording, until the stream is held
    // up: then the shift grows, and is found again.
    long long shift = framesIn(origin_ - recordingFrom_);
    bool known = false;
    for (const Utterance& u : said_) {
        auto [at, m] = find(mono, u.sound, u.at + shift, known ? kSearchNear : kSearchWide);
        if (m < 0.6) {
            const auto wide = find(mono, u.sound, u.at + shift, kSearchWide);
            if (wide.second > m)
                std::tie(at, m) = wide;
        }
        if (m >= 0.6) {
            shift = at - u.at;
            known = true;
        }
        if (heard.onsets[std::size_t(u.item)] < 0) {
            heard.onsets[std::size_t(u.item)] = at;
            heard.matches[std::size_t(u.item)] = m;
        }
    }
    return heard;
}

std::optional<int> ExamineeMouth::firstSum(Says says, int sum)
{
    switch (says) {
    case Says::Right: return sum;
    case Says::Wrong:
    case Says::SelfCorrection: return wrongSum(sum);
    default: return std::nullopt;
    }
}

std::optional<int> ExamineeMouth::lastSum(Says says, int sum)
{
    switch (says) {
    case Says::Right:
    case Says::SelfCorrection: return sum;
    case Says::Wrong: return wrongSum(sum);
    default: return std::nullopt;
    }
}
