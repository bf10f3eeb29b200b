#pragma once

#include <QDialog>

class LinkLabel;
class QLabel;
class QPushButton;

// The about window: title, version, a line of description and the product web page's link.
// Placed 800 twips right of and 1400 twips below the spot that would centre it on the main
// window, then moved just enough to lie wholly on that window's screen. Enter and Esc close it.
class frmAbout final : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* mainWindow);

    void Form_Load();
    void cmdOK_Click() { close(); }
    void lblMyWebSite_Click();

    QPushButton* cmdOK = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblDescription = nullptr;
    LinkLabel* lblMyWebSite = nullptr;
    QLabel* Image1 = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* mainWindow_;
};

// "Version <major>.<minor>.<revision>".
QString VersionText(int major, int minor, int revision);

// The about window's outer rectangle for a main window with outer rectangle `main` on a screen
// whose available area is `screen`.
QRect aboutPlacement(const QRect& main, QSize about, const QRect& screen);
