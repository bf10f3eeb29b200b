#pragma once

#include "app/ProgramServices.h"
#include "mixer/MasterVolume.h"
#include "session/RunEngine.h"

#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>

class QAction;
class QMenu;
class ListeningService;
class RecordSheet;
class RecordSheetWindow;
class TestSession;
class QRadioButton;
class QSlider;
class QToolButton;

// The main window: the item-set choice, start/stop and "Reset Trial", the volume slider and the
// File and Help menus. The runs are the session's and the volume MasterVolume's; this class lays
// out the controls, passes on what they ask and shows the run's state. On construction it places the slider at the stored position;
// applyStoredVolume() then notes the computer's volume and sets it from the slider. File, Exit
// and the close box store the position, put the computer's volume back and end the program,
// asking first while a run is under way or paused. Ctrl+R shows the record sheet, also during a
// run.
class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    // The services outlive the window; the windows it opens use them too.
    explicit MainWindow(const ProgramServices& services);
    ~MainWindow() override;

    // What the window shows and passes on to.
    TestSession& session() const { return *session_; }
    const RunEngine& engine() const;
    RecordSheet& recordSheet() const { return *sheet_; }
    // Null until File, Record Sheet was first chosen.
    RecordSheetWindow* recordSheetWindow() const { return sheetWindow_; }

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
    void connectControls();
    void showState(RunEngine::State state);
    void setMenusEnabled(bool enabled);
    void setChoicesEnabled(bool enabled);

    ProgramServices services_;
    MasterVolume volume_;
    TestSession* session_ = nullptr;
    RecordSheet* sheet_ = nullptr;
    RecordSheetWindow* sheetWindow_ = nullptr;  // once opened
    ListeningService* listening_ = nullptr;     // none: the sheet has no Listen control

    std::array<QRadioButton*, 3> introductionButtons_{};
    std::array<QRadioButton*, 4> paceButtons_{};
    QSlider* volumeSlider_ = nullptr;
    QToolButton* resetButton_ = nullptr;
    QToolButton* startStopButton_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QMenu* helpMenu_ = nullptr;
    QAction* recordSheetAction_ = nullptr;
    bool exiting_ = false;
};
