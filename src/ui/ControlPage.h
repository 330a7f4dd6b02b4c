#pragma once
#include "ui/WindowPage.h"

class Recorder;
class QPlainTextEdit;
class QPushButton;
class SignalMeterView;
class SignalMonitor;
struct WindowFacts;

// "控制模式测试" (TabSheet3): the device state buttons, their display and
// the signal meter.
class ControlPage : public WindowPage {
    Q_DECLARE_TR_FUNCTIONS(TForm1)
public:
    ControlPage(DtuSession &session, HandlerRunner &run, SignalMonitor &monitor, Recorder &recorder);

    // The state display (Memo4).
    QPlainTextEdit *Display() const { return Memo4; }
    // The signal button and the meter show only on a serial profile.
    void ShowFacts(const WindowFacts &facts);
    // Monitoring off, as leaving the page or the channel closing does.
    void SwitchOffMeter();

private:
    QPlainTextEdit *Memo4 = nullptr;
    QPushButton *Button6 = nullptr;
    SignalMeterView *meter_ = nullptr;
};
