#pragma once

#include "platform/SoundDevices.h"
#include "soundcheck/TimingCheckResult.h"

#include <QDialog>
#include <memory>
#include <optional>

class OnsetPlot;
class PacingTimer;
class QLabel;
class QPushButton;
class QRadioButton;
class SoundOutput;
class SoundRecorder;
class TimingCheck;

// Help, "Check Sound Timing": plays the check sequence, records what the speakers are sent or
// what the microphone hears, and shows each digit's onset error, the figures and a verdict; the
// result can be saved as a one-page PDF report. Start is the default button.
class TimingCheckDialog final : public QDialog {
    Q_OBJECT
public:
    // The real output, recorder and sound server's names, and precise timers, unless given.
    explicit TimingCheckDialog(QWidget* parent = nullptr, SoundOutput* output = nullptr,
                               SoundRecorder* recorder = nullptr, SoundDevices* devices = nullptr);
    ~TimingCheckDialog() override;

    // The last check's, once one has finished.
    const std::optional<TimingCheckResult>& result() const { return result_; }
    // Writes the report of the last check to `path`; false without a check or when it cannot.
    bool saveReport(const QString& path) const;

signals:
    // A check started or ended (TimingCheck::runningChanged).
    void checkRunningChanged(bool running);

private:
    void startCheck();
    void showResult(const TimingCheckResult& result);
    void chooseReportFile();

    std::unique_ptr<SoundRecorder> ownRecorder_;
    std::unique_ptr<SoundDevices> ownDevices_;
    SoundDevices* devices_ = nullptr;  // none where the server-client module cannot be loaded
    SoundDevices::Names names_;  // of the last check, as it started
    TimingCheck* check_ = nullptr;
    QRadioButton* speakers_ = nullptr;
    QRadioButton* microphone_ = nullptr;
    OnsetPlot* plot_ = nullptr;
    QLabel* figures_ = nullptr;
    QLabel* verdict_ = nullptr;
    QPushButton* start_ = nullptr;
    QPushButton* save_ = nullptr;
    std::optional<TimingCheckResult> result_;
    QString listenedTo_;
};
