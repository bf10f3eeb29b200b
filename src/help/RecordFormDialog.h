#pragma once

#include <QDialog>

// Offers the paper record form: the copy installed with the program, else the product's web site.
// Centred on the screen; Close, Esc or the close box shut it.
class RecordFormDialog final : public QDialog {
    Q_OBJECT
public:
    explicit RecordFormDialog(QWidget* parent = nullptr);
};
