#include "app/Startup.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (!showMainWindow(loadMainWindow))
        return 1;
    return app.exec();
}
