#pragma once

#include <QByteArray>
#include <QString>

// The program's own resources by type and numeric identifier ("WAVE" 1 to 9, "GIF" 101 and 102),
// carried in the executable. Returns the resource's bytes, or an empty array when there is none.
QByteArray resourceBytes(const QString& type, int id);
