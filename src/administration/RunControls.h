#pragma once

#include <QString>

// What the run engine changes on the main window. The window implements it; tests record it.
class RunControls {
public:
    virtual ~RunControls() = default;
    virtual void setStartStopCaption(const QString& caption) = 0;
    // The picture of image resource "GIF" `id`: 101 (stop) while running, 102 (start) otherwise.
    virtual void setStartStopPicture(int id) = 0;
    virtual void setResetEnabled(bool enabled) = 0;
    // File, then Help, with the items under them.
    virtual void setMenusEnabled(bool enabled) = 0;
    // The three "Introduction" choices, then the four "Test Pace" choices.
    virtual void setChoicesEnabled(bool enabled) = 0;
    virtual void clearPaceChoice() = 0;
    virtual void clearIntroductionChoice() = 0;
    virtual void focusStartStop() = 0;
};
