#include "app/Startup.h"

#include "mixer/AlsaMasterMixer.h"
#include "desktop/MessagePresenter.h"
#include "desktop/ProgramEnder.h"
#include "desktop/SessionEndWatcher.h"
#include "administration/MainWindow.h"

#include <QGuiApplication>
#include <QScreen>
#include <memory>

namespace {

// The number reported for failures that carry none of their own.
constexpr int kInternalError = 51;

void reportAndEnd(int number, const QString& description)
{
    showMessage(QStringLiteral("Error %1: %2").arg(number).arg(description), MessageIcon::Critical);
    endProgram();
}

}  // namespace

QWidget* showMainWindow(const MainWindowLoader& load)
{
    try {
        QWidget* window = load();
        window->show();
        if (auto* main = qobject_cast<MainWindow*>(window))
            main->applyStoredVolume();
        return window;
    } catch (const std::exception& e) {
        reportAndEnd(kInternalError, QString::fromStdString(e.what()));
    }
    return nullptr;
}

QWidget* loadMainWindow()
{
    // Lives as long as the process: the window uses it up to the moment the program ends.
    static AlsaMasterMixer mixer;
    // Watching before the window sets the volume: an end asked for meanwhile waits for the window.
    static SessionEndWatcher* sessionEnd = new SessionEndWatcher;
    auto window = std::make_unique<MainWindow>(mixer);
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
