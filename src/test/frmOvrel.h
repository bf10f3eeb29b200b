#pragma once

#include "test/RunControls.h"
#include "test/RunEngine.h"

#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>

class HiTime;
class QAction;
class QGroupBox;
class QLabel;
class QMenu;
class QRadioButton;
class QSlider;
class QToolButton;

// The main test window: item-set choice, start/stop and "Reset Trial", the volume slider and
// the File and Help menus. The run itself is RunEngine's; this class lays out the controls and
// wires their events to the handlers.
class frmOvrel final : public QMainWindow, private RunControls {
    Q_OBJECT
public:
    using TimerFactory = std::function<HiTime*(QObject* parent)>;

    // By default the timers are real and digits play through the sound output.
    explicit frmOvrel(TimerFactory makeTimer = {}, RunEngine::DigitPlayer play = {});
    ~frmOvrel() override;

    // Runs once after construction, before the window is first shown.
    void Form_Load();

    void optPreTest_Click(qint16 Index) { engine_->optPreTest_Click(Index); }
    void optTrial_Click(qint16 Index) { engine_->optTrial_Click(Index); }
    void cmdStartStop_Click() { engine_->cmdStartStop_Click(); }
    void cmdReset_Click() { engine_->cmdReset_Click(); }
    void mnuExit_Click();
    void mnuScoring_Click();
    void mnuOVRELmanual_Click();
    void mnuDownloadRecordForm_Click();
    void mnuAbout_Click();
    void Slider1_Scroll();
    void Slider1_Change();

    const RunEngine& engine() const { return *engine_; }
    HiTime& tmrPractice() { return *tmrPractice_; }
    HiTime& tmrTest() { return *tmrTest_; }

    QGroupBox* Frame1 = nullptr;  // "Test Pace"
    QGroupBox* Frame2 = nullptr;  // "Introduction"
    std::array<QRadioButton*, 3> optPreTest{};
    std::array<QRadioButton*, 5> optTrial{};  // 1 to 4; there is no optTrial(0)
    QLabel* Image1 = nullptr;
    QSlider* Slider1 = nullptr;
    QToolButton* cmdReset = nullptr;
    QToolButton* cmdStartStop = nullptr;

    QMenu* mnuFile = nullptr;
    QAction* mnuScoring = nullptr;
    QAction* mnuExit = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuOVRELmanual = nullptr;
    QAction* mnuDownloadRecordForm = nullptr;
    QAction* mnuAbout = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void setTabOrder();

    // RunControls
    void setStartStopCaption(const QString& caption) override;
    void setStartStopPicture(int id) override;
    void setResetEnabled(bool enabled) override;
    void setMenusEnabled(bool enabled) override;
    void setOptionsEnabled(bool enabled) override;
    void clearTrialOptions() override;
    void clearPreTestOptions() override;
    void focusStartStop() override;

    HiTime* tmrPractice_ = nullptr;
    HiTime* tmrTest_ = nullptr;
    std::unique_ptr<RunEngine> engine_;
    bool exiting_ = false;
};
