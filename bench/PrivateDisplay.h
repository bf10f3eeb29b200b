#pragma once

#include <QProcess>
#include <QString>

typedef struct _XDisplay Display;

// A private X server (Xvfb) for the bench's own windows, and an eye on the windows mapped on it.
class PrivateDisplay {
public:
    PrivateDisplay();
    ~PrivateDisplay();
    PrivateDisplay(const PrivateDisplay&) = delete;
    PrivateDisplay& operator=(const PrivateDisplay&) = delete;

    bool ok() const { return display_ != nullptr; }
    // For a program shown on this server, with its settings (and ALSA's) in `configFolder`.
    QProcessEnvironment environment(const QString& configFolder) const;
    // Waits up to 10 s for a window to be mapped; true when one was.
    bool waitForMap();

private:
    QString name_;
    QProcess server_;
    Display* display_ = nullptr;
};
