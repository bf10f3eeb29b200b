#include "TimeTrace.h"

#include "sound/DefaultOutput.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

TimeTrace::TimeTrace()
{
    timer_.setInterval(200);
    QObject::connect(&timer_, &QTimer::timeout, [this] { read(); });
}

void TimeTrace::begin()
{
    reports_.clear();
    lost_ = 0;
    output_ = DefaultOutput::instance().chosen();
    next_ = output_ ? output_->timeReports().count() : 0;
    timer_.start();
}

void TimeTrace::end()
{
    read();
    timer_.stop();
}

// A stream of another output than before (the way chosen anew) is read from its first report.
void TimeTrace::read()
{
    const PlacedOutput* output = DefaultOutput::instance().chosen();
    if (!output)
        return;
    if (output != output_) {
        output_ = output;
        next_ = 0;
    }
    std::int64_t lost = 0;
    const std::vector<TimeReport> fresh = output->timeReports().since(next_, &lost);
    lost_ += lost;
    next_ += lost + std::int64_t(fresh.size());
    reports_.insert(reports_.end(), fresh.begin(), fresh.end());
}

// Times in ms from the first report, with the step from the report before; where the graph stood
// (PipeWire) and what was queued ahead (heard minus called, PortAudio) in frames.
bool TimeTrace::write(const QString& path) const
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QTextStream out(&file);
    out << "i\tsteady_ms\td_steady_ms\tfirst\tframes\tslip\tnow_ms\td_now_ms\tticks\td_ticks\tdelay\tqueued\tbuffered"
           "\trate\tgraph\td_graph\tcalled_ms\td_called_ms\tqueued_ahead\theard_minus_first\tunderflowed\n";
    if (reports_.empty())
        return true;
    const TimeReport& origin = reports_.front();
    const TimeReport* before = &origin;
    for (std::size_t i = 0; i < reports_.size(); ++i) {
        const TimeReport& r = reports_[i];
        const auto ms = [](std::int64_t ns) { return QString::number(double(ns) / 1e6, 'f', 3); };
        const auto frames = [](double f) { return QString::number(f, 'f', 1); };
        out << i << '\t' << ms(r.steadyNs - origin.steadyNs) << '\t' << ms(r.steadyNs - before->steadyNs) << '\t'
            << r.first << '\t' << r.frames << '\t' << r.slip << '\t' << ms(r.now - origin.now) << '\t'
            << ms(r.now - before->now) << '\t' << r.ticks << '\t' << qint64(r.ticks - before->ticks) << '\t' << r.delay
            << '\t' << r.queued << '\t' << r.buffered << '\t' << r.rateNum << '/' << r.rateDenom << '\t'
            << frames(r.graph) << '\t' << frames(r.graph - before->graph) << '\t'
            << QString::number((r.calledAt - origin.calledAt) / 44.1, 'f', 3) << '\t'
            << QString::number((r.calledAt - before->calledAt) / 44.1, 'f', 3) << '\t' << frames(r.heardAt - r.calledAt)
            << '\t' << frames(r.heardAt - double(r.first)) << '\t' << int(r.underflowed) << '\n';
        before = &r;
    }
    return true;
}
