#include "ui/ProfileCheckDialog.h"

#include "core/Frontend.h"
#include "core/WorkPaths.h"
#include "ops/PageEntry.h"
#include "ops/ProfileCheckWording.h"
#include "session/DtuSession.h"
#include "ui/WidgetHelpers.h"

#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

using WidgetHelpers::Named;

void ProfileCheckDialog::Run(QMainWindow &window, DtuSession &session)
{
    if (!session.profile) {
        session.frontend().ShowMessage(tr("请先调入参数文件"));
        return;
    }
    const QString profile = session.profile->Path();
    const WorkPaths::ScriptLookup script = WorkPaths::LookUpScript(profile);
    if (script.found.isEmpty()) {
        session.frontend().ShowMessage(WorkPaths::ScriptNotFoundText(script.tried));
        return;
    }
    auto *dialog = static_cast<ProfileCheckDialog *>(window.findChild<QDialog *>(QStringLiteral("ProfileCheckDialog")));
    if (!dialog)
        dialog = new ProfileCheckDialog(window, session);
    QGuiApplication::setOverrideCursor(Qt::WaitCursor); // a snippet may run to the watchdog's limit
    const ProfileCheck::Report report = ProfileCheck::Run(profile, script.found);
    QGuiApplication::restoreOverrideCursor();
    dialog->Show(report);
}

ProfileCheckDialog::ProfileCheckDialog(QMainWindow &window, DtuSession &session)
    : QDialog(&window), window_(window), session_(session)
{
    setObjectName(QStringLiteral("ProfileCheckDialog"));
    setWindowTitle(tr("检查参数文件"));
    summary_ = Named(new QLabel, "CheckSummary");
    list_ = Named(new QListWidget, "CheckFindings", tr("检查结果"));
    auto *close = Named(new QPushButton(tr("关闭")), "CheckClose");
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(summary_);
    layout->addWidget(new QLabel(tr("点选一条，参数表中就选中它所在的行。")));
    layout->addWidget(list_);
    layout->addWidget(close, 0, Qt::AlignRight);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(list_, &QListWidget::currentRowChanged, this, [this](int item) { Pick(item); });
    resize(720, 360);
}

void ProfileCheckDialog::Show(const ProfileCheck::Report &report)
{
    findings_ = report.findings;
    summary_->setText(ProfileCheckWording::Summary(report));
    list_->clear();
    for (const ProfileCheck::Finding &f : findings_) {
        auto *item = new QListWidgetItem(ProfileCheckWording::Line(f), list_);
        item->setForeground(f.severity == ProfileCheck::Severity::Fault ? Qt::red : Qt::darkYellow);
    }
    show();
    raise();
    activateWindow();
}

void ProfileCheckDialog::Pick(int item)
{
    if (item < 0 || item >= int(findings_.size()) || findings_[item].index < 0)
        return;
    const ProfileCheck::Finding &f = findings_[item];
    const bool extended = f.table == ProfileCheck::Table::Extended;
    auto *pages = window_.findChild<QTabWidget *>(QStringLiteral("PageControl1"));
    const int page = int(extended ? Page::Extended : Page::Main);
    if (pages && page < pages->count())
        pages->setCurrentIndex(page);
    // A row after one the loader could not build is not in the table.
    ParamTableModel &table = extended ? session_.extTable : session_.mainTable;
    if (f.index < table.Count())
        table.SetCurrentRow(f.index);
}
