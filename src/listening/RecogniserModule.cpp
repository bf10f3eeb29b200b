#include "listening/RecogniserModule.h"

#include "listening/RecogniserExports.h"

#include <dlfcn.h>

#include <QByteArray>

#include <filesystem>
#include <system_error>
#include <vector>

namespace {

// Loaded once and never let go: what it made may live until the process ends.
void* module()
{
    static void* const handle = [] () -> void* {
        std::error_code error;
        const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
        std::vector<std::filesystem::path> places;
        if (!error)
            places.push_back(program.parent_path() / OVREL_RECOGNISER_FROM_PROGRAM);
        places.emplace_back(OVREL_RECOGNISER_BUILT);
        for (const std::filesystem::path& path : places)
            if (std::filesystem::exists(path, error))
                if (void* opened = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL))
                    return opened;
        return nullptr;
    }();
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
