#include "desktop/ModalMessages.h"

#include "ui/Title.h"

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

bool ModalMessages::confirm(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Warning, kApplicationTitle, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}
