#pragma once

#include <QByteArray>
#include <QString>

// The program's own resources by type and numeric identifier ("WAVE" 1 to 9, "GIF" 101 and 102),
// carried in the executable. Returns the resource's bytes, or an empty array when there is none.
QByteArray resourceBytes(const QString& type, int id);

class QIcon;
class QPixmap;

// Picture resource `path` read as `format`, by default the one its name ends in; a null picture
// when there is none. Read by a named format, a picture does not have Qt load every image plugin
// (and libjpeg) to ask each whether it reads it.
QPixmap resourcePixmap(const QString& path, const QByteArray& format = {});

// The icon of picture resource `path` (":/images/name.png"), with its "@2x" variant where there
// is one. Made from the pictures themselves: an icon named by its file would have the desktop's
// MIME database loaded to tell its type, which costs start-up several milliseconds and half a
// megabyte.
QIcon resourceIcon(const QString& path);
