#include "ui/frmAbout.h"

#include "platform/Fonts.h"
#include "platform/Shell.h"
#include "platform/Twips.h"
#include "platform/Version.h"
#include "ui/LinkLabel.h"
#include "ui/WebAddresses.h"

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

QString VersionText(int major, int minor, int revision)
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

frmAbout::frmAbout(QWidget* mainWindow) : QDialog(mainWindow), mainWindow_(mainWindow)
{
    setWindowTitle(QStringLiteral("About the OVREL..."));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(twipsToPixels(6000), twipsToPixels(3060));
    const QFont normal = arialFont(9.75);

    lblTitle = label(QStringLiteral("Corvane Computerized OVREL"), this, twipsRect(1050, 210, 3900, 330), arialFont(12, true));
    lblVersion = label(QString(), this, twipsRect(1050, 630, 1905, 330), normal);
    lblDescription = label(QStringLiteral("Presents and scores an auditory attention test."),
                           this, twipsRect(1050, 1575, 4740, 330), normal);
    QFont link = arialFont(9.75, true);
    link.setUnderline(true);
    lblMyWebSite = new LinkLabel(kProductHost + QStringLiteral("/ovrel.html"), this);
    lblMyWebSite->setGeometry(twipsRect(1050, 1890, 3375, 330));
    lblMyWebSite->setFont(link);
    QPalette blue = lblMyWebSite->palette();
    blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
    lblMyWebSite->setPalette(blue);
    lblMyWebSite->setToolTip(QStringLiteral("Visit the web site!"));
    lblMyWebSite->setCursor(QCursor(QPixmap(QStringLiteral(":/images/hand.png")), 5, 0));
    connect(lblMyWebSite, &LinkLabel::clicked, this, [this] { lblMyWebSite_Click(); });

    Image1 = new QLabel(this);
    Image1->setGeometry(twipsRect(105, 210, 780, 600));
    Image1->setPixmap(QPixmap(QStringLiteral(":/images/blackboard.png")));
    Image1->setScaledContents(true);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setGeometry(twipsRect(4305, 2625, 1380, 330));
    cmdOK->setFont(normal);
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    cmdOK->setFocus();
    Form_Load();
}

void frmAbout::Form_Load()
{
    adjustSize();
    if (mainWindow_) {
        const QScreen* screen = mainWindow_->screen();
        const QRect area = screen ? screen->availableGeometry() : QRect(-100000, -100000, 200000, 200000);
        const QSize frameExtra = frameGeometry().size() - size();
        const QRect outer = aboutPlacement(mainWindow_->frameGeometry(), size() + frameExtra, area);
        move(outer.topLeft());
    }
    lblVersion->setText(VersionText(ovrel::kVersionMajor, ovrel::kVersionMinor, ovrel::kVersionRevision));
}

void frmAbout::lblMyWebSite_Click()
{
    ShellExecuteA(0, "open", productPageAddress(), QString(), QString(), SW_SHOWNORMAL);
}

// The etched rule above the OK button: a blue line with a white one under it.
void frmAbout::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    QPainter p(this);
    const int left = twipsToPixels(105), right = twipsToPixels(5910);
    p.setPen(QPen(QColor(0, 0, 255), 1));
    p.drawLine(left, twipsToPixels(2415), right, twipsToPixels(2415));
    p.setPen(QPen(Qt::white, 2));
    p.drawLine(left, twipsToPixels(2430) + 1, right, twipsToPixels(2430) + 1);
}
