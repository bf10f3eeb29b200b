#include "ui/PaperSize.h"

#include <QPrinterInfo>

QPageSize paperSizeFor(const QLocale& locale)
{
    return QPageSize(locale.measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter : QPageSize::A4);
}

QPageSize paperSize()
{
    const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
    const QPageSize size = printer.isNull() ? QPageSize() : printer.defaultPageSize();
    return size.isValid() ? size : paperSizeFor(QLocale::system());
}
