#include "app/Startup.h"

#include "desktop/MessagePresenter.h"
#include "desktop/ProgramEnder.h"
#include "app/ProgramServices.h"
#include "desktop/SessionEndWatcher.h"
#include "app/MainWindow.h"

#include <QGuiApplication>
#include <QScreen>
#include <memory>

namespace {

// The number reported for failures that carry none of their own.
constexpr int kInternalError = 51;

void reportAndEnd(int number, const QString& description, MessagePresenter& messages, ProgramEnder& ender)
{
    messages.tell(QStringLiteral("Error %1: %2").arg(number).arg(description), MessageIcon::Critical);
    ender.end();
}

}  // namespace

QWidget* showMainWindow(const MainWindowLoader& load, MessagePresenter& messages, ProgramEnder& ender)
{
    try {
        QWidget* window = load();
        window->show();
        if (auto* main = qobject_cast<MainWindow*>(window))
            main->applyStoredVolume();
        return window;
    } catch (const std::exception& e) {
        reportAndEnd(kInternalError, QString::fromStdString(e.what()), messages, ender);
    }
    return nullptr;
}

QWidget* loadMainWindow(const ProgramServices& services)
{
    // Watching before the window sets the volume: an end asked for meanwhile waits for the window.
    static SessionEndWatcher* sessionEnd = new SessionEndWatcher;
    auto window = std::make_unique<MainWindow>(services);
    QObject::connect(sessionEnd, &SessionEndWatcher::requested, window.get(), &MainWindow::endSession,
                     Qt::DirectConnection);
    window->adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = window->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window->move(frame.topLeft());
    }
    return window.release();
}
