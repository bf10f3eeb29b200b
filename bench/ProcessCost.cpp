#include "ProcessCost.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QMap>
#include <QTimer>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

Cost costOf(const rusage& r)
{
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return {seconds(r.ru_utime) + seconds(r.ru_stime), r.ru_nvcsw + r.ru_nivcsw};
}

// The context switches of each thread of another running process, by thread.
QMap<QString, long> switchesByThread(qint64 pid)
{
    QMap<QString, long> switches;
    for (const QString& task : QDir(QStringLiteral("/proc/%1/task").arg(pid)).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile status(QStringLiteral("/proc/%1/task/%2/status").arg(pid).arg(task));
        if (status.open(QIODevice::ReadOnly))
            for (const QByteArray& line : status.readAll().split('\n'))
                if (line.contains("ctxt_switches:"))
                    switches[task] += line.split(':').last().trimmed().toLong();
    }
    return switches;
}

double cpuSecondsOf(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = stat.readAll().split(')').last().trimmed().split(' ');
    return double(fields.value(11).toLong() + fields.value(12).toLong()) / double(sysconf(_SC_CLK_TCK));
}

}  // namespace

Cost ownCost()
{
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    return costOf(r);
}

void waitMs(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// What another running process spent over `ms`: a thread that ended meanwhile takes what it did
// with it, one that began counts whole.
Cost costOver(qint64 pid, int ms)
{
    const QMap<QString, long> before = switchesByThread(pid);
    const double cpuBefore = cpuSecondsOf(pid);
    waitMs(ms);
    Cost spent{cpuSecondsOf(pid) - cpuBefore, 0};
    const QMap<QString, long> after = switchesByThread(pid);
    for (auto it = after.cbegin(); it != after.cend(); ++it)
        spent.switches += it.value() - before.value(it.key(), 0);
    return spent;
}

long residentKiB(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("VmRSS:"))
                return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

Cost aplayCost(const QString& path)
{
    const QByteArray file = path.toLocal8Bit();
    const pid_t pid = fork();
    if (pid == 0) {
        execlp("aplay", "aplay", "-q", "-D", "default", file.constData(), nullptr);
        _exit(127);
    }
    int status = 0;
    rusage r{};
    wait4(pid, &status, 0, &r);
    return costOf(r);
}
