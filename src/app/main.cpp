#include "app/Startup.h"
#include "platform/FontConfigPreload.h"

#include <QApplication>

int main(int argc, char** argv)
{
    FontConfigPreload fonts;
    QApplication app(argc, argv);
    fonts.wait();
    if (!showMainWindow(loadMainWindow))
        return 1;
    return app.exec();
}
