#pragma once

#include <QString>

inline const QString kManualFileName = QStringLiteral("OVREL Manual.pdf");

// Where the manual is: beside the executable (the build tree), else in the documentation folder
// of the installation the executable belongs to (<prefix>/bin -> <prefix>/share/doc/ovrel). When
// neither exists, the place beside the executable.
QString manualPath(const QString& executableDirectory);
