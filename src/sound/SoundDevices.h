#pragma once

#include <QString>

// Names the sound server and its default output and input as its own settings show them, for a
// report of what a check ran on.
class SoundDevices {
public:
    struct Names {
        QString server;  // with its version; empty where not known
        QString output;
        QString input;
    };
    virtual ~SoundDevices() = default;
    // Asks the server now; what it cannot learn is left empty.
    virtual Names names() = 0;
};
