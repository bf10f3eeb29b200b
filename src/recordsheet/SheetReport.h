#pragma once

#include "recordsheet/SheetResults.h"

#include <QDateTime>
#include <QStringList>

class QPagedPaintDevice;
class QPainter;

// The report of a sheet, for a PDF file or a printer: when it was saved or printed, the examiner
// and the examinee's code where typed, the age group where one was chosen, the notes on the
// demonstration and practice, and for each trial given its start, scores, counts, remarks (pauses
// among them), delivery, notes, the line a program can read, and its marks. Four trials fit on
// one page, of the size the computer's printer or locale uses.
class SheetReport {
public:
    struct Particulars {
        QString examinee;
        QString examiner;
        QDateTime when;
        bool printed = false;  // or saved
    };

    SheetReport(const RecordSheet& sheet, const Particulars& particulars);

    // The report's text, line by line, as it is printed above each trial's marks.
    QStringList heading() const;
    QStringList trialText(const SheetResults::Row& row) const;

    // Paints the report on `device`, from its first page on; false where it cannot be painted.
    bool paint(QPagedPaintDevice& device) const;
    bool writePdf(const QString& path) const;

private:
    const RecordSheet& sheet_;
    Particulars particulars_;
    SheetResults results_;
};
