#include "recordsheet/ListenBar.h"

#include "desktop/MessagePresenter.h"
#include "desktop/SavePlace.h"
#include "desktop/SettingsStore.h"
#include "recordsheet/ListeningService.h"
#include "ui/Fonts.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QPushButton>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

// The meter's floor, in dB of full scale: quieter is as good as nothing for hearing answers.
constexpr int kLowestLevel = -60;
const QString kListenKey = QStringLiteral("Listen");

}  // namespace

ListenBar::ListenBar(ListeningService& listening, RecordSheet& sheet, MessagePresenter& messages, std::function<int()> viewed,
                     QWidget* parent)
    : QWidget(parent), listening_(listening), sheet_(sheet), messages_(messages), viewed_(std::move(viewed))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* row = new QHBoxLayout;
    listen_ = new QCheckBox(QStringLiteral("&Listen"), this);
    listen_->setObjectName(QStringLiteral("listenBox"));
    listen_->setToolTip(QStringLiteral("Hear the examinee's answers through the microphone and mark them for you to check"));
    level_ = new QProgressBar(this);
    level_->setObjectName(QStringLiteral("microphoneLevel"));
    level_->setRange(kLowestLevel, 0);
    level_->setAccessibleName(QStringLiteral("Microphone level"));
    level_->setMaximumHeight(listen_->sizeHint().height());
    auto* save = new QPushButton(QStringLiteral("Save Recordin&g…"), this);
    save->setToolTip(QStringLiteral("The answers as the microphone heard them in the administration shown, as a WAV file"));
    save->setAutoDefault(false);
    connect(save, &QPushButton::clicked, this, &ListenBar::chooseRecordingFile);
    row->addWidget(listen_);
    row->addWidget(level_, 1);
    row->addWidget(save);
    state_ = new QLabel(this);
    state_->setObjectName(QStringLiteral("listenState"));
    state_->setFont(arialFont(8.5));
    state_->setWordWrap(true);
    // Room for a line whether or not there is something to say: the grid stays where it is.
    state_->setMinimumHeight(state_->fontMetrics().lineSpacing());
    layout->addLayout(row);
    layout->addWidget(state_);
    connect(listen_, &QCheckBox::toggled, this, [this](bool on) {
        listening_.setOn(on);
        writeSetting(kListenKey, on ? QStringLiteral("1") : QStringLiteral("0"));
    });
    // As the examiner left it: the microphone is opened only once the sheet is, never at start-up.
    if (readSetting(kListenKey, QStringLiteral("0")) == QLatin1String("1"))
        listening_.setOn(true);
    connect(&listening_, &ListeningService::stateChanged, this, &ListenBar::refresh);
    connect(&listening_, &ListeningService::levelChanged, this, &ListenBar::showLevel);
    refresh();
}

void ListenBar::refresh()
{
    const bool on = listening_.isOn();
    if (listen_->isChecked() != on)
        listen_->setChecked(on);
    level_->setEnabled(on);
    state_->setText(listening_.state());
    showLevel();
}

void ListenBar::showLevel()
{
    const double db = listening_.levelDb();
    const bool heard = listening_.isOn() && std::isfinite(db);
    level_->setValue(heard ? std::clamp(int(std::lround(db)), kLowestLevel, 0) : kLowestLevel);
    level_->setFormat(!listening_.isOn() ? QStringLiteral("Microphone: off")
                      : heard            ? QStringLiteral("Microphone: %v dB")
                                         : QStringLiteral("Microphone: silent"));
}

void ListenBar::hearAgain(RecordSheet::Answer answer)
{
    if (const QString problem = listening_.hearAgain(answer); !problem.isEmpty())
        messages_.tell(problem, MessageIcon::None, this);
}

void ListenBar::chooseRecordingFile()
{
    const int viewed = viewed_();
    if (viewed < 0 || !listening_.hasRecording(viewed)) {
        messages_.tell(QStringLiteral("The program did not listen to the administration shown: there is no recording of it."),
                       MessageIcon::None, this);
        return;
    }
    const QString name = QStringLiteral("answers %1.wav").arg(sheet_.administrations()[std::size_t(viewed)].shortName());
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save Answer Recording"), savePlace(name),
                                                      QStringLiteral("WAV files (*.wav)"));
    if (!path.isEmpty() && !listening_.saveRecording(viewed, path))
        messages_.tell(QStringLiteral("The recording could not be saved to %1.").arg(path), MessageIcon::Warning, this);
}
