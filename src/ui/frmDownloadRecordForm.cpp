#include "ui/frmDownloadRecordForm.h"

#include "platform/Fonts.h"
#include "platform/Shell.h"
#include "platform/Twips.h"
#include "ui/LinkLabel.h"
#include "ui/WebAddresses.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

namespace {

QLabel* wrapped(const char* text, QWidget* parent, QRect geometry)
{
    auto* l = new QLabel(QString::fromLatin1(text), parent);
    l->setGeometry(geometry);
    l->setWordWrap(true);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

}  // namespace

frmDownloadRecordForm::frmDownloadRecordForm(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Download Record Form"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setWindowIcon(QIcon(QPixmap(1, 1)));  // no icon of its own
    setFixedSize(twipsToPixels(4860), twipsToPixels(3375));
    setFont(arialFont(12));

    cmdClose = new QPushButton(QStringLiteral("Close"), this);
    cmdClose->setGeometry(twipsRect(1898, 2625, 1065, 540));
    cmdClose->setAutoDefault(false);
    connect(cmdClose, &QPushButton::clicked, this, [this] { cmdClose_Click(); });
    lblText1 = wrapped("Please click on the link below to download a PDF copy of the OVREL record form.",
                       this, twipsRect(218, 210, 4425, 645));
    lblText2 = wrapped("You will require Adobe Reader or another PDF reader to open and print this file.",
                       this, twipsRect(218, 945, 4425, 645));
    fitTexts();
    lblDownload = new LinkLabel(QStringLiteral("Download Record Form"), this);
    lblDownload->setGeometry(twipsRect(1005, 1890, 2850, 435));
    QFont link = arialFont(12, true);
    link.setUnderline(true);
    lblDownload->setFont(link);
    lblDownload->setAlignment(Qt::AlignCenter);
    QPalette darkBlue = lblDownload->palette();
    darkBlue.setColor(QPalette::WindowText, QColor(0, 0, 128));
    lblDownload->setPalette(darkBlue);
    connect(lblDownload, &LinkLabel::clicked, this, [this] { lblDownload_Click(); });
    cmdClose->setFocus();

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

// At 12 points the first text takes three lines, one more than its box holds: each box grows to
// its text, and the second moves down as far as the first needs, so that nothing is cut off.
void frmDownloadRecordForm::fitTexts()
{
    for (QLabel* text : {lblText1, lblText2})
        text->resize(text->width(), std::max(text->height(), text->heightForWidth(text->width())));
    const int below = lblText1->geometry().bottom() + 1 + twipsToPixels(90);
    lblText2->move(lblText2->x(), std::max(lblText2->y(), below));
}

void frmDownloadRecordForm::lblDownload_Click()
{
    ShellExecuteA(0, "open", recordFormAddress(), QString(), QString(), SW_SHOWNORMAL);
}

void frmDownloadRecordForm::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        return;  // this window is closed only by Close or its close box
    QDialog::keyPressEvent(event);
}
