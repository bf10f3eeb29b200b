#pragma once

#include <QDialog>

class LinkLabel;
class QLabel;
class QPushButton;

// Offers the paper record form from the product's web site. Centred on the screen; Close or the
// close box shut it, Esc does not.
class frmDownloadRecordForm final : public QDialog {
    Q_OBJECT
public:
    explicit frmDownloadRecordForm(QWidget* parent = nullptr);

    void cmdClose_Click() { close(); }
    void lblDownload_Click();

    QPushButton* cmdClose = nullptr;
    QLabel* lblText1 = nullptr;
    QLabel* lblText2 = nullptr;
    LinkLabel* lblDownload = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void fitTexts();
};
