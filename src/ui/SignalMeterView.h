#pragma once
#include <QGroupBox>

class QCheckBox;
class QLabel;
class QProgressBar;
class QSpinBox;
class SignalMonitor;

// The meter on the control-mode page: the "连续监测" switch, the interval,
// the last reading (CSQ, dBm, quality word and bar) and the trend plot. It
// only shows what the monitor reads.
class SignalMeterView : public QGroupBox {
public:
    explicit SignalMeterView(SignalMonitor &monitor, QWidget *parent = nullptr);
    // Turns monitoring off (the switch follows), as leaving the page does.
    void SwitchOff();

private:
    void ShowReading(int csq);

    SignalMonitor &monitor_;
    QCheckBox *switch_;
    QSpinBox *interval_;
    QLabel *csq_;
    QLabel *dbm_;
    QLabel *quality_;
    QProgressBar *bar_;
    QWidget *plot_; // the trend of the readings
};
