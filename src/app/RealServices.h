#pragma once

#include "app/ProgramServices.h"
#include "desktop/ModalMessages.h"
#include "desktop/ProcessExit.h"
#include "desktop/SystemBeep.h"
#include "mixer/AlsaMasterMixer.h"
#include "sound/MonotonicClock.h"

// The real services, built once at start-up: ALSA's master mixer, the sound output and recorder
// the route gives, precise timers, modal message boxes, the system beep and the process's own
// end. The tests and the benchmark run the real program with messages and its end of their own.
// Lives as long as the windows that use it.
class RealServices {
public:
    RealServices();
    RealServices(MessagePresenter& messages, ProgramEnder& ender);
    RealServices(const RealServices&) = delete;
    RealServices& operator=(const RealServices&) = delete;

    const ProgramServices& services() const { return services_; }

private:
    AlsaMasterMixer mixer_;
    ModalMessages modal_;
    ProcessExit exit_;
    SystemBeep beep_;
    MonotonicClock clock_;
    ProgramServices services_;
};
