#pragma once

#include "administration/RunControls.h"

#include <QString>

// The window's side of the engine, as the state it would show.
struct ControlsRecorder final : RunControls {
    QString caption = QStringLiteral("Start");
    int picture = 102;
    bool resetEnabled = true, menusEnabled = true, choicesEnabled = true;
    void setStartStopCaption(const QString& c) override { caption = c; }
    void setStartStopPicture(int id) override { picture = id; }
    void setResetEnabled(bool e) override { resetEnabled = e; }
    void setMenusEnabled(bool e) override { menusEnabled = e; }
    void setChoicesEnabled(bool e) override { choicesEnabled = e; }
    void clearPaceChoice() override {}
    void clearIntroductionChoice() override {}
    void focusStartStop() override {}
};
