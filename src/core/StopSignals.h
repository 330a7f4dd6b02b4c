#pragma once
#include <functional>

// SIGINT and SIGTERM run `onStop` in the event loop (not inside the signal
// handler), so a program can leave through main's normal return with its
// port and files closed. SIGPIPE is ignored. Call after the
// QCoreApplication exists. Each call adds a listener, and every listener
// hears each signal. With a context, onStop is heard only while the context
// lives (a run inside a longer process); without, for good.
class QObject;
void OnStopSignals(std::function<void()> onStop, QObject *context = nullptr);
// While on, a stop signal ends the process at once, as if nothing handled
// it: the second Ctrl+C of someone who will not wait for a stop between two
// exchanges. A program turns it on once it has heard the first.
void EndOnNextStopSignal(bool on);
