#include "ui/ResourcePicture.h"

#include "resources/ResourceBytes.h"

#include <QDir>
#include <QFile>
#include <QIcon>
#include <QImageReader>
#include <QTemporaryFile>

QPixmap loadResourcePicture(const QString& type, int id)
{
    const QByteArray bytes = resourceBytes(type, id);
    // An unusable TMPDIR gives no folder at all, rather than a file at the top of the tree.
    const QString folder = QDir::tempPath();
    if (bytes.isEmpty() || folder.isEmpty())
        return {};
    // A fresh name that was not taken, removed with the file object in every case.
    QTemporaryFile file(folder + QStringLiteral("/~rsXXXXXX.tmp"));
    if (!file.open() || file.write(bytes) != bytes.size() || !file.flush())
        return {};
    file.close();
    // The resource's type names its format ("GIF"): Qt then asks that reader alone, not every
    // image plugin in turn.
    return QPixmap(file.fileName(), type.toLatin1().constData());
}

QPixmap resourcePixmap(const QString& path, const QByteArray& format)
{
    QImageReader reader(path, format.isEmpty() ? path.section(QLatin1Char('.'), -1).toLatin1() : format);
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

QIcon resourceIcon(const QString& path)
{
    QIcon icon(resourcePixmap(path));
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    const QString doubled = path.left(dot) + QStringLiteral("@2x") + path.mid(dot);
    if (QFile::exists(doubled))
        icon.addPixmap(resourcePixmap(doubled));
    return icon;
}
