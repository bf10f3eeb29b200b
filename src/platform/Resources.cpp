#include "platform/Resources.h"

#include <QFile>
#include <QIcon>
#include <QPixmap>

QByteArray resourceBytes(const QString& type, int id)
{
    QFile file(QStringLiteral(":/%1/%2").arg(type).arg(id));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QIcon resourceIcon(const QString& path)
{
    QIcon icon(QPixmap{path});
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    const QString doubled = path.left(dot) + QStringLiteral("@2x") + path.mid(dot);
    if (QFile::exists(doubled))
        icon.addPixmap(QPixmap(doubled));
    return icon;
}
