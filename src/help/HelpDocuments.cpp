#include "help/HelpDocuments.h"

#include <QDir>
#include <QFileInfo>

QString documentPath(const QString& executableDirectory, const QString& fileName)
{
    const QDir dir(executableDirectory);
    const QString beside = dir.filePath(fileName);
    if (QFileInfo::exists(beside))
        return beside;
    const QString installed = QDir::cleanPath(dir.filePath(QStringLiteral("../share/doc/ovrel/") + fileName));
    return QFileInfo::exists(installed) ? installed : beside;
}
