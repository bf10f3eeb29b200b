#pragma once

#include <QDialog>

// Offers the paper record form from the product's web site. Centred on the screen; Close or the
// close box shut it, Esc does not.
class RecordFormDialog final : public QDialog {
    Q_OBJECT
public:
    explicit RecordFormDialog(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
