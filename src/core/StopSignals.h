#pragma once
#include <functional>

// SIGINT and SIGTERM run `onStop` in the event loop (not inside the signal
// handler), so a program can leave through main's normal return with its
// port and files closed. SIGPIPE is ignored. Call once, after the
// QCoreApplication exists.
void OnStopSignals(std::function<void()> onStop);
// The usual case: the signals end the event loop.
void QuitOnSignals();
