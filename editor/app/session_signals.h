#pragma once
// The system ends the session (SIGTERM, SIGINT, SIGHUP): the program goes at once,
// whatever it is doing, a modal dialog or a long operation included, and asks nothing.
// Unmodified documents' working files are deleted; modified documents stay in the run's
// folder for the next start to recover.
namespace app {

// Installs the handlers; the event loop (of any depth) picks the signal up from a pipe.
// Call once, after the QApplication exists.
void end_session_on_signals();

} // namespace app
