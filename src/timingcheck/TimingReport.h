#pragma once

#include <QString>
#include <QStringList>

class OnsetPlot;

// The one-page PDF report of a timing check: when, on what sound output and input, the plot,
// the figures (as lines a program can read) and the verdict. It holds no examinee data.
struct TimingReport {
    QString listenedTo;     // what was recorded
    QString soundOutput;  // the way the sound took to the server
    QString output;
    QString input;          // empty: none was recorded
    QStringList figures;
    QString verdict;

    // False when the file cannot be written.
    bool write(const QString& path, const OnsetPlot& plot) const;
};
