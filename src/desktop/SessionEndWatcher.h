#pragma once

#include <QObject>

// Tells when the desktop ends the program from outside instead of through its own Exit, so that
// it can store and put back what it must first:
// - SIGTERM, SIGHUP or SIGINT (a logout or shutdown, a closed terminal, Ctrl+C), delivered
//   through the event loop, also while a modal window runs its own;
// - the session manager's request to save before the session ends (X11 session management);
// - the display going away: Qt's X11 connection then ends the process with exit(), and
//   requested() is emitted from within it, after which no event loop runs again.
// On Wayland a lost display ends the process without exit(); nothing can be done there.
// One watcher per process; it lives as long as the process.
class SessionEndWatcher final : public QObject {
    Q_OBJECT
public:
    explicit SessionEndWatcher(QObject* parent = nullptr);

signals:
    // Connect directly: when the display has gone, this comes from within exit(). The receiver is
    // expected to end the program.
    void requested();
};
