#pragma once

#include "TempSettings.h"
#include "FakeMasterMixer.h"
#include "FakePacingTimer.h"
#include "MessageRecorder.h"
#include "ProgramEndRecorder.h"
#include "administration/MainWindow.h"

#include <QAction>
#include <memory>
#include <vector>

// A main window with a settings store, a mixer, message boxes and an end of its own, built when
// asked for (after the test has set the store up). Timers are fakes unless `realTimers`; digits
// go to `played` unless the test plays them itself.
struct MainWindowRig {
    TempSettings settings;
    FakeMasterMixer mixer;
    MessageRecorder messages;
    ProgramEndRecorder exits;
    std::vector<int> played;
    std::unique_ptr<MainWindow> window;

    MainWindow& build(bool realTimers = false, RunEngine::DigitPlay play = {})
    {
        MainWindow::TimerFactory timers;
        if (!realTimers)
            timers = [](QObject* parent) -> PacingTimer* { return new FakePacingTimer(parent); };
        if (!play)
            play = [this](int digit, SteadyTime) { played.push_back(digit); };
        window = std::make_unique<MainWindow>(mixer, timers, play);
        window->applyStoredVolume();  // as start-up does once the window shows
        return *window;
    }
    // A widget or menu item by its name.
    template <class T>
    T& child(const char* name) { return *window->findChild<T*>(QLatin1String(name)); }
    FakePacingTimer& timer(bool trial)
    {
        return static_cast<FakePacingTimer&>(trial ? window->trialTimer() : window->introductionTimer());
    }
};
