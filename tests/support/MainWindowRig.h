#pragma once

#include "FakeMasterMixer.h"
#include "FakePacingTimer.h"
#include "Recorders.h"
#include "TempSettings.h"
#include "presentation/MainWindow.h"

#include <QAction>
#include <QMenu>
#include <memory>
#include <vector>

// A main window with a settings store, a mixer, message boxes and an end of its own, built when
// asked for (after the test has set the store up). Timers are fakes unless `realTimers`; digits
// go to `played` unless the test plays them itself.
struct MainWindowRig {
    TempSettings settings;
    FakeMasterMixer mixer;
    MessageRecorder messages;
    ExitRecorder exits;
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
        return *window;
    }
    template <class T>
    T& child(const char* name) { return *window->findChild<T*>(QLatin1String(name)); }
    FakePacingTimer& timer(bool trial)
    {
        return static_cast<FakePacingTimer&>(trial ? window->trialTimer() : window->introductionTimer());
    }
    // The menu item with this caption, under File or Help.
    QAction& action(const QString& caption)
    {
        for (QMenu* menu : window->findChildren<QMenu*>())
            for (QAction* a : menu->actions())
                if (a->text() == caption)
                    return *a;
        qFatal("no menu item %s", qPrintable(caption));
    }
};
