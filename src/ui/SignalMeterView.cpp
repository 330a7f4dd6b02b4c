#include "ui/SignalMeterView.h"

#include "ops/SignalMonitor.h"
#include "ui/WidgetHelpers.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QSpinBox>

using WidgetHelpers::Named;

namespace {
// The trend of the last ten minutes: CSQ over time, newest at the right.
// A failed poll or an unknown value (99) breaks the line.
class SignalTrendPlot : public QWidget {
public:
    explicit SignalTrendPlot(const SignalHistory &history) : history_(history)
    {
        setObjectName(QStringLiteral("SignalTrendPlot"));
        setAccessibleName(QCoreApplication::translate("SignalTrendPlot", "信号强度趋势"));
        setMinimumSize(240, 120);
    }
    QSize sizeHint() const override { return {320, 150}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    const SignalHistory &history_;
};

void SignalTrendPlot::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), Qt::white);
    const QFontMetrics metrics(font());
    const int left = metrics.horizontalAdvance(QStringLiteral("31")) + 8;
    const QRectF area(left, 6, width() - left - 8, height() - metrics.height() - 12);

    const auto yOf = [&](int csq) { return area.bottom() - area.height() * csq / SignalMeter::kMaxCsq; };
    for (int csq : {0, 10, 15, 20, SignalMeter::kMaxCsq}) {
        painter.setPen(QColor(220, 220, 220));
        painter.drawLine(QPointF(area.left(), yOf(csq)), QPointF(area.right(), yOf(csq)));
        painter.setPen(Qt::darkGray);
        painter.drawText(QRectF(0, yOf(csq) - metrics.height() / 2.0, left - 4, metrics.height()),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(csq));
    }
    painter.drawRect(area);
    const QRectF below(area.left(), area.bottom() + 2, area.width(), metrics.height() + 4);
    painter.drawText(below, Qt::AlignLeft | Qt::AlignTop, QCoreApplication::translate("SignalTrendPlot", "-10分钟"));
    painter.drawText(below, Qt::AlignRight | Qt::AlignTop, QCoreApplication::translate("SignalTrendPlot", "现在"));

    const auto &samples = history_.Samples();
    if (samples.empty())
        return;
    const qint64 end = samples.back().msecs;
    const auto xOf = [&](qint64 msecs) {
        return area.right() - area.width() * double(end - msecs) / double(SignalHistory::kSpanMs);
    };
    QPainterPath line;
    bool drawing = false;
    for (const SignalSample &sample : samples) {
        if (!SignalMeter::Known(sample.csq)) {
            drawing = false;
            continue;
        }
        const QPointF point(xOf(sample.msecs), yOf(sample.csq));
        if (drawing)
            line.lineTo(point);
        else
            line.moveTo(point);
        drawing = true;
    }
    painter.setPen(QPen(QColor(0, 90, 170), 2));
    painter.drawPath(line);
    painter.setBrush(QColor(0, 90, 170));
    for (const SignalSample &sample : samples)
        if (SignalMeter::Known(sample.csq))
            painter.drawEllipse(QPointF(xOf(sample.msecs), yOf(sample.csq)), 2.5, 2.5);
}

QLabel *ValueLabel(const char *name, const QString &accessibleName)
{
    auto *label = Named(new QLabel(QStringLiteral("--")), name, accessibleName);
    label->setMinimumWidth(70);
    return label;
}
} // namespace

SignalMeterView::SignalMeterView(SignalMonitor &monitor, QWidget *parent)
    : QGroupBox(QCoreApplication::translate("SignalMeterView", "信号监测"), parent),
      monitor_(monitor),
      switch_(new QCheckBox(QCoreApplication::translate("SignalMeterView", "连续监测"))),
      interval_(new QSpinBox),
      csq_(ValueLabel("SignalCsq", QStringLiteral("CSQ"))),
      dbm_(ValueLabel("SignalDbm", QCoreApplication::translate("SignalMeterView", "信号强度dBm"))),
      quality_(ValueLabel("SignalQuality", QCoreApplication::translate("SignalMeterView", "信号质量"))),
      bar_(new QProgressBar),
      plot_(new SignalTrendPlot(monitor.History()))
{
    setObjectName(QStringLiteral("SignalMeter"));
    Named(switch_, "SignalWatch", QCoreApplication::translate("SignalMeterView", "连续监测"));
    Named(interval_, "SignalInterval", QCoreApplication::translate("SignalMeterView", "监测间隔（秒）"));
    interval_->setRange(SignalMonitor::kMinSeconds, SignalMonitor::kMaxSeconds);
    interval_->setValue(SignalMonitor::kDefaultSeconds);
    interval_->setSuffix(QCoreApplication::translate("SignalMeterView", " 秒"));
    // Screen readers land on the box's text field, not on the box.
    if (auto *text = interval_->findChild<QLineEdit *>())
        text->setAccessibleName(interval_->accessibleName());
    Named(bar_, "SignalBar", QCoreApplication::translate("SignalMeterView", "信号强度"));
    bar_->setRange(0, SignalMeter::kMaxCsq);
    bar_->setValue(0);
    bar_->setTextVisible(false);

    connect(interval_, &QSpinBox::valueChanged, this, [this](int seconds) { monitor_.SetIntervalSeconds(seconds); });
    connect(switch_, &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            monitor_.Start();
        else
            monitor_.Stop();
    });
    connect(&monitor_, &SignalMonitor::reading, this, &SignalMeterView::ShowReading);
    connect(&monitor_, &SignalMonitor::stopped, this, [this] { SwitchOff(); });

    auto *grid = new QGridLayout(this);
    grid->addWidget(switch_, 0, 0);
    grid->addWidget(new QLabel(QCoreApplication::translate("SignalMeterView", "间隔")), 0, 1, Qt::AlignRight);
    grid->addWidget(interval_, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("CSQ")), 1, 0);
    grid->addWidget(csq_, 1, 1);
    grid->addWidget(dbm_, 1, 2);
    grid->addWidget(quality_, 2, 0);
    grid->addWidget(bar_, 2, 1, 1, 2);
    grid->addWidget(plot_, 3, 0, 1, 3);
    grid->setRowStretch(3, 1);
}

void SignalMeterView::SwitchOff()
{
    switch_->setChecked(false);
    monitor_.Stop();
}

void SignalMeterView::ShowReading(int csq)
{
    if (csq < 0) {
        csq_->setText(QStringLiteral("--"));
        dbm_->setText(QStringLiteral("--"));
        quality_->setText(QCoreApplication::translate("SignalMeterView", "读取失败"));
        bar_->setValue(0);
    } else {
        csq_->setText(QString::number(csq));
        dbm_->setText(SignalMeter::DbmText(csq));
        quality_->setText(SignalMeter::QualityWord(SignalMeter::QualityOf(csq)));
        bar_->setValue(SignalMeter::Known(csq) ? csq : 0);
    }
    plot_->update();
}
