#pragma once

// Opens a module of the program's (a shared object loaded on first use): the one beside the
// program as installed, `fromProgram` being its path from the program's folder, else the one in
// the build folder at `built`. Null where neither opens. The caller keeps the handle for the
// process's life: what the module made may live until the end.
void* openModule(const char* fromProgram, const char* built);
