#include "app/RealServices.h"

#include "desktop/Desktop.h"
#include "listening/AnswerListener.h"
#include "listening/RecogniserModule.h"
#include "sound/BackendModule.h"
#include "sound/DefaultOutput.h"
#include "sound/DefaultRecorder.h"
#include "sound/PreciseTimer.h"

RealServices::RealServices() : RealServices(modal_, exit_) {}

RealServices::RealServices(MessagePresenter& messages, ProgramEnder& ender)
    : services_{mixer_, DefaultOutput::instance(), messages, ender, beep_, clock_,
                [](QObject* parent) -> PacingTimer* { return new PreciseTimer(parent); },
                [] {
                    return std::unique_ptr<SoundRecorder>(
                        std::make_unique<DefaultRecorder>(DefaultOutput::instance().route(), BackendModule::instance()));
                },
                [] { return BackendModule::soundDevices(); }, &openDocument}
{
    services_.makeListening = [this](RecordSheet& sheet, QObject* parent) -> ListeningService* {
        return new AnswerListener(sheet, clock_, services_.output, services_.makeRecorder,
                                  [](QString& problem) { return RecogniserModule::make(&problem); }, true, parent);
    };
}
