#include "PrivateDisplay.h"

#include <QThread>
#include <X11/Xlib.h>
#include <chrono>
#include <poll.h>
#include <unistd.h>

PrivateDisplay::PrivateDisplay() : name_(QStringLiteral(":%1").arg(500 + getpid() % 400))
{
    server_.start(QStringLiteral("Xvfb"), {name_, QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    for (int i = 0; i < 100 && !display_; ++i) {
        QThread::msleep(50);
        display_ = XOpenDisplay(name_.toLatin1().constData());
    }
    if (display_) {
        XSelectInput(display_, DefaultRootWindow(display_), SubstructureNotifyMask);
        XSync(display_, True);
    }
}

PrivateDisplay::~PrivateDisplay()
{
    if (display_)
        XCloseDisplay(display_);
    server_.kill();
    server_.waitForFinished();
}

QProcessEnvironment PrivateDisplay::environment(const QString& configFolder) const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), name_);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), configFolder);
    return env;
}

bool PrivateDisplay::waitForMap()
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        while (XPending(display_)) {
            XEvent event;
            XNextEvent(display_, &event);
            if (event.type == MapNotify)
                return true;
        }
        pollfd fd{ConnectionNumber(display_), POLLIN, 0};
        poll(&fd, 1, 100);
    }
    return false;
}
