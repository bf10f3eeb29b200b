#pragma once

#include "platform/MessageBox.h"
#include "platform/PlaySound.h"
#include "platform/ProgramEnd.h"
#include "platform/SoundOutput.h"

#include <QStringList>
#include <vector>

// Records message boxes instead of showing them; installed for its lifetime.
class MessageRecorder final : public MessagePresenter {
public:
    struct Message {
        QString title;
        QString text;
        MsgIcon icon;
    };
    MessageRecorder() { setMessagePresenter(this); }
    ~MessageRecorder() override { setMessagePresenter(nullptr); }
    void show(QWidget*, const QString& title, const QString& text, MsgIcon icon) override
    {
        messages.push_back({title, text, icon});
    }
    std::vector<Message> messages;
};

// Records the end of the program instead of ending the process; installed for its lifetime.
class ExitRecorder final : public ProgramEnder {
public:
    ExitRecorder() { setProgramEnder(this); }
    ~ExitRecorder() override { setProgramEnder(nullptr); }
    void end() override { ++ends; }
    int ends = 0;
};

// Records what would have been played; installed for its lifetime.
class SoundRecorder final : public SoundOutput {
public:
    SoundRecorder() { setSoundOutput(this); }
    ~SoundRecorder() override { setSoundOutput(nullptr); }
    bool start(const WaveImage& sound, SteadyTime due) override
    {
        started.push_back(sound);
        dues.push_back(due);
        return available;
    }
    std::vector<WaveImage> started;
    std::vector<SteadyTime> dues;
    bool available = true;
};
