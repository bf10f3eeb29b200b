#include "desktop/MessagePresenter.h"

#include "ui/Title.h"

void MessagePresenter::tell(const QString& text, MessageIcon icon, QWidget* parent)
{
    show(parent, kApplicationTitle, text, icon);
}
