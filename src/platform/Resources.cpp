#include "platform/Resources.h"

#include <QFile>

QByteArray LoadResourceBytes(const char* type, int id)
{
    QFile file(QStringLiteral(":/%1/%2").arg(QLatin1String(type)).arg(id));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}
