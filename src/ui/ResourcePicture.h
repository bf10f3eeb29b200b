#pragma once

#include <QPixmap>
#include <QString>

// The picture of image resource `type`/`id` (the start/stop button's "GIF" 101 and 102). It is
// decoded from a "~rs" file written to the user's temporary folder, which is gone again before
// the picture is returned, also when it could not be written. A null picture when the resource is
// missing or no temporary file could be written.
QPixmap loadResourcePicture(const QString& type, int id);
