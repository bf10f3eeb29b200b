#pragma once

#include "MessageRecorder.h"
#include "ProgramEndRecorder.h"
#include "TempSettings.h"
#include "app/MainWindow.h"
#include "app/RealServices.h"
#include "app/Startup.h"

#include <QSlider>
#include <memory>

// The real program as it starts, on one of the private sound servers, its settings in a folder of
// their own and its messages recorded, the volume slider at 100 % so that the sink hears the
// digits' samples unchanged.
struct RigProgram {
    TempSettings settings;
    ProgramEndRecorder exits;
    MessageRecorder messages;
    RealServices real{messages, exits};
    std::unique_ptr<QWidget> window{showMainWindow([this] { return loadMainWindow(real.services()); }, messages, exits)};

    RigProgram() { window->findChild<QSlider*>(QStringLiteral("volumeSlider"))->setValue(100); }
    MainWindow& main() { return static_cast<MainWindow&>(*window); }
};
