#pragma once

#include <QDialog>


// The about window: title, version, a line of description and the product web page's link.
// Placed 800 twips right of and 1400 twips below the spot that would centre it on the main
// window, then moved just enough to lie wholly on that window's screen. Enter and Esc close it.
class AboutDialog final : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* mainWindow);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void placeBesideMainWindow(QWidget* mainWindow);
};

// "Version <major>.<minor>.<revision>".
QString versionText(int major, int minor, int revision);

// The about window's outer rectangle for a main window with outer rectangle `main` on a screen
// whose available area is `screen`.
QRect aboutPlacement(const QRect& main, QSize about, const QRect& screen);
