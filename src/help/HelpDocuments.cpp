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

QString openManual(const QString& executableDirectory, const std::function<bool(const QString& path)>& open)
{
    const QString path = documentPath(executableDirectory, kManualFileName);
    if (!QFileInfo::exists(path))
        return QStringLiteral("The manual was not found. It belongs at %1.").arg(path);
    if (!open(path))
        return QStringLiteral("No program to show PDF documents was found. The manual is at %1.").arg(path);
    return {};
}
