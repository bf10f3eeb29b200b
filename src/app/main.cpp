#include "app/Startup.h"
#include "platform/PortAudioOutput.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // Start the output stream now, so the first digit of the first run is not kept waiting.
    PortAudioOutput::instance().open();
    if (!showMainWindow(loadMainWindow))
        return 1;
    return app.exec();
}
