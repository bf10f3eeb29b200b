#pragma once

#include <QString>

// The user's temporary directory and fresh file names in it. Buffers are texts padded with NUL
// characters, as the callers make them; what is written ends at the first NUL.

// Writes the temporary directory (TMPDIR, else /tmp), ending in "/", into the start of `buffer`
// when it fits in `bufferLength` characters with its NUL; returns its length, or the length
// needed when it does not fit, or 0 on failure.
int GetTempPathA(int bufferLength, QString& buffer);

// With `unique` 0: creates an empty file "<path>/<prefix (3 characters at most)><hex>.tmp" whose
// name was not taken (never an existing file), writes its name into `tempFileName` and returns
// the number used. With another `unique`: only makes that name. Returns 0 when no file could be
// made or the name does not fit the buffer.
unsigned GetTempFileNameA(const QString& path, const QString& prefix, unsigned unique,
                          QString& tempFileName);
