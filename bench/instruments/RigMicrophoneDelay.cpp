#include "RigMicrophoneDelay.h"

#include "SinkRecorder.h"
#include "sound/Median.h"
#include "timingcheck/TimingCheck.h"
#include "timingcheck/TimingCheckResult.h"

#include <QTest>
#include <algorithm>
#include <cmath>

namespace {

constexpr int kChannels = 4;
constexpr const char* kNode = "ovrel_rig_delay";

// Once the recorder's ports are there; what pw-link says of a try too soon is not shown. A try
// that made the link but was not told so (it timed out on a loaded machine, or the link was
// still settling) leaves it in place, and every later try hears "File exists": linked all the same.
bool link(const QString& from, const QString& to)
{
    for (int attempt = 0; attempt < 50; ++attempt) {
        QProcess pwLink;
        pwLink.start(QStringLiteral("pw-link"), {from, to});
        const bool finished = pwLink.waitForFinished(5000);
        if (finished && pwLink.exitStatus() == QProcess::NormalExit
            && (pwLink.exitCode() == 0 || pwLink.readAllStandardError().contains("File exists")))
            return true;
        if (!finished)
            pwLink.kill();
        QTest::qWait(100);
    }
    qWarning("could not link %s to %s", qPrintable(from), qPrintable(to));
    return false;
}

// Channels `first` and `first + 1` of the recording, as 16-bit stereo.
QByteArray pair(const QByteArray& samples, int first)
{
    const auto* in = reinterpret_cast<const std::int16_t*>(samples.constData());
    const qsizetype frames = samples.size() / qsizetype(kChannels * sizeof(std::int16_t));
    QByteArray stereo(frames * 2 * qsizetype(sizeof(std::int16_t)), Qt::Uninitialized);
    auto* out = reinterpret_cast<std::int16_t*>(stereo.data());
    for (qsizetype f = 0; f < frames; ++f) {
        out[2 * f] = in[kChannels * f + first];
        out[2 * f + 1] = in[kChannels * f + first + 1];
    }
    return stereo;
}

}  // namespace

bool RigMicrophoneDelay::start()
{
    if (!soundServerName().startsWith(QLatin1String("pipewire")) || !file_.open())
        return false;
    record_.start(QStringLiteral("pw-record"),
                  {QStringLiteral("--channels=4"), QStringLiteral("--channel-map=FL,FR,RL,RR"), QStringLiteral("--rate=44100"),
                   QStringLiteral("--format=s16"), QStringLiteral("-P"),
                   QStringLiteral("{ node.name=%1 node.autoconnect=false }").arg(QLatin1String(kNode)), file_.fileName()});
    if (!record_.waitForStarted(5000))
        return false;
    const QString node = QLatin1String(kNode);
    return link(QStringLiteral("ovrel_null:monitor_FL"), node + QStringLiteral(":input_FL"))
           && link(QStringLiteral("ovrel_null:monitor_FR"), node + QStringLiteral(":input_FR"))
           && link(QStringLiteral("ovrel_microphone:capture_FL"), node + QStringLiteral(":input_RL"))
           && link(QStringLiteral("ovrel_microphone:capture_FR"), node + QStringLiteral(":input_RR"));
}

double RigMicrophoneDelay::stopMs()
{
    record_.terminate();
    if (!record_.waitForFinished(5000))
        record_.kill();
    file_.seek(0);
    const QByteArray wave = file_.readAll();
    const qsizetype data = wave.indexOf("data");
    if (data < 0)
        return NAN;
    const QByteArray samples = wave.mid(data + 8);
    const DigitLocator locator;
    const auto sequence = TimingCheck::sequence();
    const TimingCheckResult sink = TimingCheckResult::judge(pair(samples, 0), locator, sequence, TimingCheck::kPaceMs);
    const TimingCheckResult microphone = TimingCheckResult::judge(pair(samples, 2), locator, sequence, TimingCheck::kPaceMs, true);
    std::vector<double> delays;
    for (std::size_t i = 0; i < sink.digits.size() && i < microphone.digits.size(); ++i)
        if (sink.digits[i].whole && microphone.digits[i].whole)
            delays.push_back(double(microphone.digits[i].onset - sink.digits[i].onset) * 1000 / 44100);
    if (!delays.empty()) {
        const auto [low, high] = std::minmax_element(delays.begin(), delays.end());
        spreadMs_ = *high - *low;
    }
    return median(delays);
}
