#include "ui/ResourcePicture.h"

#include "platform/Resources.h"

#include <QDir>
#include <QTemporaryFile>

QPixmap loadResourcePicture(const QString& type, int id)
{
    const QByteArray bytes = resourceBytes(type, id);
    // An unusable TMPDIR gives no folder at all, rather than a file at the top of the tree.
    const QString folder = QDir::tempPath();
    if (bytes.isEmpty() || folder.isEmpty())
        return {};
    // A fresh name that was not taken, removed with the file object in every case.
    QTemporaryFile file(folder + QStringLiteral("/~rsXXXXXX.tmp"));
    if (!file.open() || file.write(bytes) != bytes.size() || !file.flush())
        return {};
    file.close();
    // The resource's type names its format ("GIF"): Qt then asks that reader alone, not every
    // image plugin in turn.
    return QPixmap(file.fileName(), type.toLatin1().constData());
}
