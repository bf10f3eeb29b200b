#include "recordsheet/RecordSheetWindow.h"

#include "desktop/MessagePresenter.h"
#include "desktop/SavePlace.h"
#include "desktop/SettingsStore.h"
#include "protocol/AgeGroups.h"
#include "recordsheet/ListenBar.h"
#include "recordsheet/ListeningService.h"
#include "recordsheet/SheetGrid.h"
#include "recordsheet/SheetItemsFile.h"
#include "recordsheet/SheetReport.h"
#include "recordsheet/SheetResults.h"
#include "ui/Fonts.h"
#include "ui/PaperSize.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

const QString kExaminerKey = QStringLiteral("Examiner");

}  // namespace

RecordSheetWindow::RecordSheetWindow(RecordSheet& sheet, MessagePresenter& messages, ListeningService* listening,
                                     QWidget* parent)
    : QWidget(parent, Qt::Window), sheet_(sheet), messages_(messages), listening_(listening)
{
    setWindowTitle(QStringLiteral("OVREL Record Sheet"));
    setFont(arialFont(10));
    buildControls();
    connect(&sheet_, &RecordSheet::listChanged, this, &RecordSheetWindow::refreshList);
    connect(&sheet_, &RecordSheet::changed, this, &RecordSheetWindow::refresh);
    // A run started from the main window leaves its Start button with the focus, where Space
    // would pause the run: the marks take the keys instead.
    connect(&sheet_, &RecordSheet::runUnderWay, this, [this] {
        if (isVisible()) {
            activateWindow();
            grid_->setFocus(Qt::OtherFocusReason);
        }
    });
    awaitedShade_.setInterval(100);
    connect(&awaitedShade_, &QTimer::timeout, grid_, qOverload<>(&QWidget::update));
    refreshList();
    refresh();
}

