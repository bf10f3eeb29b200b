#include "app/RealServices.h"
#include "app/Startup.h"
#include "desktop/FontConfigPreload.h"

#include <QApplication>

int main(int argc, char** argv)
{
    FontConfigPreload fonts;
    // The menus belong in the window, as the manual shows them. A desktop's global menu bar
    // would also cost a round trip to the session bus before the window shows.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeMenuBar);
    QApplication app(argc, argv);
    fonts.wait();
    // Lives as long as the process: the window uses it up to the moment the program ends.
    static RealServices real;
    const ProgramServices& services = real.services();
    if (!showMainWindow([&] { return loadMainWindow(services); }, services.messages, services.ender))
        return 1;
    return app.exec();
}
