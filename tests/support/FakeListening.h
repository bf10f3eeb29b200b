#pragma once

#include "recordsheet/ListeningService.h"

#include <vector>

// Listening as a test sets it: what the sheet's window asked of it is kept.
struct FakeListening final : ListeningService {
    bool isOn() const override { return on; }
    void setOn(bool value) override
    {
        on = value;
        emit stateChanged();
    }
    QString state() const override { return on ? said : QString(); }
    double levelDb() const override { return level; }
    QString hearAgain(RecordSheet::Answer answer) override
    {
        heardAgain.push_back(answer);
        return problem;
    }
    bool hasRecording(int) const override { return false; }
    bool saveRecording(int, const QString&) const override { return false; }

    bool on = false;
    QString said = QStringLiteral("Listening.");
    double level = -20;
    QString problem;
    std::vector<RecordSheet::Answer> heardAgain;
};