void RecordSheetWindow::buildControls()
{
    auto* layout = new QVBoxLayout(this);
    // Never smaller than all it shows: a remark or a set of more rows makes the window grow.
    layout->setSizeConstraint(QLayout::SetMinimumSize);
    auto* top = new QHBoxLayout;
    examinee_ = new QLineEdit(this);
    examinee_->setObjectName(QStringLiteral("examineeField"));
    examinee_->setPlaceholderText(QStringLiteral("optional, never stored"));
    examiner_ = new QLineEdit(readSetting(kExaminerKey, QString()), this);
    examiner_->setObjectName(QStringLiteral("examinerField"));
    examiner_->setPlaceholderText(QStringLiteral("optional"));
    connect(examiner_, &QLineEdit::editingFinished, this, [this] { writeSetting(kExaminerKey, examiner_->text().trimmed()); });
    ageGroup_ = new QComboBox(this);
    ageGroup_->setObjectName(QStringLiteral("ageGroupBox"));
    ageGroup_->addItem(ageGroupName(0), 0);
    for (const AgeGroup& group : kAgeGroups)
        ageGroup_->addItem(QString::fromLatin1(group.name), group.code);
    administrations_ = new QComboBox(this);
    administrations_->setObjectName(QStringLiteral("administrationBox"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Exa&miner:"), examiner_);
    form->addRow(QStringLiteral("&Examinee code:"), examinee_);
    form->addRow(QStringLiteral("&Age group:"), ageGroup_);
    form->addRow(QStringLiteral("S&hown:"), administrations_);
    top->addLayout(form);
    layout->addLayout(top);
    ListenBar* listenBar = listening_ ? new ListenBar(*listening_, sheet_, messages_, [this] { return grid_->viewed(); }, this) : nullptr;
    if (listenBar)
        layout->addWidget(listenBar);

    grid_ = new SheetGrid(sheet_, this);
    layout->addWidget(grid_, 0, Qt::AlignLeft);
    counts_ = new QLabel(this);
    counts_->setObjectName(QStringLiteral("countsLabel"));
    remarks_ = new QLabel(this);
    remarks_->setObjectName(QStringLiteral("remarksLabel"));
    remarks_->setWordWrap(true);
    auto* keys = new QLabel(QStringLiteral("Space: correct   X: wrong   Backspace: take back the last mark\n"
                                           "Arrow keys: move   F5: start or pause the run")
                                + (listening_ ? QStringLiteral("   H: hear again") : QString()),
                            this);
    keys->setFont(arialFont(8.5));
    // Room for a trial's two lines of counts and two of remarks, whatever is shown first.
    counts_->setMinimumHeight(2 * counts_->fontMetrics().lineSpacing());
    remarks_->setMinimumHeight(2 * remarks_->fontMetrics().lineSpacing());
    notes_ = new QLineEdit(this);
    notes_->setObjectName(QStringLiteral("notesField"));
    notes_->setPlaceholderText(QStringLiteral("pauses, notices, anything of this administration"));
    connect(notes_, &QLineEdit::textEdited, this, [this](const QString& text) { sheet_.setNotes(grid_->viewed(), text); });
    auto* notesRow = new QFormLayout;
    notesRow->addRow(QStringLiteral("N&otes:"), notes_);
    layout->addWidget(counts_);
    layout->addWidget(remarks_);
    layout->addLayout(notesRow);
    layout->addWidget(keys);

    auto* buttons = new QHBoxLayout;
    newExaminee_ = new QPushButton(QStringLiteral("&New Examinee"), this);
    newExaminee_->setObjectName(QStringLiteral("newExamineeButton"));
    auto* copy = new QPushButton(QStringLiteral("&Copy"), this);
    auto* save = new QPushButton(QStringLiteral("&Save Report…"), this);
    auto* print = new QPushButton(QStringLiteral("&Print…"), this);
    auto* exportItems = new QPushButton(QStringLiteral("Export &Items…"), this);
    exportItems->setToolTip(QStringLiteral("Every item's mark, as a CSV file (Ctrl+E)"));
    for (QPushButton* button : {newExaminee_, copy, save, print, exportItems}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    if (listenBar)
        connect(grid_, &SheetGrid::hearAgain, listenBar, &ListenBar::hearAgain);
    buttons->addStretch();
    layout->addLayout(buttons);
    // The shortcuts act on the whole window; a text field that has the focus keeps Ctrl+C for itself.
    const std::pair<QKeySequence, void (RecordSheetWindow::*)()> shortcuts[] = {
        {QKeySequence::Copy, &RecordSheetWindow::copyResults},
        {QKeySequence::Save, &RecordSheetWindow::chooseReportFile},
        {QKeySequence::Print, &RecordSheetWindow::choosePrinter},
        {QKeySequence(Qt::CTRL | Qt::Key_E), &RecordSheetWindow::chooseItemsFile}};
    for (const auto& [key, slot] : shortcuts) {
        auto* action = new QAction(this);
        action->setShortcut(key);
        connect(action, &QAction::triggered, this, slot);
        addAction(action);
    }
    connect(copy, &QPushButton::clicked, this, &RecordSheetWindow::copyResults);
    connect(save, &QPushButton::clicked, this, &RecordSheetWindow::chooseReportFile);
    connect(print, &QPushButton::clicked, this, &RecordSheetWindow::choosePrinter);
    connect(exportItems, &QPushButton::clicked, this, &RecordSheetWindow::chooseItemsFile);
    connect(newExaminee_, &QPushButton::clicked, this, &RecordSheetWindow::newExaminee);
    connect(ageGroup_, &QComboBox::activated, this,
            [this](int index) { sheet_.setAgeGroup(std::uint8_t(ageGroup_->itemData(index).toInt())); });
    connect(administrations_, &QComboBox::activated, this, [this](int index) {
        grid_->view(administrations_->itemData(index).toInt());
        refreshList();
        refresh();
    });
}

void RecordSheetWindow::refresh()
{
    const int viewed = grid_->viewed();
    const SheetAdministration& given = viewed >= 0 ? sheet_.administrations()[std::size_t(viewed)] : sheet_.chosen();
    counts_->setText(SheetResults::countsLine(given));
    QStringList remarks;
    if (viewed >= 0) {
        if (const QString said = SheetResults::remarks({&given, sheet_.superseded(viewed), sheet_.ordinal(viewed), {}, {}});
            !said.isEmpty())
            remarks << said.left(1).toUpper() + said.mid(1) + QLatin1Char('.');
        if (given.ended && given.finished())
            remarks << QStringLiteral("Delivery: %1.").arg(given.delivery.isEmpty() ? QStringLiteral("being checked") : given.delivery);
    }
    remarks_->setText(remarks.join(QLatin1Char(' ')));
    notes_->setEnabled(viewed >= 0);
    if (notes_->text() != given.notes)
        notes_->setText(given.notes);
    ageGroup_->setCurrentIndex(ageGroup_->findData(sheet_.ageGroup()));
    // A run paused may go on: its digits are the sheet's.
    newExaminee_->setEnabled(!sheet_.givingNow());
}

// The administrations given, the latest of a set given again said to be so, and the set chosen
// while it has not been given. Follows the sheet to the administration under way, or to the set
// chosen (the sheet moves on only with a change of its list); one picked from the list stays in
// view until the sheet moves on.
void RecordSheetWindow::refreshList()
{
    if (sheet_.shown() != followed_) {
        followed_ = sheet_.shown();
        grid_->view(followed_);
    }
    const std::vector<SheetAdministration>& all = sheet_.administrations();
    administrations_->clear();
    for (int n = 0; n < int(all.size()); ++n)
        administrations_->addItem(all[std::size_t(n)].name()
                                      + (sheet_.superseded(n)      ? QStringLiteral(" (earlier, given again)")
                                         : sheet_.ordinal(n) > 1 ? QStringLiteral(" (given again: %1 administration)")
                                                                       .arg(SheetResults::ordinalName(sheet_.ordinal(n)))
                                                                 : QString()),
                                  n);
    if (grid_->viewed() < 0)
        administrations_->addItem(sheet_.chosen().name() + QStringLiteral(" (not given yet)"), -1);
    administrations_->setCurrentIndex(administrations_->findData(grid_->viewed()));
}

void RecordSheetWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F5)
        emit startOrPauseAsked();
    else
        QWidget::keyPressEvent(event);
}

void RecordSheetWindow::showEvent(QShowEvent* event)
{
    // Beside the main window, not over it: to its right, or its left where the screen ends.
    if (!placed_ && parentWidget()) {
        placed_ = true;
        const QRect main = parentWidget()->frameGeometry();
        const QRect screen = parentWidget()->screen()->availableGeometry();
        const QSize size = frameGeometry().size().expandedTo(sizeHint());
        const int right = main.right() + 12, left = main.left() - 12 - size.width();
        move(right + size.width() <= screen.right() || left < screen.left() ? right : left, main.top());
    }
    awaitedShade_.start();
    grid_->setFocus(Qt::OtherFocusReason);
    QWidget::showEvent(event);
}

void RecordSheetWindow::hideEvent(QHideEvent* event)
{
    awaitedShade_.stop();
    QWidget::hideEvent(event);
}

void RecordSheetWindow::copyResults()
{
    QGuiApplication::clipboard()->setText(SheetResults(sheet_, sheet_.ageGroup()).table());
}

SheetReport::Particulars RecordSheetWindow::particulars(bool printed) const
{
    return {examinee_->text(), examiner_->text(), QDateTime::currentDateTime(), printed};
}

bool RecordSheetWindow::saveReport(const QString& path)
{
    const bool written = SheetReport(sheet_, particulars(false)).writePdf(path);
    if (written)
        sheet_.markSaved();
    return written;
}

bool RecordSheetWindow::printReport(QPagedPaintDevice& printer)
{
    const bool printed = SheetReport(sheet_, particulars(true)).paint(printer);
    if (printed)
        sheet_.markSaved();
    return printed;
}

void RecordSheetWindow::chooseReportFile()
{
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save Report"), savePlace(QStringLiteral("record-sheet.pdf")),
                                                      QStringLiteral("PDF documents (*.pdf)"));
    if (!path.isEmpty() && !saveReport(path))
        messages_.tell(QStringLiteral("The report could not be saved to %1.").arg(path), MessageIcon::Warning, this);
}

void RecordSheetWindow::chooseItemsFile()
{
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Export Items"), savePlace(QStringLiteral("record-sheet-items.csv")),
                                                      QStringLiteral("CSV files (*.csv)"));
    if (!path.isEmpty() && !SheetItemsFile::write(sheet_, path))
        messages_.tell(QStringLiteral("The items could not be written to %1.").arg(path), MessageIcon::Warning, this);
}

void RecordSheetWindow::choosePrinter()
{
    QPrinter printer;
    printer.setPageSize(paperSize());
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted && !printReport(printer))
        messages_.tell(QStringLiteral("The report could not be printed."), MessageIcon::Warning, this);
}

bool RecordSheetWindow::mayDropMarks(const RecordSheet& sheet, MessagePresenter& messages, QWidget* parent)
{
    return !sheet.hasUnsavedMarks()
           || messages.confirm(parent, QStringLiteral("The record sheet has changes that are in no report saved or printed. Close anyway?"));
}

void RecordSheetWindow::newExaminee()
{
    if (!mayDropMarks(sheet_, messages_, this))
        return;
    sheet_.clear();
    examinee_->clear();
    grid_->setFocus(Qt::OtherFocusReason);
}
