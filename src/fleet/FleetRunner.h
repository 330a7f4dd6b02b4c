#pragma once
#include "core/Scheduler.h"
#include "fleet/FleetReport.h"
#include "fleet/Inventory.h"

#include <QObject>
#include <QString>
#include <memory>
#include <vector>

class QProcess;

// Runs a fleet: one worker process per device (dtucfg provision --events),
// at most `jobs` at a time. A worker owns its device's channel, session and
// event loop, so parallel devices never share a nested wait and a crash
// stays with one device. Everything arrives through QProcess signals: the
// runner never waits, and a window using it stays responsive.
class FleetRunner : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxDefaultJobs = 16;
    // Never more at once, whatever is asked: each is a process with its own
    // script engine.
    static constexpr int kMaxJobs = 64;
    // The folder of the worker program, for tests and benchmarks; by default
    // the folder of the running program.
    static inline const char *kBinDirVariable = "DTU_BIN_DIR";

    struct Settings {
        QString profilePath;
        QString scriptPath;
        QString workDir;  // where the workers run (relative paths of the profile); "" the current folder
        int jobs = 0;     // 0: all devices, at most kMaxDefaultJobs
        bool fast = false;
        bool verify = false;
        bool audit = false;    // read and compare only
        bool writeAll = false; // every row, also those a device holds
        int level = 0;    // access level: rows it withholds are neither written nor compared
        QStringList ignore; // rows the read-back does not compare
        QString language;   // "zh", "en": the workers' language; "" their default
        // The workers' options for the device records: where they are
        // (or --no-records), the run they belong to, --identify.
        QStringList recordArgs;
    };

    // A device's seconds are counted on the scheduler.
    explicit FleetRunner(Scheduler &scheduler = Scheduler::Default(), QObject *parent = nullptr);
    ~FleetRunner() override;

    static QString WorkerProgram();
    // The jobs a run of `devices` devices uses for a `jobs` setting.
    static int JobsFor(int devices, int jobs);

    // Starts the run; false when one is running already.
    bool Start(const QList<FleetDevice> &devices, const Settings &settings);
    // No new device starts; running ones are asked to stop after their
    // current exchange (SIGINT), and still report. A worker still starting
    // gets the signal as soon as it runs.
    void Stop();
    bool Running() const { return running_; }
    bool StopRequested() const { return stopping_; }
    // One report per device, in inventory order (filled as devices finish).
    const QList<DeviceReport> &Reports() const { return reports_; }

signals:
    void deviceStarted(int index);
    void deviceProgress(int index, const QString &phase, int done, int total);
    void deviceFinished(int index);
    void finished();

private:
    struct Worker;
    void StartNext();
    void OnOutput(Worker &worker);
    void OnEnded(Worker &worker, int exitCode, bool crashed);
    void Interrupt(Worker &worker);
    void Finish(Worker &worker);
    QStringList WorkerArgs(const FleetDevice &device) const;

    Scheduler &scheduler_;
    QList<FleetDevice> devices_;
    Settings settings_;
    QList<DeviceReport> reports_;
    std::vector<std::unique_ptr<Worker>> workers_;
    int next_ = 0;
    int active_ = 0;
    int jobs_ = 1;
    bool running_ = false;
    bool stopping_ = false;
};
