#pragma once

#include "desktop/Beeper.h"

#include <QObject>

// Lets only the digits 0 to 9 and Backspace be typed into a raw score field. Any other character,
// Ctrl+V and Shift+Insert included, is dropped with a beep. Keys that type nothing (arrows,
// Delete, Tab, Enter, Esc) keep their usual meaning.
class DigitFieldFilter final : public QObject {
    Q_OBJECT
public:
    DigitFieldFilter(Beeper& beeper, QObject* parent) : QObject(parent), beeper_(beeper) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Beeper& beeper_;
};
