#include "ui/SignalMeterView.h"

#include "ops/SignalMonitor.h"
#include "ui/SignalTrendPlot.h"
#include "ui/WidgetHelpers.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QSpinBox>

using WidgetHelpers::Named;

namespace {
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
