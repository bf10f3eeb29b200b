#pragma once

#include "sound/SoundDevices.h"
#include "timingcheck/TimingCheckResult.h"
#include "timingcheck/TimingCheckServices.h"

#include <QDialog>
#include <memory>
#include <optional>

class OnsetPlot;
class PacingTimer;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class SoundOutput;
class SoundRecorder;
class TimingCheck;

// Help, "Check Sound Timing": plays the check sequence, records what the speakers are sent or
// what the microphone hears, and shows each digit's onset error, the figures and a verdict; the
// result can be saved as a one-page PDF report. Start is the default button. While a check runs
// it shows the way the sound went out on, the digits played, the seconds left, the recording's
// level and the digits found; Esc, Close and the close box end it at once.
class TimingCheckDialog final : public QDialog {
    Q_OBJECT
public:
    // Plays on the services' output, and names the way it took as the output tells it; records
    // with a recorder of the services' making, and names the devices as their server does.
    explicit TimingCheckDialog(const TimingCheckServices& services, QWidget* parent = nullptr);
    ~TimingCheckDialog() override;

    // The last check's, once one has finished.
    const std::optional<TimingCheckResult>& result() const { return result_; }
    // Writes the report of the last check to `path`; false without a check or when it cannot.
    bool saveReport(const QString& path) const;

protected:
    // However the window is left, a check under way stops with it.
    void done(int result) override;

signals:
    // A check started or ended (TimingCheck::runningChanged).
    void checkRunningChanged(bool running);

private:
    void startCheck();
    void showProgress(int played, int secondsLeft);
    void showLevel(double dbfs);
    void showResult(const TimingCheckResult& result);
    void chooseReportFile();

    std::unique_ptr<SoundRecorder> recorder_;
    std::unique_ptr<SoundDevices> devices_;  // none where the backends module cannot be loaded
    SoundDevices::Names names_;  // of the last check, as it started
    SoundOutput& output_;
    QString wayTaken_;  // of the last check, as it started
    // After the recorder it uses, so that it goes first.
    std::unique_ptr<TimingCheck> check_;
    QRadioButton* speakers_ = nullptr;
    QRadioButton* microphone_ = nullptr;
    OnsetPlot* plot_ = nullptr;
    QLabel* way_ = nullptr;
    QLabel* figures_ = nullptr;
    QLabel* verdict_ = nullptr;
    QProgressBar* level_ = nullptr;
    QPushButton* start_ = nullptr;
    QPushButton* save_ = nullptr;
    std::optional<TimingCheckResult> result_;
    QString listenedTo_;
    int loudest_ = -90;  // dB of full scale, of what the check being given heard
};
