#pragma once
#include <functional>

// Ctrl+C (SIGINT) and SIGTERM call onStop from the event loop instead of
// ending the program, so a run can end between two exchanges and still
// report. Call once, after the QCoreApplication exists.
void OnStopSignals(std::function<void()> onStop);
