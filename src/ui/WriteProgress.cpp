#include "ui/WriteProgress.h"

#include "core/AppState.h"
#include "ui/WidgetHelpers.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

WriteProgress::WriteProgress(AppState &state, QWidget *parent)
    : QWidget(parent), state_(state), row_(new QLabel), bar_(new QProgressBar),
      stop_(WidgetHelpers::Button("btStop", QCoreApplication::translate("WriteProgress", "停止")))
{
    setObjectName(QStringLiteral("WriteProgress"));
    WidgetHelpers::Named(row_, "WriteProgressRow", QCoreApplication::translate("WriteProgress", "正在写入的参数"));
    WidgetHelpers::Named(bar_, "WriteProgressBar", QCoreApplication::translate("WriteProgress", "写入进度"));
    bar_->setFormat(QStringLiteral("%v/%m"));
    bar_->setMinimumWidth(110);
    row_->setMaximumWidth(120);
    // The run itself notices the request before its next row.
    connect(stop_, &QPushButton::clicked, this, [this] {
        state_.StopRequested = true;
        stop_->setEnabled(false);
    });
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(row_);
    layout->addWidget(bar_);
    layout->addWidget(stop_);
    hide();
}

void WriteProgress::Show(const WriteRunStatus &status)
{
    // A single row is over before a bar could be read.
    if (!status.running || status.total <= 1) {
        hide();
        stop_->setEnabled(true);
        return;
    }
    bar_->setRange(0, status.total);
    bar_->setValue(status.done);
    row_->setText(status.currentName);
    show();
}
