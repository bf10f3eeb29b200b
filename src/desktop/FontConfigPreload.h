#pragma once

#include <thread>

// Reads the machine's font configuration (fontconfig's files and caches) on a thread of its own
// while the application connects to the display; the window's first text would otherwise wait
// for it (a few milliseconds of start-up). wait() before the first font is used; the destructor
// waits too.
class FontConfigPreload {
public:
    FontConfigPreload();
    ~FontConfigPreload() { wait(); }
    FontConfigPreload(const FontConfigPreload&) = delete;
    FontConfigPreload& operator=(const FontConfigPreload&) = delete;

    void wait();

private:
    std::thread reading_;
};
