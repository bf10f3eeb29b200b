#include "platform/TempFiles.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <fcntl.h>
#include <unistd.h>

namespace {

bool writeInto(QString& buffer, const QString& text)
{
    if (text.size() + 1 > buffer.size())
        return false;
    buffer.replace(0, text.size() + 1, text + QChar(0));
    return true;
}

QString nameFor(const QString& path, const QString& prefix, unsigned number)
{
    QString dir = path;
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir + prefix.left(3) + QString::number(number & 0xffff, 16).toUpper() + QStringLiteral(".tmp");
}

}  // namespace

int GetTempPathA(int bufferLength, QString& buffer)
{
    QString dir = QDir::tempPath();
    if (dir.isEmpty())
        return 0;
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    if (dir.size() + 1 > bufferLength || dir.size() + 1 > buffer.size())
        return int(dir.size()) + 1;
    writeInto(buffer, dir);
    return int(dir.size());
}

unsigned GetTempFileNameA(const QString& path, const QString& prefix, unsigned unique,
                          QString& tempFileName)
{
    if (unique != 0) {
        const QString name = nameFor(path, prefix, unique);
        return writeInto(tempFileName, name) ? (unique & 0xffff) : 0;
    }
    const unsigned first = 1 + QRandomGenerator::global()->bounded(0xffffu);
    for (unsigned i = 0; i < 0xffff; ++i) {
        const unsigned number = 1 + (first + i - 1) % 0xffff;
        const QString name = nameFor(path, prefix, number);
        const int fd = ::open(QFile::encodeName(name).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return 0;
        }
        ::close(fd);
        if (!writeInto(tempFileName, name)) {
            QFile::remove(name);
            return 0;
        }
        return number;
    }
    return 0;
}
