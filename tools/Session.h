// What the reader's --watch needs from the operating system: stop requests,
// a wait that they cut short, and the local time. One file per system
// (Session_posix.cpp, Session_win.cpp).
#pragma once

#include "ReadOutput.h"

#include <chrono>

#include <string>
#include <vector>

namespace tools::session {

// The program's arguments (without its name) in UTF-8. Windows hands main()
// its arguments in the ANSI code page, which cannot hold every file name.
std::vector<std::string> Arguments(int argc, char** argv);

// Sets up standard output and error: on Windows, text for a console window
// goes to it as wide text (ConsoleText.h), so that Japanese shows in any
// code page; redirected to a file or a pipe it stays UTF-8 (with CR LF).
// Elsewhere nothing changes.
void SetUpOutput();

// From now on Ctrl+C and a request to terminate (SIGINT, SIGTERM; the
// console's Ctrl+C, Ctrl+Break and close on Windows) only ask the watch to
// stop, and a write to an output pipe whose reader has gone fails instead of
// ending the process. A second Ctrl+C ends a process that hangs.
void CatchStopRequests();

// Waits for the duration. False, at once, when a stop has been asked for or
// the reader of the output pipe has gone away (noticed within a tenth of a
// second on Windows).
bool Wait(std::chrono::milliseconds duration);

// The local time now.
LocalTime Now();

} // namespace tools::session
