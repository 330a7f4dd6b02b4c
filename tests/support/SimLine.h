#pragma once
#include "channel/Transport.h"
#include "cli/CliCommands.h"
#include "cli/CliOptions.h"
#include "cli/Dtucfg.h"
#include "core/DtuError.h"
#include "support/VirtualScheduler.h"
#include "sim/SimCommands.h"
#include "sim/SimDevice.h"
#include "sim/SimLink.h"
#include "sim/SimOptions.h"
#include "sim/SimProfile.h"
#include "sim/SimValues.h"
#include "script/ScriptHost.h"
#include "support/SimProcess.h"
#include "support/TestPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTest>

#include <csignal>
#include <cstdio>
#include <functional>
#include <memory>
#include <utility>

// dtusim's device in this process, on the tool's own scheduler: built from
// dtusim's options (the example profile and script unless the options name
// others) as dtusim builds a unit, its answers put on the line by dtusim's
// link on that scheduler's timers. On a VirtualScheduler a silent device's
// 3 s costs nothing: the tool's reply wait moves the clock, and the answers
// arrive (and are told, as a serial port tells) when it reaches them.
class SimLine : public Transport {
public:
    SimLine(Scheduler &clock, const QStringList &simArgs) : clock_(clock), start_(clock.NowMs())
    {
        SimOptions options;
        if (!SimOptions::Parse(QStringList{QStringLiteral("dtusim")} + SimProcess::ExampleArgs() + simArgs, &options,
                               &error_))
            return;
        try {
            const SimTables tables = SimProfile::Load(options.profilePath);
            const QString script = options.scriptPath.isEmpty() ? SimProfile::DefaultScript(options.profilePath)
                                                                : options.scriptPath;
            ScriptHost host;
            const SimCommandSet words = SimCommandSet::FromScriptFile(host, script, {});
            SimUnitSettings &unit = options.units.first();
            if (!SimValues::Resolve(&unit.values, tables, host, &error_))
                return;
            device_ = std::make_unique<SimDevice>(SimValues::Laid(tables, unit.values), words, unit.state, unit.misbehaviour);
        } catch (const DtuError &e) {
            error_ = e.text();
            return;
        }
        device_->SetUptime([this] { return clock_.NowMs() - start_; });
        device_->SetLogger([this](const QString &line) { log << line; });
        link_ = std::make_unique<SimLink>(
            *device_,
            [this](const QByteArray &bytes) {
                incoming_ += bytes;
                BytesArrived();
            },
            &clock_);
    }
    // The link first: its timers call into this line.
    ~SimLine() override { link_.reset(); }

    // Empty when the device was built.
    QString Error() const { return error_; }
    SimDevice &Device() { return *device_; }

    bool open = true;
    QByteArray heard;  // every byte the tool sent
    QStringList log;   // the device's log lines (every request it took)
    // Called with each write, before the device takes it.
    std::function<void(const QByteArray &)> onWrite;

    bool IsOpen() const override { return open; }
    bool TellsArrival() const override { return true; }
    void Write(const QByteArray &bytes) override
    {
        heard += bytes;
        if (onWrite)
            onWrite(bytes);
        if (link_)
            link_->Received(bytes);
    }
    QByteArray ReadAvailable() override { return std::exchange(incoming_, {}); }

private:
    Scheduler &clock_;
    qint64 start_;
    QString error_;
    std::unique_ptr<SimDevice> device_;
    std::unique_ptr<SimLink> link_;
    QByteArray incoming_;
};

// dtucfg run in this process in workDir, on `line` as its serial port and
// on `clock`: the same lines, exit status and JSON as the program.
// A command that opens a channel is given a --port of its own when the
// arguments name none, since the line stands in for the port.
inline ProgramRun RunCfgOn(SimLine &line, VirtualScheduler &clock, const QStringList &args, const QString &workDir)
{
    QStringList arguments = args;
    CliOptions options;
    QString error;
    CliOptions::Parse(args, &options, &error);
    if (!arguments.contains(QStringLiteral("--port")) && !arguments.contains(QStringLiteral("--tcp"))
        && CliCommands::Takes(options.command, QStringLiteral("port")))
        arguments = QStringList{QStringLiteral("--port"), QStringLiteral("/dev/ttySIM0")} + arguments;
    const QString before = QDir::currentPath();
    QDir::setCurrent(workDir);
    std::FILE *out = std::tmpfile();
    std::FILE *err = std::tmpfile();
    ProgramRun run;
    run.exitCode = Dtucfg::Run(arguments, out, err, Dtucfg::Line{&clock, &line});
    QDir::setCurrent(before);
    const auto text = [](std::FILE *file) {
        std::fflush(file);
        std::rewind(file);
        QByteArray bytes;
        char buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
            bytes.append(buffer, qsizetype(n));
        std::fclose(file);
        return QString::fromUtf8(bytes);
    };
    QString printed = text(out);
    run.err = text(err);
    if (printed.endsWith(QLatin1Char('\n')))
        printed.chop(1);
    run.out = printed.isEmpty() ? QStringList() : printed.split(QLatin1Char('\n'));
    return run;
}

// A device of dtusim's in this process and dtucfg runs against it, both on
// one virtual clock that only the runs' own waits move.
class VirtualDevice {
public:
    explicit VirtualDevice(const QStringList &simArgs = {}) : line_(clock_, simArgs)
    {
        QVERIFY2(line_.Error().isEmpty(), qPrintable(line_.Error()));
    }
    ProgramRun Cfg(const QStringList &args, const QString &workDir) { return RunCfgOn(line_, clock_, args, workDir); }
    VirtualScheduler &Clock() { return clock_; }
    SimLine &Line() { return line_; }

private:
    VirtualScheduler clock_;
    SimLine line_;
};

// Ends a `signal --watch` run on `device` as a SIGTERM from the terminal
// does, 100 ms after its `readings`th signal request (E023) reached the
// device: the reading under way finishes, and the watch ends. `times` gets
// the device clock of each request. A stop that is not heard leaves the
// watch reading on; the line then closes after two minutes of device time,
// which ends the run all the same (with the closed channel's complaint as
// well).
inline void StopWatchAtReading(VirtualDevice &device, int readings = 1, QList<qint64> *times = nullptr)
{
    auto seen = std::make_shared<int>(0);
    VirtualScheduler &clock = device.Clock();
    SimLine &line = device.Line();
    line.onWrite = [seen, readings, times, &clock](const QByteArray &bytes) {
        if (*seen == readings || !bytes.contains(QByteArray::fromHex("E023")))
            return;
        if (times)
            times->append(clock.NowMs());
        if (++*seen < readings)
            return;
        clock.Arm(100, [] {
            ::raise(SIGTERM);
            QCoreApplication::processEvents(); // the stop is heard in the event loop
        });
    };
    clock.Arm(120000, [&line] { line.open = false; });
}
