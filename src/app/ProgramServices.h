#pragma once

#include "sound/PacingTimer.h"
#include "timingcheck/TimingCheckServices.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class Beeper;
class ListeningService;
class RecordSheet;
class MasterMixer;
class MessagePresenter;
class PacingTimer;
class ProgramEnder;
class SoundDevices;
class SoundOutput;
class SoundRecorder;
class SteadyClock;

// Every service the program's windows work with, each behind its interface. Start-up builds the
// real ones once and hands them on; tests, tools and the benchmark hand on stand-ins. None is
// owned here, and each outlives the windows that use it.
struct ProgramServices {
    MasterMixer& mixer;
    SoundOutput& output;
    MessagePresenter& messages;
    ProgramEnder& ender;
    Beeper& beeper;
    // The clock the timers give their due times on: when the examiner marks an answer.
    const SteadyClock& clock;
    // A new timer, owned by `parent`.
    PacingTimerFactory makeTimer;
    // A new recorder, for one opening of the timing check.
    std::function<std::unique_ptr<SoundRecorder>()> makeRecorder;
    // The sound server's names for the devices in use, asked for when a window shows them; null
    // where the server cannot be asked.
    std::function<std::unique_ptr<SoundDevices>()> makeDevices;
    // Hands a document to the desktop's program for it; false where none took it.
    std::function<bool(const QString& path)> documents;
    // The listening of the sheet `sheet`, owned by `parent`; where null the sheet is marked by
    // keys alone and has no Listen control.
    std::function<ListeningService*(RecordSheet& sheet, QObject* parent)> makeListening = {};

    TimingCheckServices forTimingCheck() const { return {output, makeRecorder, makeDevices, makeTimer}; }
};
