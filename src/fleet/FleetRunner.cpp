#include "fleet/FleetRunner.h"

#include "fleet/WorkerEvents.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>

#include <csignal>

struct FleetRunner::Worker {
    int index = 0;
    QProcess process;
    QByteArray errors;  // the end of its standard error, for a worker that gives no result
    bool resultSeen = false;
    bool stopAsked = false; // the run was stopped while this worker lived
    qint64 startedMs = -1;  // -1 once it has ended
};


FleetRunner::FleetRunner(Scheduler &scheduler, QObject *parent) : QObject(parent), scheduler_(scheduler) {}

FleetRunner::~FleetRunner()
{
    // A window closed mid-run: the workers must not outlive it.
    for (auto &worker : workers_) {
        worker->process.disconnect(this);
        if (worker->process.state() != QProcess::NotRunning) {
            worker->process.kill();
            worker->process.waitForFinished(1000);
        }
    }
}

QString FleetRunner::WorkerProgram()
{
    const QByteArray dir = qgetenv(kBinDirVariable);
    const QString folder = dir.isEmpty() ? QCoreApplication::applicationDirPath() : QString::fromLocal8Bit(dir);
    return QDir(folder).filePath(QStringLiteral("dtucfg"));
}

int FleetRunner::JobsFor(int devices, int jobs)
{
    const int limit = jobs > 0 ? qMin(jobs, kMaxJobs) : kMaxDefaultJobs;
    return qMax(1, qMin(devices, limit));
}

bool FleetRunner::Start(const QList<FleetDevice> &devices, const Settings &settings)
{
    if (running_)
        return false;
    devices_ = devices;
    settings_ = settings;
    reports_.clear();
    for (const FleetDevice &d : devices)
        reports_.append({d.target.Text(), d.name});
    workers_.clear();
    next_ = 0;
    active_ = 0;
    jobs_ = JobsFor(static_cast<int>(devices.size()), settings.jobs);
    stopping_ = false;
    if (devices.isEmpty()) {
        emit finished();
        return true;
    }
    running_ = true;
    while (!stopping_ && active_ < jobs_ && next_ < devices_.size())
        StartNext();
    return true;
}

void FleetRunner::Stop()
{
    if (!running_ || stopping_)
        return;
    stopping_ = true;
    for (auto &worker : workers_) {
        if (worker->startedMs < 0)
            continue; // ended already
        worker->stopAsked = true;
        // One still starting is interrupted when it runs (QProcess::started).
        if (worker->process.state() == QProcess::Running)
            Interrupt(*worker);
    }
    if (active_ == 0) {
        running_ = false;
        emit finished();
    }
}

void FleetRunner::Interrupt(Worker &worker)
{
    ::kill(static_cast<pid_t>(worker.process.processId()), SIGINT);
}

QStringList FleetRunner::WorkerArgs(const FleetDevice &device) const
{
    QStringList args{QStringLiteral("--profile"), settings_.profilePath, QStringLiteral("--script"),
                     settings_.scriptPath, QStringLiteral("--level"), QString::number(settings_.level)};
    if (device.target.tcp)
        args << QStringLiteral("--tcp") << device.target.host << QStringLiteral("--tcp-port")
             << QString::number(device.target.tcpPort);
    else
        args << QStringLiteral("--port") << device.target.port;
    // The worker's own words (why a channel did not open, a refusal) in
    // the run's language.
    if (!settings_.language.isEmpty())
        args << QStringLiteral("--lang") << settings_.language;
    // The password goes down the worker's standard input: a command line
    // is readable by every user of the computer.
    if (!device.password.isEmpty())
        args << QStringLiteral("--password-file") << QStringLiteral("-");
    if (settings_.fast)
        args << QStringLiteral("--fast");
    args += settings_.recordArgs;
    args << QStringLiteral("provision") << QStringLiteral("--events");
    if (settings_.verify)
        args << QStringLiteral("--verify");
    if (settings_.audit)
        args << QStringLiteral("--audit");
    if (settings_.writeAll)
        args << QStringLiteral("--write-all");
    if (!settings_.ignore.isEmpty())
        args << QStringLiteral("--ignore") << settings_.ignore.join(QLatin1Char(','));
    for (const auto &value : device.values)
        args << QStringLiteral("--set") << value.first + QLatin1Char('=') + value.second;
    return args;
}

