#include "scoring/frmScoring.h"

#include "platform/Fonts.h"
#include "platform/MessageBox.h"
#include "platform/Twips.h"
#include "scoring/DigitFieldFilter.h"
#include "scoring/ScoreComputation.h"

#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

QFont scoringFont(bool bold = false)
{
    return arialFont(11.25, bold);
}

QLabel* label(const char* caption, QWidget* parent, QRect geometry, Qt::Alignment align)
{
    auto* l = new QLabel(QString::fromLatin1(caption), parent);
    l->setGeometry(geometry);
    l->setAlignment(align | Qt::AlignVCenter);
    return l;
}

QLabel* resultLabel(QWidget* parent, QRect geometry)
{
    auto* l = label("", parent, geometry, Qt::AlignHCenter);
    l->setFont(scoringFont(true));
    l->setFrameShape(QFrame::Box);
    l->setLineWidth(1);
    l->setAutoFillBackground(true);
    QPalette palette = l->palette();
    palette.setColor(QPalette::Window, QColor(255, 255, 128));
    palette.setColor(QPalette::WindowText, Qt::black);
    l->setPalette(palette);
    return l;
}

QPushButton* button(const char* caption, QWidget* parent, QRect geometry)
{
    auto* b = new QPushButton(QString::fromLatin1(caption), parent);
    b->setGeometry(geometry);
    b->setAutoDefault(false);
    return b;
}

}  // namespace

frmScoring::frmScoring(QWidget* owner) : QDialog(owner)
{
    setWindowTitle(QStringLiteral("OVREL Scoring"));
    setWindowIcon(QIcon(QStringLiteral(":/images/scoring.png")));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(twipsToPixels(4740), twipsToPixels(3585));
    setFont(scoringFont());
    buildControls();
    txt24->setFocus();
}

void frmScoring::buildControls()
{
    Frame1 = new QGroupBox(QStringLiteral("Age Range"), this);
    Frame1->setGeometry(twipsRect(105, 315, 1485, 2430));
    struct AgeButton {
        QRadioButton** button;
        const char* caption;
        qint16 index;  // the age-group code
    };
    const AgeButton ages[] = {{&optAge16, "16-29", 16}, {&optAge30, "30-49", 30}, {&optAge50, "50-69", 50}};
    int top = 420;
    for (const AgeButton& age : ages) {
        *age.button = new QRadioButton(QString::fromLatin1(age.caption), Frame1);
        (*age.button)->setGeometry(twipsRect(210, top, 960, 330));
        const qint16 index = age.index;
        connect(*age.button, &QRadioButton::clicked, this, [this, index] { optAge_Click(index); });
        top += 735;
    }

    label("Raw", this, twipsRect(2205, 210, 540, 330), Qt::AlignHCenter);
    label("Z", this, twipsRect(2940, 210, 750, 330), Qt::AlignHCenter);
    label("%ile", this, twipsRect(3780, 210, 750, 330), Qt::AlignHCenter);

    addRow(0, 24, "2.4", 525);
    addRow(1, 20, "2.0", 1050);
    addRow(2, 16, "1.6", 1680);
    addRow(3, 12, "1.2", 2310);
    txt24 = rows_[0].field, txt20 = rows_[1].field, txt16 = rows_[2].field, txt12 = rows_[3].field;
    lbl24z = rows_[0].z, lbl20z = rows_[1].z, lbl16z = rows_[2].z, lbl12z = rows_[3].z;
    lbl24p = rows_[0].percentile, lbl20p = rows_[1].percentile;
    lbl16p = rows_[2].percentile, lbl12p = rows_[3].percentile;

    cmdScore = button("&Score", this, twipsRect(3465, 2940, 1170, 540));
    cmdScore->setDefault(true);
    cmdClear = button("C&lear", this, twipsRect(2205, 2940, 1170, 540));
    cmdClose = button("&Close", this, twipsRect(105, 2940, 1485, 540));
    connect(cmdScore, &QPushButton::clicked, this, [this] { cmdScore_Click(); });
    connect(cmdClear, &QPushButton::clicked, this, [this] { cmdClear_Click(); });
    connect(cmdClose, &QPushButton::clicked, this, [this] { cmdClose_Click(); });

    QWidget* order[] = {txt24, txt20, txt16, txt12, cmdScore, cmdClear, cmdClose,
                        optAge16, optAge30, optAge50};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void frmScoring::addRow(std::size_t index, quint8 code, const char* caption, int top)
{
    label(caption, this, twipsRect(1680, top, 435, 435), Qt::AlignRight);
    auto* field = new QLineEdit(this);
    field->setGeometry(twipsRect(2205, top, 540, 435));
    field->setMaxLength(2);
    field->installEventFilter(new DigitFieldFilter(field));
    field->installEventFilter(this);
    Row row{code, field, resultLabel(this, twipsRect(2940, top, 750, 435)),
            resultLabel(this, twipsRect(3885, top, 750, 435))};
    rows_[index] = row;
    connect(field, &QLineEdit::textChanged, this, [this, row] { emptyResults(row); });
}

void frmScoring::showEvent(QShowEvent* event)
{
    if (!placed_ && parentWidget()) {
        QRect frame = frameGeometry();
        frame.moveCenter(parentWidget()->window()->frameGeometry().center());
        move(frame.topLeft());
        placed_ = true;
    }
    QDialog::showEvent(event);
}

// Entering a field selects its whole content, so typing replaces it.
bool frmScoring::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn)
        if (auto* field = qobject_cast<QLineEdit*>(watched))
            field->setSelection(0, 2);
    return QDialog::eventFilter(watched, event);
}

void frmScoring::optAge_Click(qint16 Index)
{
    if (Index != 16 && Index != 30 && Index != 50)
        return;
    if (AgeGroup_ != Index)
        for (const Row& row : rows_)
            emptyResults(row);
    AgeGroup_ = quint8(Index);
    txt24->setFocus();
}

void frmScoring::cmdScore_Click()
{
    if (AgeGroup_ == 0) {
        MsgBox(QStringLiteral("Please select an age group."), MsgIcon::Exclamation, this);
        return;
    }
    if (std::all_of(rows_.begin(), rows_.end(), [](const Row& r) { return r.field->text().isEmpty(); })) {
        MsgBox(QStringLiteral("At least one of the raw score fields must contain data."),
               MsgIcon::Exclamation, this);
        txt24->setFocus();
        return;
    }
    for (const Row& row : rows_) {
        const double raw = ReadRawScore(row.field->text());
        if (raw < kLowestRawScore || raw > kHighestRawScore) {
            MsgBox(QStringLiteral("Invalid raw score range."), MsgIcon::Exclamation, this);
            cmdClear_Click();
            return;
        }
    }
    for (const Row& row : rows_) {
        emptyResults(row);
        if (row.field->text().isEmpty())
            continue;
        if (const auto score = ScoreTrial(row.trialCode, AgeGroup_, row.field->text())) {
            row.z->setText(FormatZScore(score->zScore));
            row.percentile->setText(FormatPercentile(score->percentile));
        }
    }
}

void frmScoring::cmdClear_Click()
{
    for (const Row& row : rows_)
        row.field->clear();
    for (const Row& row : rows_)
        row.z->clear();
    for (const Row& row : rows_)
        row.percentile->clear();
    txt24->setFocus();
}

void frmScoring::emptyResults(const Row& row)
{
    row.z->clear();
    row.percentile->clear();
}
