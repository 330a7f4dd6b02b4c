#pragma once

// SIGINT and SIGTERM end the event loop, so the program leaves through
// main's normal return (the pseudo-terminal and the port are closed). Call
// once, after the QCoreApplication exists.
void QuitOnSignals();
