#pragma once
#include <QWidget>

class SignalHistory;

// The trend of the last ten minutes: CSQ over time, newest at the right.
// A failed poll or an unknown value (99) breaks the line.
class SignalTrendPlot : public QWidget {
public:
    explicit SignalTrendPlot(const SignalHistory &history, QWidget *parent = nullptr);
    QSize sizeHint() const override { return {320, 150}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    const SignalHistory &history_;
};
