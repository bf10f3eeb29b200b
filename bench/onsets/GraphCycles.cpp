#include "GraphCycles.h"

#include <QFile>
#include <QTest>

bool GraphCycles::start()
{
    // It writes helper scripts beside its log: both stay in a folder of their own.
    profiler_.setWorkingDirectory(dir_.path());
    profiler_.start(QStringLiteral("pw-profiler"), {QStringLiteral("-o"), QStringLiteral("cycles")});
    if (!profiler_.waitForStarted(5000))
        return false;
    QTest::qWait(500);  // it attaches to the server's profiler before it logs
    return profiler_.state() == QProcess::Running;
}

QSet<int> GraphCycles::stop()
{
    profiler_.terminate();
    if (!profiler_.waitForFinished(5000))
        profiler_.kill();
    QFile log(dir_.filePath(QStringLiteral("cycles")));
    QSet<int> lengths;
    if (!log.open(QIODevice::ReadOnly))
        return lengths;
    // One line per cycle, tab-separated; the fourth field is the cycle's length in µs.
    for (const QByteArray& line : log.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() > 3)
            lengths.insert(fields[3].toInt());
    }
    return lengths;
}
