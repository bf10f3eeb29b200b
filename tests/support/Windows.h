#pragma once

#include "FakeHiTime.h"
#include "FakeMixer.h"
#include "Recorders.h"
#include "TempSettings.h"
#include "test/frmOvrel.h"
#include "test/modOvrel.h"

#include <memory>
#include <vector>

// Main windows for the tests, loaded (Form_Load has run) and not shown. Only for tests that link
// the main window's library.

// Timers that tick only when the test says so.
inline frmOvrel::TimerFactory fakeTimers()
{
    return [](QObject* parent) -> HiTime* { return new FakeHiTime(parent); };
}

inline FakeHiTime& fake(HiTime& timer)
{
    return static_cast<FakeHiTime&>(timer);
}

// Digits go to `played` instead of the sound output.
inline RunEngine::DigitPlayer recordDigits(std::vector<int>& played)
{
    return [&played](int digit) {
        played.push_back(digit);
        return 1;
    };
}

// Digits are played for real; PlayDigit's results go to `results`.
inline RunEngine::DigitPlayer playAndRecordResults(std::vector<int>& results)
{
    return [&results](int digit) {
        results.push_back(PlayDigit(digit));
        return results.back();
    };
}

inline std::unique_ptr<frmOvrel> loadedWindow(frmOvrel::TimerFactory timers, RunEngine::DigitPlayer play)
{
    auto window = std::make_unique<frmOvrel>(std::move(timers), std::move(play));
    window->Form_Load();
    return window;
}

// A shown window with the real timers whose digits play for real, with a settings store, a
// mixer and message boxes of the test's own.
struct PlayingWindow {
    TempSettings settings;
    FakeMixer mixer;
    MessageRecorder messages;
    std::vector<int> results;  // of every PlayDigit
    std::unique_ptr<frmOvrel> window = loadedWindow({}, playAndRecordResults(results));
    frmOvrel& w = *window;

    PlayingWindow() { w.show(); }
};
