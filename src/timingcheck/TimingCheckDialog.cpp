#include "timingcheck/TimingCheckDialog.h"

#include "desktop/SavePlace.h"
#include "sound/SoundOutput.h"
#include "sound/PacingTimer.h"
#include "sound/SoundRecorder.h"
#include "timingcheck/TimingCheck.h"
#include "timingcheck/TimingCheckVerdict.h"
#include "timingcheck/OnsetPlot.h"
#include "timingcheck/TimingReport.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {

// The meter's floor, in dB of full scale: a 16-bit recording's quietest sound.
constexpr int kLowestLevel = -90;

const QString kSpeakers = QStringLiteral("What the computer sends to the speakers");
const QString kMicrophone = QStringLiteral("What the microphone hears");

QString orDefault(const QString& name, const char* fallback)
{
    return name.isEmpty() ? QString::fromLatin1(fallback) : name;
}

}  // namespace

TimingCheckDialog::TimingCheckDialog(const TimingCheckServices& services, QWidget* parent)
    : QDialog(parent), recorder_(services.makeRecorder()), devices_(services.makeDevices()), output_(services.output)
{
    setWindowTitle(QStringLiteral("Check Sound Timing"));
    check_ = std::make_unique<TimingCheck>(services.output, *recorder_, *services.makeTimer(this),
                                           *services.makeTimer(this), *services.makeTimer(this));

    auto* layout = new QVBoxLayout(this);
    auto* source = new QGroupBox(QStringLiteral("Listen to"), this);
    auto* sourceLayout = new QVBoxLayout(source);
    speakers_ = new QRadioButton(kSpeakers, source);
    microphone_ = new QRadioButton(kMicrophone, source);
    speakers_->setChecked(true);
    sourceLayout->addWidget(speakers_);
    sourceLayout->addWidget(microphone_);
    layout->addWidget(source);
    plot_ = new OnsetPlot(this);
    layout->addWidget(plot_, 1);
    way_ = new QLabel(this);
    way_->setObjectName(QStringLiteral("wayLabel"));
    way_->setWordWrap(true);
    figures_ = new QLabel(this);
    figures_->setObjectName(QStringLiteral("figuresLabel"));
    verdict_ = new QLabel(QStringLiteral("Press Start: %1 digits play at the 1.2 s pace, as in a trial, and are recorded.")
                              .arg(TimingCheck::sequence().size()), this);
    verdict_->setObjectName(QStringLiteral("verdictLabel"));
    verdict_->setWordWrap(true);
    level_ = new QProgressBar(this);
    level_->setObjectName(QStringLiteral("levelMeter"));
    level_->setRange(kLowestLevel, 0);
    level_->setValue(kLowestLevel);
    level_->setFormat(QStringLiteral("Recording level: \u2014"));
    level_->setToolTip(QStringLiteral("The loudest of what is being recorded, in dB below full scale"));
    layout->addWidget(level_);
    layout->addWidget(way_);
    layout->addWidget(figures_);
    layout->addWidget(verdict_);

    auto* buttons = new QDialogButtonBox(this);
    start_ = buttons->addButton(QStringLiteral("Start"), QDialogButtonBox::ActionRole);
    start_->setObjectName(QStringLiteral("startButton"));
    start_->setDefault(true);
    save_ = buttons->addButton(QStringLiteral("&Save Report…"), QDialogButtonBox::ActionRole);
    save_->setObjectName(QStringLiteral("saveButton"));
    save_->setEnabled(false);
    buttons->addButton(QDialogButtonBox::Close);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(start_, &QPushButton::clicked, this, &TimingCheckDialog::startCheck);
    connect(save_, &QPushButton::clicked, this, &TimingCheckDialog::chooseReportFile);
    connect(check_.get(), &TimingCheck::finished, this, &TimingCheckDialog::showResult);
    connect(check_.get(), &TimingCheck::runningChanged, this, &TimingCheckDialog::checkRunningChanged);
    connect(check_.get(), &TimingCheck::progressed, this, &TimingCheckDialog::showProgress);
    connect(check_.get(), &TimingCheck::levelMeasured, this, &TimingCheckDialog::showLevel);
    connect(check_.get(), &TimingCheck::digitsFound, plot_, &OnsetPlot::setErrors);
}

