#pragma once

#include "recordsheet/SheetResults.h"

#include <QDateTime>
#include <QStringList>

class QPagedPaintDevice;
class QPainter;

// The report of a sheet, for a PDF file or a printer: the date and time, the examinee's code where
// one was typed, the age group where one was chosen, and for each trial given its scores, counts,
// remarks, delivery, the line a program can read, and its marks. Four trials fit on one page.
class SheetReport {
public:
    SheetReport(const RecordSheet& sheet, std::uint8_t ageGroup, const QString& examinee, const QDateTime& when);

    // The report's text, line by line, as it is printed above each trial's marks.
    QStringList heading() const;
    QStringList trialText(const SheetResults::Row& row) const;

    // Paints the report on `device`, from its first page on; false where it cannot be painted.
    bool paint(QPagedPaintDevice& device) const;
    bool writePdf(const QString& path) const;

private:
    const RecordSheet& sheet_;
    std::uint8_t ageGroup_;
    QString examinee_;
    QDateTime when_;
    SheetResults results_;
};
