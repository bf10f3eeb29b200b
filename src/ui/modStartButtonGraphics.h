#pragma once

#include <QPixmap>
#include <QString>
#include <optional>

// Pictures from the program's image resources, decoded through a temporary file that is gone
// again before the picture is returned.

// The picture of resource `type`/`id`; a null picture when the resource could not be written
// out (no temporary name, missing resource, unwritable file). Without `fileName` a fresh
// "~rs" file in the temporary directory is used and removed in every case; a given file name is
// used as it is and removed after a successful load.
QPixmap LoadResourceImage(qint32 id, const QString& type,
                          const std::optional<QString>& fileName = std::nullopt);

// Writes the resource's bytes to the file: 0 on success, else the number of the failure
// (326 no such resource, 75 the file cannot be opened for writing, 61 not all bytes written).
qint32 SaveResourceToFile(qint16 id, const QString& type, const QString& fileName);

// A new empty file named after `prefix` in `directory` (empty: the temporary directory); true
// when one was made, with its name in `fileName`.
bool MakeTempFileName(QString directory, const QString& prefix, qint16 unique, QString& fileName);

// The text up to its first NUL character; all of it when it has none.
QString TrimAtNull(const QString& text);
