#include "sound/ModuleOpening.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>
#include <vector>

void* openModule(const char* fromProgram, const char* built)
{
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    std::vector<std::filesystem::path> places;
    if (!error)
        places.push_back(program.parent_path() / fromProgram);
    places.emplace_back(built);
    for (const std::filesystem::path& path : places)
        if (std::filesystem::exists(path, error))
            if (void* opened = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL))
                return opened;
    return nullptr;
}
