// Screen copies without the program's own windows in them: the editor
// usually stands over the area it captures, and a still picture of the
// screen should show what the user wants to mark, not the editor.
#pragma once

#include "Platform.h"

#include <QList>

#include <functional>

class QWidget;

namespace capture {

// The program's windows that are on the screen now (tool tips and the
// notification-area icon apart).
QList<QWidget*> ShownOwnWindows();

// Runs grab with the program's shown windows off the screen: they are taken
// away without being closed (a modal dialog among them keeps its loop), the
// desktop is given time to repaint what they covered, and afterwards they
// come back and the window that had the keyboard has it again.
void WithOwnWindowsAway(platform::Platform& platform, const std::function<void()>& grab);

} // namespace capture
