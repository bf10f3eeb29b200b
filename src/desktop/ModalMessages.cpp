#include "desktop/ModalMessages.h"

#include <QMessageBox>

void ModalMessages::show(QWidget* parent, const QString& title, const QString& text, MessageIcon icon)
{
    QMessageBox box(parent);
    box.setWindowTitle(title);
    box.setText(text);
    box.setIcon(icon == MessageIcon::Critical  ? QMessageBox::Critical
                : icon == MessageIcon::Warning ? QMessageBox::Warning
                                               : QMessageBox::NoIcon);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}
