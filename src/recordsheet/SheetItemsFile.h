#pragma once

#include "recordsheet/RecordSheet.h"

#include <QString>

// Every item of every administration on a sheet, one row each, as CSV (RFC 4180, UTF-8, CRLF
// line ends), for scripts and audits. The header line is fixed:
//   trial,administration,item,first_digit,second_digit,sum,mark,marked_by,latency_ms,heard,confidence,flags
// trial: Demonstration, Practice 1, Practice 2, 2.4 s, 2.0 s, 1.6 s or 1.2 s; administration:
// from 1 for each trial; item: from 1; mark: correct, wrong, none or not given; marked_by:
// examiner, voice where the examiner left the mark the voice gave (none included), or empty
// where nobody marked it. Where the program listened: latency_ms (one decimal) from the second
// digit heard to the voice's onset, heard (the sum taken, empty for none), confidence (0 to 1,
// two decimals) and flags (self-correction, something said, unsure; ";" between); else empty.
class SheetItemsFile {
public:
    static const char* const kHeader;

    static QByteArray csv(const RecordSheet& sheet);
    // False where the file cannot be written whole.
    static bool write(const RecordSheet& sheet, const QString& path);
};
