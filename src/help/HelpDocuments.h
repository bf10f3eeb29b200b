#pragma once

#include <QString>
#include <functional>

inline const QString kManualFileName = QStringLiteral("OVREL Manual.pdf");
inline const QString kRecordFormFileName = QStringLiteral("OVREL Record Form.pdf");

// Where a document that comes with the program is: beside the executable (the build tree), else
// in the documentation folder of the installation the executable belongs to (<prefix>/bin ->
// <prefix>/share/doc/ovrel). When neither exists, the place beside the executable.
QString documentPath(const QString& executableDirectory, const QString& fileName);

// Hands the manual to `open` (the desktop's program for PDF documents; false where there is none).
// Returns what the examiner is to be told where it could not be opened, naming where the manual
// is or belongs; empty where it opened.
QString openManual(const QString& executableDirectory, const std::function<bool(const QString& path)>& open);
