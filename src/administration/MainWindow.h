#pragma once

#include "mixer/MasterVolume.h"
#include "administration/RunControls.h"
#include "administration/ProgramServices.h"
#include "administration/RunEngine.h"

#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>

class DigitPlayer;
class MasterMixer;
class OutputKeeper;
class PacingTimer;
class QAction;
class RecordSheet;
class RecordSheetWindow;
class QMenu;
class QRadioButton;
class QSlider;
class QToolButton;

// The main window: the item-set choice, start/stop and "Reset Trial", the volume slider and the
// File and Help menus. The run is RunEngine's and the volume MasterVolume's; this class lays out
// the controls and wires them up. On construction it places the slider at the stored position;
// applyStoredVolume() then notes the computer's volume and sets it from the slider. File, Exit
// and the close box store the position, put the computer's volume back and end the program.
class MainWindow final : public QMainWindow, private RunControls {
    Q_OBJECT
public:
    // The services outlive the window; the windows it opens use them too.
    explicit MainWindow(const ProgramServices& services);
    ~MainWindow() override;

    const RunEngine& engine() const { return *engine_; }
    RecordSheet& recordSheet() { return *sheet_; }
    // Null until File, Record Sheet was first chosen.
    RecordSheetWindow* recordSheetWindow() const { return sheetWindow_; }
    PacingTimer& introductionTimer() { return *introductionTimer_; }
    PacingTimer& trialTimer() { return *trialTimer_; }

    // Notes the computer's volume and sets it to the slider's position: once, before the window
    // takes input. Start-up calls it once the window shows: it reaches the sound server, which
    // is not to hold up the window.
    void applyStoredVolume();

public slots:
    void exitProgram();
    // The exit path when the desktop session ends the program from outside: without any message
    // box, since nobody may be there to answer it, or no display to show it on.
    void endSession();

protected:
    void closeEvent(QCloseEvent* event) override;

private slots:
    void onScoringChosen();
    void onRecordSheetChosen();
    void onManualChosen();
    void onTimingCheckChosen();
    void onRecordFormChosen();
    void onAboutChosen();

private:
    // The one way out: stores the slider position, puts the computer's volume back (`quietly`:
    // without a message if it cannot) and ends the program at once, whatever is running.
    void leave(bool quietly);
    bool mayLeave();
    void buildControls();
    void buildMenus();

    // RunControls
    void setStartStopCaption(const QString& caption) override;
    void setStartStopPicture(int id) override;
    void setResetEnabled(bool enabled) override;
    void setMenusEnabled(bool enabled) override;
    void setChoicesEnabled(bool enabled) override;
    void clearPaceChoice() override;
    void clearIntroductionChoice() override;
    void focusStartStop() override;

    ProgramServices services_;
    MasterVolume volume_;
    std::unique_ptr<DigitPlayer> player_;
    OutputKeeper* keeper_ = nullptr;
    PacingTimer* introductionTimer_ = nullptr;
    PacingTimer* trialTimer_ = nullptr;
    RunEngine* engine_ = nullptr;
    RecordSheet* sheet_ = nullptr;
    RecordSheetWindow* sheetWindow_ = nullptr;  // once opened
    quint8 ageGroup_ = 0;  // as last chosen in the scoring window

    std::array<QRadioButton*, 3> introductionButtons_{};
    std::array<QRadioButton*, 4> paceButtons_{};
    QSlider* volumeSlider_ = nullptr;
    QToolButton* resetButton_ = nullptr;
    QToolButton* startStopButton_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QMenu* helpMenu_ = nullptr;
    bool exiting_ = false;
};
