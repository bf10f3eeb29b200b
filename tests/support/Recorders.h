#pragma once

#include "platform/MessagePresenter.h"
#include "platform/ProgramEnder.h"
#include "platform/SoundOutput.h"

#include <QStringList>
#include <vector>

// Records the texts of message boxes instead of showing them; installed for its lifetime.
struct MessageRecorder final : MessagePresenter {
    MessageRecorder() { setMessagePresenter(this); }
    ~MessageRecorder() override { setMessagePresenter(nullptr); }
    void show(QWidget*, const QString& title, const QString& text, MessageIcon icon) override
    {
        texts << text;
        titles << title;
        icons.push_back(icon);
    }
    QStringList texts, titles;
    std::vector<MessageIcon> icons;
};

// Counts the ends of the program instead of ending the process; installed for its lifetime.
struct ExitRecorder final : ProgramEnder {
    ExitRecorder() { setProgramEnder(this); }
    ~ExitRecorder() override { setProgramEnder(nullptr); }
    void end() override { ++ends; }
    int ends = 0;
};

// Records what would have been played.
struct SoundRecorder final : SoundOutput {
    bool start(const WaveImage& sound, SteadyTime due) override
    {
        started.push_back(sound);
        dues.push_back(due);
        return available;
    }
    void stop() override { ++stops; }
    std::vector<WaveImage> started;
    std::vector<SteadyTime> dues;
    bool available = true;
    int stops = 0;
};
