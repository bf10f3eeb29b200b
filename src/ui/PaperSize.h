#pragma once

#include <QLocale>
#include <QPageSize>

// The page size for the program's reports and printing: the default printer's, where the
// computer has one; otherwise what the locale uses, US Letter in the United States' measurement
// system and A4 elsewhere.
QPageSize paperSize();
// From the locale alone.
QPageSize paperSizeFor(const QLocale& locale);
