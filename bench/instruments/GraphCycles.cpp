#include "GraphCycles.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

bool GraphCycles::start()
{
    // It writes helper scripts beside its log: both stay in a folder of their own.
    profiler_.setWorkingDirectory(dir_.path());
    profiler_.setProcessChannelMode(QProcess::MergedChannels);  // it names the nodes on standard output
    profiler_.start(QStringLiteral("pw-profiler"), {QStringLiteral("-o"), QStringLiteral("cycles")});
    if (!profiler_.waitForStarted(5000))
        return false;
    QTest::qWait(500);  // it attaches to the server's profiler before it logs
    return profiler_.state() == QProcess::Running;
}

GraphCycles::Log GraphCycles::stop()
{
    profiler_.terminate();
    if (!profiler_.waitForFinished(5000))
        profiler_.kill();
    Log log;
    QFile file(dir_.filePath(QStringLiteral("cycles")));
    if (!file.open(QIODevice::ReadOnly))
        return log;
    // It names each node it logs, in the order of the node's fields in the log.
    QStringList names;
    static const QRegularExpression follower(QStringLiteral("logging follower \\d+ \\(\"(.*)\"\\)"));
    for (auto it = follower.globalMatch(QString::fromLocal8Bit(profiler_.readAll())); it.hasNext();)
        names << it.next().captured(1);
    // One line per cycle, tab-separated: four fields on the driver (the fourth is the cycle's
    // length), then eight on each node, blank where the node took no part; the seventh of those
    // is how far the node got, 3 meaning done. A node that joins is not done with its first
    // cycles: only one that had been done with one counts as falling behind, once until it is
    // done with one again.
    constexpr int kDriverFields = 4, kNodeFields = 8, kStatus = 6;
    QSet<int> running;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() < kDriverFields)
            continue;
        log.cycles.append(fields[3].toInt());
        log.lengths.insert(log.cycles.back());
        for (int node = 0; kDriverFields + node * kNodeFields + kStatus < fields.size(); ++node) {
            const QByteArray status = fields[kDriverFields + node * kNodeFields + kStatus].trimmed();
            if (status.isEmpty())
                running.remove(node);
            else if (status == "3")
                running.insert(node);
            else if (running.remove(node))
                ++log.missed[names.value(node, QStringLiteral("?"))];
        }
    }
    return log;
}

QSet<int> GraphCycles::Log::lengthsWhileHeldAt(int us) const
{
    const qsizetype first = cycles.indexOf(us), last = cycles.lastIndexOf(us);
    return first < 0 ? QSet<int>{} : QSet<int>(cycles.begin() + first, cycles.begin() + last + 1);
}
