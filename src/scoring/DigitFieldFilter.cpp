#include "scoring/DigitFieldFilter.h"

#include <QKeyEvent>

namespace {

bool passesUnfiltered(int key)
{
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Delete:
        return true;
    default:
        return false;
    }
}

}  // namespace

bool DigitFieldFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->matches(QKeySequence::Paste)) {
        beeper_.beep();
        return true;
    }
    if (passesUnfiltered(key->key()) || key->key() == Qt::Key_Backspace)
        return false;
    const QString text = key->text();
    if (text.isEmpty())
        return false;
    const QChar c = text.front();
    if (text.size() == 1 && c >= QLatin1Char('0') && c <= QLatin1Char('9'))
        return false;
    beeper_.beep();
    return true;
}
