#include "help/AboutDialog.h"

#include "ui/Fonts.h"
#include "desktop/Desktop.h"
#include "desktop/MessagePresenter.h"
#include "ui/Twips.h"
#include "desktop/Version.h"
#include "ui/Title.h"
#include "help/LinkLabel.h"
#include "help/WebAddresses.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

namespace {

QLabel* label(const QString& text, QWidget* parent, QRect geometry, QFont font)
{
    auto* l = new QLabel(text, parent);
    l->setGeometry(geometry);
    l->setFont(font);
    return l;
}

}  // namespace

QString versionText(int major, int minor, int revision)
{
    return QStringLiteral("Version %1.%2.%3").arg(major).arg(minor).arg(revision);
}

QRect aboutPlacement(const QRect& main, QSize about, const QRect& screen)
{
    // The rule works in twips, in single precision, on the outer rectangles.
    const float left = (float(main.width() * 15) - float(about.width() * 15)) / 2 + float(main.left() * 15) + 800;
    const float top = (float(main.height() * 15) - float(about.height() * 15)) / 2 + float(main.top() * 15) + 1400;
    QRect placed(QPoint(int(std::lround(left / 15)), int(std::lround(top / 15))), about);
    placed.moveLeft(std::max(screen.left(), std::min(placed.left(), screen.right() - about.width() + 1)));
    placed.moveTop(std::max(screen.top(), std::min(placed.top(), screen.bottom() - about.height() + 1)));
    return placed;
}

AboutDialog::AboutDialog(QWidget* mainWindow) : QDialog(mainWindow)
{
    setWindowTitle(QStringLiteral("About the OVREL..."));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(twipsToPixels(6000), twipsToPixels(3060));
    const QFont normal = arialFont(9.75);

    label(kApplicationTitle, this, twipsRect(1050, 210, 3900, 330), arialFont(12, true));
    label(versionText(ovrel::kVersionMajor, ovrel::kVersionMinor, ovrel::kVersionRevision), this,
          twipsRect(1050, 630, 1905, 330), normal);
    label(QStringLiteral("Presents and scores an auditory attention test."), this,
          twipsRect(1050, 1575, 4740, 330), normal);
    QFont link = arialFont(9.75, true);
    link.setUnderline(true);
    auto* webSite = new LinkLabel(kProductHost + QStringLiteral("/ovrel.html"), this);
    webSite->setObjectName(QStringLiteral("webSiteLink"));
    webSite->setGeometry(twipsRect(1050, 1890, 3375, 330));
    webSite->setFont(link);
    QPalette blue = webSite->palette();
    blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
    webSite->setPalette(blue);
    webSite->setToolTip(QStringLiteral("Visit the web site!"));
    webSite->setCursor(QCursor(QPixmap(QStringLiteral(":/images/hand.png")), 5, 0));
    connect(webSite, &LinkLabel::clicked, this, [] { openWebPage(productPageAddress()); });

    auto* blackboard = new QLabel(this);
    blackboard->setGeometry(twipsRect(105, 210, 780, 600));
    blackboard->setPixmap(QPixmap(QStringLiteral(":/images/blackboard.png")));
    blackboard->setScaledContents(true);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setGeometry(twipsRect(4305, 2625, 1380, 330));
    ok->setFont(normal);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::close);
    ok->setFocus();
    placeBesideMainWindow(mainWindow);
}

void AboutDialog::placeBesideMainWindow(QWidget* mainWindow)
{
    adjustSize();
    if (!mainWindow)
        return;
    const QScreen* screen = mainWindow->screen();
    const QRect area = screen ? screen->availableGeometry() : QRect(-100000, -100000, 200000, 200000);
    const QSize frameExtra = frameGeometry().size() - size();
    move(aboutPlacement(mainWindow->frameGeometry(), size() + frameExtra, area).topLeft());
}

// The etched rule above the OK button: a blue line with a white one under it.
void AboutDialog::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    QPainter p(this);
    const int left = twipsToPixels(105), right = twipsToPixels(5910);
    p.setPen(QPen(QColor(0, 0, 255), 1));
    p.drawLine(left, twipsToPixels(2415), right, twipsToPixels(2415));
    p.setPen(QPen(Qt::white, 2));
    p.drawLine(left, twipsToPixels(2430) + 1, right, twipsToPixels(2430) + 1);
}
