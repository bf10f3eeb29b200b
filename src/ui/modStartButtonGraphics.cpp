#include "ui/modStartButtonGraphics.h"

#include "platform/Resources.h"
#include "platform/TempFiles.h"

#include <QFile>
#include <limits>

namespace {
constexpr int kBufferLength = 255;
constexpr qint32 kResourceNotFound = 326;
constexpr qint32 kFileAccessError = 75;
constexpr qint32 kDiskFull = 61;
}  // namespace

QString TrimAtNull(const QString& text)
{
    const qsizetype at = text.indexOf(QChar(0));
    return at < 0 ? text : text.left(at);
}

bool MakeTempFileName(QString directory, const QString& prefix, qint16 unique, QString& fileName)
{
    if (directory.isEmpty()) {
        directory = QString(kBufferLength, QChar(0));
        if (GetTempPathA(kBufferLength, directory) == 0)
            return false;
        directory = TrimAtNull(directory);
    }
    fileName = QString(kBufferLength, QChar(0));
    const bool made = GetTempFileNameA(directory, prefix, quint16(unique), fileName) > 0;
    fileName = TrimAtNull(fileName);
    return made;
}

qint32 SaveResourceToFile(qint16 id, const QString& type, const QString& fileName)
{
    const QByteArray bytes = LoadResourceBytes(type.toLatin1().constData(), id);
    if (bytes.isEmpty())
        return kResourceNotFound;
    QFile file(fileName);
    if (fileName.isEmpty() || !file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return kFileAccessError;
    const bool whole = file.write(bytes) == bytes.size();
    file.close();
    return whole && file.error() == QFileDevice::NoError ? 0 : kDiskFull;
}

QPixmap LoadResourceImage(qint32 id, const QString& type, const std::optional<QString>& fileName)
{
    QString name;
    if (fileName)
        name = *fileName;
    else
        MakeTempFileName(QString(), QStringLiteral("~rs"), 0, name);
    const bool ownFile = !fileName && !name.isEmpty();
    const bool fits = id >= std::numeric_limits<qint16>::min() && id <= std::numeric_limits<qint16>::max();
    if (fits && SaveResourceToFile(qint16(id), type, name) == 0) {
        QPixmap picture(name);
        QFile::remove(name);
        return picture;
    }
    // A temporary file of ours that could not be written is not left behind.
    if (ownFile)
        QFile::remove(name);
    return {};
}
