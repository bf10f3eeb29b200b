#pragma once

#include <functional>

class MessagePresenter;
class ProgramEnder;
class QWidget;
struct ProgramServices;

// Creates and loads the main window without showing it; may throw.
using MainWindowLoader = std::function<QWidget*()>;

// Loads the main window and shows it; a main window then sets the computer's volume, once it
// shows. A failure on the way is reported once as
// "Error <number>: <description>" (critical icon) and then ends the program; the window is never
// shown. Returns the shown window, or nullptr after a failure.
QWidget* showMainWindow(const MainWindowLoader& load, MessagePresenter& messages, ProgramEnder& ender);

// The main window on `services`, loaded and centred on the screen. An end of the desktop session
// takes the window's own exit path.
QWidget* loadMainWindow(const ProgramServices& services);
