#include "recordsheet/ListenBar.h"

#include "recordsheet/ListeningService.h"
#include "ui/Fonts.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

// The meter's floor, in dB of full scale: quieter is as good as nothing for hearing answers.
constexpr int kLowestLevel = -60;

}  // namespace

ListenBar::ListenBar(ListeningService& listening, QWidget* parent) : QWidget(parent), listening_(listening)
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
    row->addWidget(listen_);
    row->addWidget(level_, 1);
    state_ = new QLabel(this);
    state_->setObjectName(QStringLiteral("listenState"));
    state_->setFont(arialFont(8.5));
    state_->setWordWrap(true);
    layout->addLayout(row);
    layout->addWidget(state_);
    connect(listen_, &QCheckBox::toggled, this, [this](bool on) { listening_.setOn(on); });
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
    state_->setVisible(!state_->text().isEmpty());
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
