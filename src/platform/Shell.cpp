#include "platform/Shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace {
constexpr int kHandedOver = 42;
constexpr int kFileNotFound = 2;
constexpr int kNoAssociation = 31;
}  // namespace

int ShellExecuteA(HWND, const char*, const QString& file, const QString&, const QString&, int)
{
    const QUrl url = QUrl(file, QUrl::StrictMode);
    const bool web = url.isValid() && (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"));
    if (!web && !QFileInfo::exists(file))
        return kFileNotFound;
    return QDesktopServices::openUrl(web ? url : QUrl::fromLocalFile(file)) ? kHandedOver : kNoAssociation;
}
