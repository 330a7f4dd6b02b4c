#include "ui/MainStatusBar.h"

#include "session/DtuSession.h"
#include "ui/WidgetHelpers.h"
#include "ui/WriteProgress.h"

#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>

MainStatusBar::MainStatusBar(QMainWindow &window, DtuSession &session)
{
    QStatusBar *bar = window.statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    const QString texts[4] = {tr("串口状态"), session.facts.SerialStateText, tr("操作结果"), QString()};
    const int widths[4] = {80, 300, 100, 0};
    const QString names[4] = {tr("串口状态"), tr("串口状态内容"), tr("操作结果"), tr("操作结果内容")};
    for (int i = 0; i < 4; ++i) {
        auto *panel = new QLabel(texts[i]);
        panel->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(i));
        panel->setAccessibleName(names[i]);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        if (widths[i] > 0)
            panel->setFixedWidth(widths[i]);
        bar->addWidget(panel, widths[i] > 0 ? 0 : 1);
        panels_[i] = panel;
    }
    fastMode_ = WidgetHelpers::Named(new QLabel(tr("快速应答")), "FastModePanel", tr("快速应答模式"));
    fastMode_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    progress_ = new WriteProgress(session.state);
    bar->addPermanentWidget(progress_);
    bar->addPermanentWidget(fastMode_);
}
