#pragma once
#include <QCoreApplication>

class DtuSession;
class QLabel;
class QMainWindow;
class WriteProgress;

// The main window's status bar (StatusBar1): the serial state, the result of
// the last operation, a write run's progress and "快速应答" while that mode
// is on.
class MainStatusBar {
    Q_DECLARE_TR_FUNCTIONS(TForm1)
public:
    MainStatusBar(QMainWindow &window, DtuSession &session);

    // Panel 1 shows the serial state, panel 3 the result of an operation.
    QLabel *SerialState() const { return panels_[1]; }
    QLabel *Result() const { return panels_[3]; }
    QLabel *FastMode() const { return fastMode_; }
    WriteProgress *Progress() const { return progress_; }

private:
    QLabel *panels_[4] = {};
    QLabel *fastMode_ = nullptr;
    WriteProgress *progress_ = nullptr;
};
