#include "desktop/Desktop.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace {

// Where the desktop's tools can tell, whether it has a program for the document's type: without
// one, the desktop's opener fails after it was handed the file, with a line on its error output
// that nobody reads.
bool hasProgramFor(const QString& path)
{
    const QString query = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (query.isEmpty())
        return true;
    QProcess asked;
    asked.start(query, {QStringLiteral("query"), QStringLiteral("default"), QMimeDatabase().mimeTypeForFile(path).name()});
    if (!asked.waitForFinished(3000) || asked.exitStatus() != QProcess::NormalExit)
        return true;
    return !asked.readAllStandardOutput().trimmed().isEmpty();
}

}  // namespace

bool openDocument(const QString& path)
{
    return QFileInfo::exists(path) && hasProgramFor(path) && QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool openWebPage(const QString& address)
{
    const QUrl url(address, QUrl::StrictMode);
    const bool web = url.isValid() && (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"));
    return web && QDesktopServices::openUrl(url);
}
