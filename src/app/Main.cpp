#include "app/Main.h"

#include "platform/MessageBox.h"
#include "platform/ProgramEnd.h"
#include "platform/RuntimeError.h"
#include "test/frmOvrel.h"

#include <QGuiApplication>
#include <QScreen>
#include <memory>

namespace {

// The number reported for failures that carry none of their own.
constexpr int kInternalError = 51;

void reportAndEnd(int number, const QString& description)
{
    MsgBox(QStringLiteral("Error %1: %2").arg(number).arg(description), MsgIcon::Critical);
    EndProgram();
}

}  // namespace

QWidget* Main(const MainWindowLoader& load)
{
    try {
        QWidget* window = load();
        window->show();
        return window;
    } catch (const RuntimeError& e) {
        reportAndEnd(e.number(), QString::fromStdString(e.what()));
    } catch (const std::exception& e) {
        reportAndEnd(kInternalError, QString::fromStdString(e.what()));
    }
    return nullptr;
}

QWidget* loadMainWindow()
{
    auto window = std::make_unique<frmOvrel>();
    window->Form_Load();
    window->adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = window->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window->move(frame.topLeft());
    }
    return window.release();
}
