#pragma once

// Sends the process's standard error to /dev/null for its lifetime (libraries that print
// start-up chatter straight to file descriptor 2).
class QuietStderr {
public:
    QuietStderr();
    ~QuietStderr();
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;

private:
    int saved_ = -1;
};
