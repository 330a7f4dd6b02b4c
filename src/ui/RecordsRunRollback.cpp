#include "ui/RecordsRunRollback.h"

#include "fleet/FleetWording.h"
#include "ui/WidgetHelpers.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

using WidgetHelpers::Button;
using WidgetHelpers::Named;

RecordsRunRollback::RecordsRunRollback(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("RecordsRunRollback"));
    devices_ = Named(new QTableWidget(0, 3), "RecordsRunResults", tr("整批恢复"));
    devices_->setHorizontalHeaderLabels({tr("目标"), tr("结果"), tr("记录")});
    devices_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    devices_->verticalHeader()->hide();
    devices_->horizontalHeader()->setStretchLastSection(true);
    stop_ = Button("RecordsRollbackStop", tr("停止"));
    stop_->setEnabled(false);
    connect(stop_, &QPushButton::clicked, this, [this] {
        rollback_.Stop();
        status_->setText(tr("正在停止：当前设备在下一行之前结束，其余设备不再开始"));
    });
    status_ = Named(new QLabel, "RecordsRunStatus");
    status_->setWordWrap(true);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(status_, 1);
    bottom->addWidget(stop_);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(devices_, 1);
    layout->addLayout(bottom);

    connect(&rollback_, &FleetRollback::deviceStarted, this, &RecordsRunRollback::OnStarted);
    connect(&rollback_, &FleetRollback::deviceFinished, this, &RecordsRunRollback::OnFinished);
    connect(&rollback_, &FleetRollback::finished, this, &RecordsRunRollback::OnEnded);
}

void RecordsRunRollback::Start(const QString &run, const FleetRollback::Settings &settings)
{
    if (rollback_.Running())
        return;
    run_ = run;
    devices_->setRowCount(0);
    status_->setText(tr("正在恢复批量运行 %1……").arg(run));
    stop_->setEnabled(true);
    rollback_.Start(run, settings);
}

void RecordsRunRollback::OnStarted(int index, int total, const QString &target)
{
    devices_->setRowCount(index + 1);
    devices_->setItem(index, 0, new QTableWidgetItem(target));
    devices_->setItem(index, 1, new QTableWidgetItem(tr("恢复中")));
    devices_->setItem(index, 2, new QTableWidgetItem(QString()));
    status_->setText(tr("正在恢复批量运行 %1：第%2台，共%3台").arg(run_).arg(index + 1).arg(total));
}

void RecordsRunRollback::OnFinished(int index)
{
    const DeviceReport &r = rollback_.Reports().at(index);
    if (devices_->rowCount() <= index)
        devices_->setRowCount(index + 1);
    devices_->setItem(index, 0, new QTableWidgetItem(r.target));
    devices_->setItem(index, 1, new QTableWidgetItem(FleetWording::Result(r)));
    devices_->setItem(index, 2, new QTableWidgetItem(r.record > 0 ? QString::number(r.record) : QString()));
}

void RecordsRunRollback::OnEnded()
{
    stop_->setEnabled(false);
    if (!rollback_.Failure().isEmpty())
        status_->setText(tr("批量运行 %1 没有恢复：%2").arg(run_, rollback_.Failure()));
    else
        status_->setText(tr("批量运行 %1 的恢复：%2").arg(run_, FleetWording::Totals(rollback_.Reports())));
    emit ended();
}

#include "moc_RecordsRunRollback.cpp"
