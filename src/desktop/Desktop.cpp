#include "desktop/Desktop.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

bool openDocument(const QString& path)
{
    return QFileInfo::exists(path) && QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool openWebPage(const QString& address)
{
    const QUrl url(address, QUrl::StrictMode);
    const bool web = url.isValid() && (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"));
    return web && QDesktopServices::openUrl(url);
}
