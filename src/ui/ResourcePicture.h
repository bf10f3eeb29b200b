#pragma once

#include <QPixmap>
#include <QString>

class QIcon;

// The picture of image resource `type`/`id` (the start/stop button's "GIF" 101 and 102). It is
// decoded from a "~rs" file written to the user's temporary folder, which is gone again before
// the picture is returned, also when it could not be written. A null picture when the resource is
// missing or no temporary file could be written.
QPixmap loadResourcePicture(const QString& type, int id);

// Picture resource `path` read as `format`, by default the one its name ends in; a null picture
// when there is none. Read by a named format, a picture does not have Qt load every image plugin
// (and libjpeg) to ask each whether it reads it.
QPixmap resourcePixmap(const QString& path, const QByteArray& format = {});

// The icon of picture resource `path` (":/images/name.png"), with its "@2x" variant where there
// is one. Made from the pictures themselves: an icon named by its file would have the desktop's
// MIME database loaded to tell its type, which costs start-up several milliseconds and half a
// megabyte.
QIcon resourceIcon(const QString& path);
