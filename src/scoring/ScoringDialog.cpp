#include "scoring/ScoringDialog.h"

#include "ui/Fonts.h"
#include "desktop/MessagePresenter.h"
#include "protocol/AgeGroups.h"
#include "protocol/Paces.h"
#include "ui/ResourcePicture.h"
#include "ui/Twips.h"
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

QPushButton* button(const char* name, const char* caption, QWidget* parent, QRect geometry)
{
    auto* b = new QPushButton(QString::fromLatin1(caption), parent);
    b->setObjectName(QLatin1String(name));
    b->setGeometry(geometry);
    b->setAutoDefault(false);
    return b;
}

}  // namespace

ScoringDialog::ScoringDialog(MessagePresenter& messages, Beeper& beeper, QWidget* owner)
    : QDialog(owner), messages_(messages), beeper_(beeper)
{
    setWindowTitle(QStringLiteral("OVREL Scoring"));
    setWindowIcon(resourceIcon(QStringLiteral(":/images/scoring.png")));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(twipsToPixels(4740), twipsToPixels(3585));
    setFont(scoringFont());
    buildControls();
    firstField()->setFocus();
}

void ScoringDialog::buildControls()
{
    auto* ageRange = new QGroupBox(QStringLiteral("Age Range"), this);
    ageRange->setGeometry(twipsRect(105, 315, 1485, 2430));
    std::array<QRadioButton*, kAgeGroups.size()> ageButtons{};
    int top = 420;
    std::size_t next = 0;
    for (const AgeGroup& age : kAgeGroups) {
        auto* button = new QRadioButton(QString::fromLatin1(age.name), ageRange);
        button->setObjectName(QStringLiteral("age%1Button").arg(age.code));
        button->setGeometry(twipsRect(210, top, 960, 330));
        connect(button, &QRadioButton::clicked, this, [this, code = age.code] { chooseAgeGroup(code); });
        ageButtons[next++] = button;
        top += 735;
    }

    label("Raw", this, twipsRect(2205, 210, 540, 330), Qt::AlignHCenter);
    label("Z", this, twipsRect(2940, 210, 750, 330), Qt::AlignHCenter);
    label("%ile", this, twipsRect(3780, 210, 750, 330), Qt::AlignHCenter);
    constexpr int kRowTops[kPaceCount] = {525, 1050, 1680, 2310};
    for (int pace = 0; pace < kPaceCount; ++pace)
        rows_[std::size_t(pace)] = addRow(pace, kRowTops[pace]);

    QPushButton* scoreButton = button("scoreButton", "&Score", this, twipsRect(3465, 2940, 1170, 540));
    scoreButton->setDefault(true);
    QPushButton* clearButton = button("clearButton", "C&lear", this, twipsRect(2205, 2940, 1170, 540));
    QPushButton* closeButton = button("closeButton", "&Close", this, twipsRect(105, 2940, 1485, 540));
    connect(scoreButton, &QPushButton::clicked, this, &ScoringDialog::score);
    connect(clearButton, &QPushButton::clicked, this, &ScoringDialog::clearAll);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::close);

    QWidget* order[] = {rows_[0].field, rows_[1].field, rows_[2].field, rows_[3].field, scoreButton,
                        clearButton, closeButton, ageButtons[0], ageButtons[1], ageButtons[2]};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

// Widgets are named after the trial code: rawScore24, zScore24, percentile24 and so on.
ScoringDialog::Row ScoringDialog::addRow(int pace, int top)
{
    const quint8 code = trialCode(pace);
    label(paceName(pace).toLatin1().constData(), this, twipsRect(1680, top, 435, 435), Qt::AlignRight);
    auto* field = new QLineEdit(this);
    field->setObjectName(QStringLiteral("rawScore%1").arg(code));
    field->setGeometry(twipsRect(2205, top, 540, 435));
    field->setMaxLength(2);
    field->installEventFilter(new DigitFieldFilter(beeper_, field));
    field->installEventFilter(this);
    Row row{code, field, resultLabel(this, twipsRect(2940, top, 750, 435)),
            resultLabel(this, twipsRect(3885, top, 750, 435))};
    row.z->setObjectName(QStringLiteral("zScore%1").arg(code));
    row.percentile->setObjectName(QStringLiteral("percentile%1").arg(code));
    connect(field, &QLineEdit::textChanged, this, [this, row] { emptyResults(row); });
    return row;
}

void ScoringDialog::showEvent(QShowEvent* event)
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
bool ScoringDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn)
        if (auto* field = qobject_cast<QLineEdit*>(watched))
            field->setSelection(0, 2);
    return QDialog::eventFilter(watched, event);
}

void ScoringDialog::chooseAgeGroup(quint8 code)
{
    if (ageGroup_ != code)
        for (const Row& row : rows_)
            emptyResults(row);
    ageGroup_ = code;
    firstField()->setFocus();
}

// The checks run in this order, each with its message; results are computed only by Score.
void ScoringDialog::score()
{
    if (ageGroup_ == 0) {
        messages_.tell(QStringLiteral("Please select an age group."), MessageIcon::Warning, this);
        return;
    }
    if (std::all_of(rows_.begin(), rows_.end(), [](const Row& r) { return r.field->text().isEmpty(); })) {
        messages_.tell(QStringLiteral("At least one of the raw score fields must contain data."),
                    MessageIcon::Warning, this);
        firstField()->setFocus();
        return;
    }
    for (const Row& row : rows_) {
        const double raw = readRawScore(row.field->text());
        if (raw < kLowestRawScore || raw > kHighestRawScore) {
            messages_.tell(QStringLiteral("Invalid raw score range."), MessageIcon::Warning, this);
            clearAll();
            return;
        }
    }
    for (const Row& row : rows_) {
        emptyResults(row);
        if (row.field->text().isEmpty())
            continue;
        if (const auto result = scoreTrial(row.trialCode, ageGroup_, row.field->text())) {
            row.z->setText(formatZScore(result->zScore));
            row.percentile->setText(formatPercentile(result->percentile));
        }
    }
}

// Fields and results empty; the age group stays.
void ScoringDialog::clearAll()
{
    for (const Row& row : rows_)
        row.field->clear();
    for (const Row& row : rows_)
        emptyResults(row);
    firstField()->setFocus();
}

void ScoringDialog::emptyResults(const Row& row)
{
    row.z->clear();
    row.percentile->clear();
}

void ScoringDialog::setRawScores(const std::array<std::optional<int>, 4>& scores)
{
    for (std::size_t n = 0; n < rows_.size(); ++n)
        rows_[n].field->setText(scores[n] ? QString::number(*scores[n]) : QString());
}
