#include "platform/Resources.h"

#include <QFile>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>

QByteArray resourceBytes(const QString& type, int id)
{
    QFile file(QStringLiteral(":/%1/%2").arg(type).arg(id));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
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