// Stopped while the window is whole, so that whoever keeps the output hears that it is let go.
TimingCheckDialog::~TimingCheckDialog()
{
    check_->cancel();
}

void TimingCheckDialog::done(int result)
{
    check_->cancel();
    QDialog::done(result);
}

void TimingCheckDialog::startCheck()
{
    const bool fromSpeakers = speakers_->isChecked();
    // Before the pace starts: the server may be slow to answer.
    names_ = devices_ ? devices_->names() : SoundDevices::Names();
    if (!check_->start(fromSpeakers ? SoundRecorder::Source::Speakers : SoundRecorder::Source::Microphone)) {
        verdict_->setText(QStringLiteral("The check could not start: the sound could not be played or recorded."));
        return;
    }
    listenedTo_ = fromSpeakers ? kSpeakers : kMicrophone;
    const std::optional<SoundWay> way = output_.wayTaken();
    wayTaken_ = way ? way->inWords() : QStringLiteral("not known");
    way_->setText(QStringLiteral("Sound output: %1").arg(wayTaken_));
    start_->setEnabled(false);
    save_->setEnabled(false);
    loudest_ = kLowestLevel;
    level_->setFormat(QStringLiteral("Recording level: %v dB"));
    figures_->clear();
    plot_->setErrors({});
}

void TimingCheckDialog::showProgress(int played, int secondsLeft)
{
    verdict_->setText(QStringLiteral("Checking: %1 of %2 digits played, about %3 seconds left.")
                          .arg(played).arg(TimingCheck::sequence().size()).arg(secondsLeft));
}

void TimingCheckDialog::showLevel(double dbfs)
{
    const int level = std::isfinite(dbfs) ? std::clamp(int(std::lround(dbfs)), kLowestLevel, 0) : kLowestLevel;
    loudest_ = std::max(loudest_, level);
    level_->setValue(level);
}

void TimingCheckDialog::showResult(const TimingCheckResult& result)
{
    result_ = result;
    plot_->setErrors(result.judged() ? result.errorsMs() : std::vector<double>{});
    figures_->setText(TimingCheckVerdict::figures(result).join(QLatin1Char('\n')));
    verdict_->setText(TimingCheckVerdict::text(result));
    start_->setEnabled(true);
    save_->setEnabled(true);
    // The silence after the last digit is no reading of the check: the loudest heard in it is.
    level_->setValue(loudest_);
    level_->setFormat(loudest_ > kLowestLevel ? QStringLiteral("Loudest in the check: %v dB")
                                              : QStringLiteral("Recording level: \u2014 (nothing was heard)"));
    start_->setFocus();
}

bool TimingCheckDialog::saveReport(const QString& path) const
{
    if (!result_)
        return false;
    const bool fromMicrophone = listenedTo_ == kMicrophone;
    return TimingReport{listenedTo_,
                        wayTaken_,
                        orDefault(names_.output, "the default output"),
                        fromMicrophone ? orDefault(names_.input, "the default input") : QString(),
                        TimingCheckVerdict::figures(*result_),
                        TimingCheckVerdict::text(*result_)}
        .write(path, *plot_);
}

void TimingCheckDialog::chooseReportFile()
{
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save Report"), savePlace(QStringLiteral("sound-timing-check.pdf")),
                                                      QStringLiteral("PDF documents (*.pdf)"));
    if (!path.isEmpty() && !saveReport(path))
        verdict_->setText(TimingCheckVerdict::text(*result_) + QStringLiteral("\nThe report could not be saved to %1.").arg(path));
}
