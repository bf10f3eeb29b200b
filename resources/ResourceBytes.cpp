#include "resources/ResourceBytes.h"

#include <QFile>

QByteArray resourceBytes(const QString& type, int id)
{
    QFile file(QStringLiteral(":/%1/%2").arg(type).arg(id));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}
