#include "desktop/SavePlace.h"

#include <QDir>
#include <QStandardPaths>

QString savePlace(const QString& name)
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(!documents.isEmpty() && QDir(documents).exists() ? documents : QDir::homePath()).filePath(name);
}
