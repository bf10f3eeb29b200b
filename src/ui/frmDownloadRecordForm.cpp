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