void FleetRunner::StartNext()
{
    const int index = next_++;
    auto owned = std::make_unique<Worker>();
    Worker &worker = *owned;
    workers_.push_back(std::move(owned));
    worker.index = index;
    if (!settings_.workDir.isEmpty())
        worker.process.setWorkingDirectory(settings_.workDir);
    // A device without a password of its own gets the default one, not the
    // password this program was given.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DTU_PASSWORD"));
    worker.process.setProcessEnvironment(environment);
    connect(&worker.process, &QProcess::readyReadStandardOutput, this, [this, &worker] { OnOutput(worker); });
    connect(&worker.process, &QProcess::readyReadStandardError, this, [&worker] {
        worker.errors += worker.process.readAllStandardError();
        worker.errors = worker.errors.right(WorkerEvents::kErrorTail);
    });
    connect(&worker.process, &QProcess::finished, this, [this, &worker](int code, QProcess::ExitStatus status) {
        OnEnded(worker, code, status == QProcess::CrashExit);
    });
    connect(&worker.process, &QProcess::errorOccurred, this, [this, &worker](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            OnEnded(worker, -1, true);
    });
    // A stop asked while the process was being made reaches it now.
    connect(&worker.process, &QProcess::started, this, [this, &worker] {
        if (worker.stopAsked)
            Interrupt(worker);
    });
    ++active_;
    worker.startedMs = scheduler_.NowMs();
    emit deviceStarted(index);
    if (stopping_) {
        // Stopped by a receiver of deviceStarted: no process at all.
        reports_[index].why = {DeviceWhy::Kind::StoppedBeforeStart};
        Finish(worker);
        return;
    }
    worker.process.start(WorkerProgram(), WorkerArgs(devices_[index]));
    // Held until the process runs; its end tells the worker the line is whole.
    if (!devices_[index].password.isEmpty())
        worker.process.write(devices_[index].password.toUtf8() + '\n');
    worker.process.closeWriteChannel();
}

void FleetRunner::OnOutput(Worker &worker)
{
    // Whole lines only: the process keeps a line not yet ended.
    while (worker.process.canReadLine()) {
        const WorkerEvents::Event event = WorkerEvents::Parse(worker.process.readLine());
        if (event.kind == WorkerEvents::Event::Kind::Progress) {
            emit deviceProgress(worker.index, event.phase, event.done, event.total);
        } else if (event.kind == WorkerEvents::Event::Kind::Result) {
            // The worker tells what it did; the device's target and name stay the inventory's.
            DeviceReport &report = reports_[worker.index];
            const DeviceReport listed = report;
            report = event.result;
            report.target = listed.target;
            report.name = listed.name;
            worker.resultSeen = true;
        }
    }
}

void FleetRunner::OnEnded(Worker &worker, int exitCode, bool crashed)
{
    if (worker.startedMs < 0)
        return; // told twice (a start that failed also finishes)
    OnOutput(worker);
    DeviceReport &report = reports_[worker.index];
    report.seconds = (scheduler_.NowMs() - worker.startedMs) / 1000.0;
    worker.startedMs = -1;
    if (!worker.resultSeen && worker.stopAsked && crashed && exitCode == SIGINT) {
        // The stop came before the worker listened for it: it never
        // reached its device.
        report.outcome = OutcomeId::NotStarted;
        report.why = {DeviceWhy::Kind::StoppedBeforeStart};
    } else if (!worker.resultSeen) {
        // A worker that crashed or could not run: the device is not known to be written.
        report.outcome = OutcomeId::Failed;
        const QString said = WorkerEvents::Complaint(worker.errors);
        if (!crashed)
            report.why = {DeviceWhy::Kind::WorkerStatus, exitCode, 0, said};
        else if (worker.process.error() == QProcess::FailedToStart)
            report.why = {DeviceWhy::Kind::WorkerDidNotStart, 0, 0, WorkerProgram()};
        else
            report.why = {DeviceWhy::Kind::WorkerCrashed};
    }
    Finish(worker);
}

void FleetRunner::Finish(Worker &worker)
{
    worker.startedMs = -1;
    --active_;
    emit deviceFinished(worker.index);
    while (!stopping_ && active_ < jobs_ && next_ < devices_.size())
        StartNext();
    if (running_ && active_ == 0 && (stopping_ || next_ >= devices_.size())) {
        running_ = false;
        emit finished();
    }
}

#include "moc_FleetRunner.cpp"
