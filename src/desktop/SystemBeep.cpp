#include "desktop/SystemBeep.h"

#include <QApplication>

void SystemBeep::beep()
{
    QApplication::beep();
}
