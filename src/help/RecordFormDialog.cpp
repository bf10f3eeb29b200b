#include "help/RecordFormDialog.h"

#include "ui/Fonts.h"
#include "desktop/Desktop.h"
#include "ui/Twips.h"
#include "help/HelpDocuments.h"
#include "help/LinkLabel.h"
#include "help/WebAddresses.h"

#include <QCoreApplication>
#include <QGuiApplication>
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

// At 12 points the first text takes three lines, one more than its box holds: each box grows to
// its text, and the second moves down as far as the first needs, so that nothing is cut off.
void fitTexts(QLabel* first, QLabel* second)
{
    for (QLabel* text : {first, second})
        text->resize(text->width(), std::max(text->height(), text->heightForWidth(text->width())));
    const int below = first->geometry().bottom() + 1 + twipsToPixels(90);
    second->move(second->x(), std::max(second->y(), below));
}

}  // namespace

RecordFormDialog::RecordFormDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Download Record Form"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setWindowIcon(QIcon(QPixmap(1, 1)));  // no icon of its own
    setFixedSize(twipsToPixels(4860), twipsToPixels(3375));
    setFont(arialFont(12));

    auto* closeButton = new QPushButton(QStringLiteral("Close"), this);
    closeButton->setGeometry(twipsRect(1898, 2625, 1065, 540));
    closeButton->setAutoDefault(false);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::close);
    QLabel* first = wrapped("Please click on the link below to download a PDF copy of the OVREL record form.",
                            this, twipsRect(218, 210, 4425, 645));
    QLabel* second = wrapped("You will require Adobe Reader or another PDF reader to open and print this file.",
                             this, twipsRect(218, 945, 4425, 645));
    fitTexts(first, second);
    auto* download = new LinkLabel(QStringLiteral("Download Record Form"), this);
    download->setObjectName(QStringLiteral("downloadLink"));
    download->setGeometry(twipsRect(1005, 1890, 2850, 435));
    QFont link = arialFont(12, true);
    link.setUnderline(true);
    download->setFont(link);
    download->setAlignment(Qt::AlignCenter);
    QPalette darkBlue = download->palette();
    darkBlue.setColor(QPalette::WindowText, QColor(0, 0, 128));
    download->setPalette(darkBlue);
    // The form installed with the program, in the PDF reader; the web copy only where it is missing.
    connect(download, &LinkLabel::clicked, this, [] {
        if (!openDocument(documentPath(QCoreApplication::applicationDirPath(), kRecordFormFileName)))
            openWebPage(recordFormAddress());
    });
    closeButton->setFocus();

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}
