#include "SinkRecorder.h"

#include "timingcheck/DigitLocator.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>

namespace {

// The PulseAudio service that the test tools reach: on PipeWire the program itself may be kept
// from seeing it, so that ALSA's "default" goes to PipeWire directly.
QStringList serverArguments()
{
    const QString server = qEnvironmentVariable("OVREL_TOOLS_PULSE_SERVER");
    return server.isEmpty() ? QStringList() : QStringList{QStringLiteral("--server=") + server};
}

}  // namespace

bool SinkRecorder::start()
{
    if (!file_.open())
        return false;
    parec_.setStandardOutputFile(file_.fileName());
    parec_.start(QLatin1String(kNodeName),
                 // By the sink's own name: PipeWire's PulseAudio service can take "@DEFAULT_MONITOR@"
                 // for the default input, the rig's microphone, which hears the sink too, later.
                 serverArguments() + QStringList{QStringLiteral("--device=ovrel_null.monitor"), QStringLiteral("--raw"),
                  QStringLiteral("--format=s16le"), QStringLiteral("--rate=44100"),
                  QStringLiteral("--channels=2"), QStringLiteral("--latency-msec=20")});
    if (!parec_.waitForStarted(5000))
        return false;
    // The monitor delivers only after a while; what is played before that would be missed.
    QElapsedTimer waited;
    waited.start();
    constexpr qint64 oneSecond = 44100 * 4;
    while (QFileInfo(file_.fileName()).size() < oneSecond && waited.elapsed() < 10000)
        QTest::qWait(20);
    return QFileInfo(file_.fileName()).size() >= oneSecond;
}

QByteArray SinkRecorder::stop()
{
    parec_.terminate();
    if (!parec_.waitForFinished(5000))
        parec_.kill();
    file_.seek(0);
    return file_.readAll();
}

std::optional<QString> pactl(const QStringList& arguments)
{
    QProcess p;
    p.start(QStringLiteral("pactl"), serverArguments() + arguments);
    if (!p.waitForFinished(10000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {};
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

int sinkPercent()
{
    const auto m = QRegularExpression(QStringLiteral("(\\d+)%")).match(pactl({QStringLiteral("get-sink-volume"), QStringLiteral("@DEFAULT_SINK@")}).value_or(QString()));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

int streamCount(const QString& kind)
{
    const QString listed = pactl({QStringLiteral("list"), QStringLiteral("short"), kind}).value_or(QString());
    return int(listed.split(QLatin1Char('\n'), Qt::SkipEmptyParts).size());
}

QStringList streamListingsOf(qint64 pid)
{
    const QString listed = pactl({QStringLiteral("list"), QStringLiteral("sink-inputs")}).value_or(QString());
    // Each stream's block starts "Sink Input #N" and names the process it belongs to.
    const QString process = QStringLiteral("application.process.id = \"%1\"").arg(pid);
    QStringList blocks;
    for (const QString& block : listed.split(QStringLiteral("Sink Input #"), Qt::SkipEmptyParts))
        if (block.contains(process))
            blocks << block;
    return blocks;
}

QStringList streamsOf(qint64 pid)
{
    QStringList streams;
    for (const QString& block : streamListingsOf(pid))
        streams << block.section(QLatin1Char('\n'), 0, 0).trimmed();
    return streams;
}

std::vector<int> digitsHeard(const QByteArray& recording)
{
    std::vector<int> digits;
    for (const auto& found : DigitLocator().locate(recording))
        digits.push_back(found.whole() ? found.digit : 0);
    return digits;
}

bool privateSoundServer()
{
    return !soundServerName().isEmpty();
}

QString soundServerName()
{
    return qEnvironmentVariable("OVREL_SOUND_SERVER");
}
