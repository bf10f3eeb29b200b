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
    // The three "Introduction" buttons, then the four "Test Pace" buttons.
    virtual void setOptionsEnabled(bool enabled) = 0;
    virtual void clearTrialOptions() = 0;
    virtual void clearPreTestOptions() = 0;
    virtual void focusStartStop() = 0;
};
