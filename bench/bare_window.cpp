// The reference for the program's start-up and memory: a bare Qt Widgets window.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.show();
    return app.exec();
}
