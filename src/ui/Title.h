#pragma once

#include <QString>

// The program's name as its windows and message boxes carry it in their title bars.
inline const QString kApplicationTitle = QStringLiteral("Corvane Computerized OVREL");
