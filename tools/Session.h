// What the reader's --watch needs from the operating system: stop requests,
// a wait that they cut short, and the local time. One file per system
// (Session_posix.cpp, Session_win.cpp).
#pragma once

#include "ReadOutput.h"

#include <chrono>

namespace tools::session {

// From now on Ctrl+C and a request to terminate (SIGINT, SIGTERM; the
// console's Ctrl+C, Ctrl+Break and close on Windows) only ask the watch to
// stop, and a write to an output pipe whose reader has gone fails instead of
// ending the process.
void CatchStopRequests();

// Waits for the duration. False, at once, when a stop has been asked for or
// the reader of the output pipe has gone away.
bool Wait(std::chrono::milliseconds duration);

// The local time now.
LocalTime Now();

} // namespace tools::session
