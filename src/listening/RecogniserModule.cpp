#include "listening/RecogniserModule.h"

#include "listening/RecogniserExports.h"
#include "sound/ModuleOpening.h"

#include <dlfcn.h>

#include <QByteArray>

namespace {

// Loaded once and never let go: what it made may live until the process ends.
void* module()
{
    static void* const handle = openModule(OVREL_RECOGNISER_FROM_PROGRAM, OVREL_RECOGNISER_BUILT);
    return handle;
}

}  // namespace

std::unique_ptr<AnswerRecogniser> RecogniserModule::make(QString* reason)
{
    void* loaded = module();
    const auto maker = loaded
        ? reinterpret_cast<AnswerRecogniser* (*)(const char*)>(dlsym(loaded, kMakeAnswerRecogniser)) : nullptr;
    if (!maker) {
        if (reason)
            *reason = QStringLiteral("The speech recogniser is not installed.");
        return nullptr;
    }
    const QByteArray folder = qgetenv(kModelVariable);
    std::unique_ptr<AnswerRecogniser> made(maker(folder.isEmpty() ? nullptr : folder.constData()));
    if (!made && reason)
        *reason = QStringLiteral("The speech recogniser's model is not installed.");
    return made;
}
