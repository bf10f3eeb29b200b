#pragma once

#include "BeepCounter.h"
#include "FakeMasterMixer.h"
#include "FakePacingTimer.h"
#include "FakeSoundDevices.h"
#include "FakeSoundOutput.h"
#include "FakeSoundRecorder.h"
#include "FakeSteadyClock.h"
#include "MessageRecorder.h"
#include "ProgramEndRecorder.h"
#include "TappedOutput.h"
#include "TempSettings.h"
#include "app/MainWindow.h"
#include "session/TestSession.h"
#include "sound/DefaultOutput.h"
#include "sound/BackendModule.h"
#include "sound/DefaultRecorder.h"
#include "sound/MonotonicClock.h"
#include "sound/PreciseTimer.h"

#include <QAction>
#include <memory>
#include <vector>

// A main window with a settings store, a mixer, message boxes, a beep and an end of its own,
// built when asked for (after the test has set the store up). Timers are fakes unless
// `realTimers`. Sound goes to `fakeOutput`, and the timing check records a copy of `fakeRecorder`, unless
// `realSound`: then it plays through the sound server and records from it. Either way `output`
// tells which digits were asked for.
struct MainWindowRig {
    TempSettings settings;
    FakeMasterMixer mixer;
    MessageRecorder messages;
    ProgramEndRecorder exits;
    BeepCounter beeper;
    FakeSoundOutput fakeOutput;
    FakeSteadyClock clock;  // with fake timers
    MonotonicClock monotonic;  // with real ones
    FakeSoundRecorder fakeRecorder;
    QStringList documentsOpened;
    bool documentReader = true;  // whether the desktop has a program for them
    std::unique_ptr<TappedOutput> output;
    std::unique_ptr<MainWindow> window;

    MainWindow& build(bool realTimers = false, bool realSound = false)
    {
        output = std::make_unique<TappedOutput>(realSound ? static_cast<SoundOutput&>(DefaultOutput::instance()) : fakeOutput);
        ProgramServices services{mixer, *output, messages, exits, beeper, realTimers ? static_cast<const SteadyClock&>(monotonic) : clock,
            [realTimers](QObject* parent) -> PacingTimer* {
                return realTimers ? static_cast<PacingTimer*>(new PreciseTimer(parent)) : new FakePacingTimer(parent);
            },
            [this, realSound]() -> std::unique_ptr<SoundRecorder> {
                if (realSound)
                    return std::make_unique<DefaultRecorder>(DefaultOutput::instance().route(), BackendModule::instance());
                return std::make_unique<FakeSoundRecorder>(fakeRecorder);
            },
            [] { return std::unique_ptr<SoundDevices>(std::make_unique<FakeSoundDevices>()); },
            [this](const QString& path) { documentsOpened << path; return documentReader; }};
        window = std::make_unique<MainWindow>(services);
        window->applyStoredVolume();  // as start-up does once the window shows
        return *window;
    }
    const std::vector<int>& played() const { return output->digits; }
    // A widget or menu item by its name.
    template <class T>
    T& child(const char* name) { return *window->findChild<T*>(QLatin1String(name)); }
    FakePacingTimer& timer(bool trial)
    {
        return static_cast<FakePacingTimer&>(trial ? window->session().trialTimer() : window->session().introductionTimer());
    }
};
