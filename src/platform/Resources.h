#pragma once

#include <QByteArray>

// The program's own resources by type and numeric identifier ("WAVE" 1 to 9, ...), carried in the
// executable. Returns the resource's bytes, or an empty array when there is no such resource.
QByteArray LoadResourceBytes(const char* type, int id);
