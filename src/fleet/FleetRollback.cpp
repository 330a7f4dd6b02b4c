#include "fleet/FleetRollback.h"

#include "fleet/FleetRunner.h"
#include "fleet/WorkerEvents.h"

#include <QCoreApplication>

#include <csignal>


FleetRollback::FleetRollback(QObject *parent) : QObject(parent)
{
    connect(&process_, &QProcess::readyReadStandardOutput, this, &FleetRollback::OnOutput);
    connect(&process_, &QProcess::readyReadStandardError, this, [this] {
        errors_ += process_.readAllStandardError();
        errors_ = errors_.right(WorkerEvents::kErrorTail);
    });
    connect(&process_, &QProcess::finished, this,
            [this](int code, QProcess::ExitStatus status) { OnEnded(code, status == QProcess::CrashExit); });
    connect(&process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            OnEnded(-1, true);
    });
}

FleetRollback::~FleetRollback()
{
    // A window closed mid-run: the process must not outlive it.
    process_.disconnect(this);
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(1000);
    }
}

bool FleetRollback::Start(const QString &run, const Settings &settings)
{
    if (running_)
        return false;
    QStringList args{QStringLiteral("--profile"), settings.profilePath, QStringLiteral("--script"),
                     settings.scriptPath, QStringLiteral("--level"), QString::number(settings.level)};
    if (!settings.language.isEmpty())
        args << QStringLiteral("--lang") << settings.language;
    if (settings.fast)
        args << QStringLiteral("--fast");
    if (!settings.records.isEmpty())
        args << QStringLiteral("--records") << settings.records;
    args << QStringLiteral("rollback") << QStringLiteral("--run") << run << QStringLiteral("--events");
    reports_.clear();
    errors_.clear();
    failure_.clear();
    current_.clear();
    running_ = true;
    process_.start(FleetRunner::WorkerProgram(), args);
    process_.closeWriteChannel();
    return true;
}

void FleetRollback::Stop()
{
    if (running_ && process_.state() == QProcess::Running)
        ::kill(static_cast<pid_t>(process_.processId()), SIGINT);
}

void FleetRollback::OnOutput()
{
    // Whole lines only: the process keeps a line not yet ended.
    while (process_.canReadLine()) {
        const WorkerEvents::Event event = WorkerEvents::Parse(process_.readLine());
        if (event.kind == WorkerEvents::Event::Kind::Progress) {
            current_ = event.row;
            emit deviceStarted(event.done, event.total, event.row);
        } else if (event.kind == WorkerEvents::Event::Kind::Result) {
            DeviceReport report = event.result;
            report.target = current_;
            reports_.append(report);
            emit deviceFinished(static_cast<int>(reports_.size()) - 1);
        }
    }
}

void FleetRollback::OnEnded(int exitCode, bool crashed)
{
    if (!running_)
        return; // told twice (a start that failed also finishes)
    OnOutput();
    running_ = false;
    if (reports_.isEmpty() && (exitCode != 0 || crashed)) {
        // Its own complaint says why: no such run, a store that cannot be read.
        failure_ = WorkerEvents::Complaint(errors_);
        if (failure_.isEmpty())
            failure_ = crashed && process_.error() == QProcess::FailedToStart
                           ? QCoreApplication::translate("FleetRollback", "%1 没能启动").arg(FleetRunner::WorkerProgram())
                           : QCoreApplication::translate("FleetRollback", "没有结果：进程以状态%1结束").arg(exitCode);
    }
    emit finished();
}

#include "moc_FleetRollback.cpp"
