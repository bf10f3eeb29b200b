#pragma once

#include <QString>

inline const QString kManualFileName = QStringLiteral("OVREL Manual.pdf");
inline const QString kRecordFormFileName = QStringLiteral("OVREL Record Form.pdf");

// Where a document that comes with the program is: beside the executable (the build tree), else
// in the documentation folder of the installation the executable belongs to (<prefix>/bin ->
// <prefix>/share/doc/ovrel). When neither exists, the place beside the executable.
QString documentPath(const QString& executableDirectory, const QString& fileName);
