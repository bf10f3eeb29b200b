#include "ui/HelpDocuments.h"

#include <QDir>
#include <QFileInfo>

QString manualPath(const QString& executableDirectory)
{
    const QDir dir(executableDirectory);
    const QString beside = dir.filePath(kManualFileName);
    if (QFileInfo::exists(beside))
        return beside;
    const QString installed = QDir::cleanPath(dir.filePath(QStringLiteral("../share/doc/ovrel/") + kManualFileName));
    return QFileInfo::exists(installed) ? installed : beside;
}
