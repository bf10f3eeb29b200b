#pragma once

#include "sound/TimeReport.h"

#include <QString>
#include <QTimer>
#include <vector>

class PlacedOutput;

// The time reports of the program's output stream through one run: read from the stream's ring
// (TimeReportRing) every 200 ms while collecting, so that a run longer than the ring holds is
// kept whole, and written out as a table for a run that went wrong.
class TimeTrace {
public:
    TimeTrace();

    // Collects from the reports the stream adds after this call.
    void begin();
    // Collects what came since the last read, and stops.
    void end();
    const std::vector<TimeReport>& reports() const { return reports_; }
    // Reports the ring had overwritten before they were read (0 where the trace is whole).
    std::int64_t lost() const { return lost_; }
    // One line a report, tab-separated, under a header that names the columns; false where the
    // file cannot be written.
    bool write(const QString& path) const;

private:
    void read();

    QTimer timer_;
    const PlacedOutput* output_ = nullptr;
    std::int64_t next_ = 0;
    std::int64_t lost_ = 0;
    std::vector<TimeReport> reports_;
};
