#pragma once
class QApplication;
// Builds the main window, shows it and runs the message loop.
int RunMainWindow(QApplication &app);
