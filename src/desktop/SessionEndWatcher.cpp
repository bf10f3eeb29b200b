#include "desktop/SessionEndWatcher.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Written by the signal handler, read on the UI thread: the handler itself may do nothing else.
int g_wakeup[2] = {-1, -1};
SessionEndWatcher* g_watcher = nullptr;

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(g_wakeup[1], &byte, 1);
}

void onExit()
{
    if (g_watcher)
        emit g_watcher->requested();
}

}  // namespace

SessionEndWatcher::SessionEndWatcher(QObject* parent) : QObject(parent)
{
    if (g_watcher || ::pipe2(g_wakeup, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    g_watcher = this;
    auto* notifier = new QSocketNotifier(g_wakeup[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        while (::read(g_wakeup[0], bytes, sizeof bytes) > 0) {
        }
        emit requested();
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGHUP, SIGINT})
        ::sigaction(signal, &action, nullptr);
    if (qGuiApp)
        connect(qGuiApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) { emit requested(); },
                Qt::DirectConnection);
    // Handlers run in the reverse order of their registration, and the exit path needs Qt's own
    // (the settings store's among them) still alive: registered once the event loop runs, after
    // the window has used them for the first time.
    QMetaObject::invokeMethod(this, [] { std::atexit(onExit); }, Qt::QueuedConnection);
}
